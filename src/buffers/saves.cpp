// Saving the code and data buffers to raw binary files, and the Close command.
#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

bool Buffers::SaveBuffer(const std::string& name, const std::vector<std::uint8_t>& buffer,
                         std::int32_t size, std::string_view status_prefix) {
  auto& ui = ui_;
  ui.SetText(control::sbStatusBar, std::string(status_prefix) + name + " ... Wait");
  LastSaveError = "the buffer holds fewer bytes than its size";
  if (size >= 0 && static_cast<std::size_t>(size) <= buffer.size()) {
    const std::span<const std::uint8_t> bytes(buffer.data(), static_cast<std::size_t>(size));
    LastSaveError = WriteFileSafely(name, WriteImage(FormatFor(name), bytes));
  }
  const bool saved = LastSaveError.empty();
  if (saved) {
    report_.LogMessage("File Sucessfully Saved as " + name);
  } else {
    report_.LogMessage("File could NOT be Saved as " + name + " - " + LastSaveError);
  }
  ui.SetText(control::sbStatusBar, "");
  return saved;
}

// A saved buffer holds no changes any more; the history stays for undo.
void Buffers::SaveCodeTo(const std::string& name) {
  if (!SaveBuffer(name, CodeBuffer, CodeSize, "Writing Binary File ")) return;
  CodeFileLength = CodeSize;
  CodeEdits.Saved();
  ui_.SetCaption(control::FileNameCodeText, name);
  RememberFile(name, true);
}

void Buffers::SaveDataTo(const std::string& name) {
  if (SaveBuffer(name, DataBuffer, DataSize, "Writing Data Binary File "))
    RememberFile(name, false);
}

bool Buffers::ChooseSaveName(std::string_view title, std::string& name, std::string_view label) {
  auto chosen = AskSaveName(title, name);
  if (!chosen) return false;
  name = *chosen;
  ui_.SetCaption(label, name);
  return true;
}

void Buffers::mnuFileSaveCodeAs_Click() {
  if (ChooseSaveName("Save CODE BUFFER As...", CodeFileName, control::FileNameCodeText))
    SaveCodeTo(CodeFileName);
}

// Save writes over the named file only while the buffer holds it: after a read,
// an erase or a device of another size it asks for a name, as Save As does.
void Buffers::mnuFileSaveCode_Click() {
  if ((!CodeFileName.empty() && CodeSize == CodeFileLength) ||
      ChooseSaveName("Save CODE BUFFER ...", CodeFileName, control::FileNameCodeText)) {
    SaveCodeTo(CodeFileName);
  }
}

void Buffers::mnuFileSaveData_Click() {
  if (!DataFileName.empty() ||
      ChooseSaveName("Save DATA Buffer ...", DataFileName, control::FileNameDataText)) {
    SaveDataTo(DataFileName);
  }
}

// "Save Data As..." does for the data buffer what "Save Code As..." does for the code.
void Buffers::mnuFileSaveDataAs_Click() {
  if (ChooseSaveName("Save DATA Buffer As...", DataFileName, control::FileNameDataText))
    SaveDataTo(DataFileName);
}

void Buffers::CodeBufferHolds(const std::string& what) {
  CodeFileName.clear();
  CodeFileLength = 0;
  ui_.SetCaption(control::FileNameCodeText, what);
  CodeBufferReplaced();
}

void Buffers::DataBufferHolds(const std::string& what) {
  DataFileName.clear();
  ui_.SetCaption(control::FileNameDataText, what);
}

void Buffers::mnuFileClose_Click() {
  svc_.dialogs->MessageBox("Add 'mnuFileClose_Click' code.", MsgButtons::Ok, MsgIcon::None,
                           kAppTitle);
}

}  // namespace zambrix
