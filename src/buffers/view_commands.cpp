// Erasing the buffers to FFh and saving the shown page to "ZAMBRIX.BUF".
#include <algorithm>

#include "app/core.h"
#include "base/control_names.h"

namespace zambrix {

void Buffers::Erase_button_Click() {
  if (core_.ui.Value(control::CheckCode) != 0) EraseCodeBuffer();
  if (core_.ui.Value(control::CheckData) != 0) EraseDataBuffer();
}

void Buffers::EraseBuffer(std::vector<std::uint8_t>& buffer, std::size_t last,
                          std::string_view verify_menu, std::string_view program_menu) {
  std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(last) + 1, 0xFF);
  for (auto c : {std::string_view(control::Verify_button), verify_menu,
                 std::string_view(control::Program_button), program_menu}) {
    core_.ui.SetEnabled(c, false);
  }
  core_.report.LogMessage("Buffer has been Erased");
  DisplayMode = "Read";
  DisplayPageMemory();
}

void Buffers::EraseCodeBuffer() {
  EraseBuffer(CodeBuffer, kCodeEraseLast, control::menuVerifyCode, control::menuProgramCode);
  CodeBufferHolds("erased");
}
void Buffers::EraseDataBuffer() {
  EraseBuffer(DataBuffer, kDataEraseLast, control::menuVerifyData, control::menuProgramData);
  DataBufferHolds("erased");
}

bool Buffers::SaveDisplayTo(const std::string& path) {
  const std::string& shown = core_.ui.Text(control::BufferDisplay);
  double stat = 0;
  for (unsigned char ch : shown) stat += ch;
  auto* p = core_.svc.platform;
  std::string out;
  out.reserve(shown.size() + 256);
  out += "ZAMBRIX BUFFER DISPLAY FILE - MNX RESEARCH INC. " + std::string(Reporter::kWebAddress) +
         "\r\n";
  out += "The following contents are the contents from Buffer DIsplay\r\n";
  out += p->DateText() + " " + p->TimeText() + " StatCode:" + PrintedNumber(stat) +
         " Model:" + PrintedNumber(core_.link.BoardModel) + "\r\n";
  out += std::string(60, '-') + "\r\n";
  out += shown;
  out += "\r\n";
  if (const std::string error = WriteFileSafely(path, out); !error.empty()) {
    core_.report.LogMessage("Buffer DIsplay could NOT be Saved to " + path + " - " + error);
    return false;
  }
  return true;
}

void Buffers::BufferDisplay_DblClick() {
  const std::string path = core_.fixed_saves.Target("ZAMBRIX.BUF");
  if (!SaveDisplayTo(path)) return;
  core_.fixed_saves.Written(path);
  core_.report.LogMessage("Buffer DIsplay was Saved to " + path + " file");
  core_.report.PlayEventSound("OK");
}

}  // namespace zambrix
