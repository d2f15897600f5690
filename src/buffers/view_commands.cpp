// Erasing the buffers to FFh and saving the shown page to "ZAMBRIX.BUF".
#include <algorithm>

#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

void Buffers::Erase_button_Click() {
  if (ui_.Value(control::CheckCode) != 0) EraseCodeBuffer();
  if (ui_.Value(control::CheckData) != 0) EraseDataBuffer();
}

void Buffers::EraseBuffer(std::vector<std::uint8_t>& buffer, std::size_t last,
                          std::string_view verify_menu, std::string_view program_menu) {
  std::fill(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(last) + 1, 0xFF);
  for (auto c : {std::string_view(control::Verify_button), verify_menu,
                 std::string_view(control::Program_button), program_menu}) {
    ui_.SetEnabled(c, false);
  }
  report_.LogMessage("Buffer has been Erased");
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
  const std::string& shown = ui_.Text(control::BufferDisplay);
  double stat = 0;
  for (unsigned char ch : shown) stat += ch;
  auto* p = svc_.platform;
  std::string out;
  out.reserve(shown.size() + 256);
  out += "ZAMBRIX BUFFER DISPLAY FILE - MNX RESEARCH INC. " + std::string(kWebAddress) + "\r\n";
  out += "The following contents are the contents from Buffer DIsplay\r\n";
  out += p->DateText() + " " + p->TimeText() + " StatCode:" + PrintedNumber(stat) +
         " Model:" + PrintedNumber(link_.BoardModel) + "\r\n";
  out += std::string(60, '-') + "\r\n";
  out += shown;
  out += "\r\n";
  if (const std::string error = WriteFileSafely(path, out); !error.empty()) {
    report_.LogMessage("Buffer DIsplay could NOT be Saved to " + path + " - " + error);
    return false;
  }
  return true;
}

void Buffers::BufferDisplay_DblClick() {
  const std::string path = fixed_saves_.Target("ZAMBRIX.BUF");
  if (!SaveDisplayTo(path)) return;
  fixed_saves_.Written(path);
  report_.LogMessage("Buffer DIsplay was Saved to " + path + " file");
  report_.PlayEventSound("OK");
}

}  // namespace zambrix
