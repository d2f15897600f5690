// Loading raw binary files into the code and data buffers.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

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

namespace {

constexpr std::string_view kFilter =
    "All Files (*.*)|*.*|Binary (*.bin)|*.bin|Intel HEX (*.hex;*.ihx;*.ihex)|*.hex;*.ihx;*.ihex|"
    "Motorola S-records (*.s19;*.s28;*.s37;*.srec;*.mot)|*.s19;*.s28;*.s37;*.srec;*.mot";

enum class ReadOutcome { Ok, Unreadable, TooBig, Empty };

struct FileRead {
  ReadOutcome outcome;
  std::uintmax_t length;
  std::string reason;  // why an unreadable file could not be read
};

// Reads the whole file into `out` when it is a readable file of 1 to `limit`
// bytes; otherwise `out` is left as it was.
FileRead ReadWholeFile(const std::string& path, std::uintmax_t limit,
                       std::vector<std::uint8_t>& out) {
  InputFile got = ReadInputFile(path, limit);
  switch (got.status) {
    case InputStatus::Ok:
      break;
    case InputStatus::TooBig:
      return {ReadOutcome::TooBig, got.size, {}};
    default:
      return {ReadOutcome::Unreadable, 0, got.error};
  }
  if (got.bytes.empty()) return {ReadOutcome::Empty, 0, {}};
  const std::uintmax_t length = got.bytes.size();
  out = std::move(got.bytes);
  return {ReadOutcome::Ok, length, {}};
}

// Logs why a file is not loaded; true when it was read.
bool Accepted(Report& report, const FileRead& got, const std::string& name, std::string_view kind,
              std::string_view buffer_word, std::uintmax_t limit) {
  switch (got.outcome) {
    case ReadOutcome::Ok:
      return true;
    case ReadOutcome::Unreadable:
      report.LogMessage("File " + name + " could NOT be read (" + got.reason + ") - " +
                        std::string(buffer_word) + " unchanged");
      break;
    case ReadOutcome::TooBig:
      report.LogMessage(std::string(kind) + " File Size is " + std::to_string(got.length) +
                        " bytes, bigger than the " + std::to_string(limit) +
                        " allowed - Will Not Open");
      break;
    case ReadOutcome::Empty:
      report.LogMessage("File " + name + " is empty (0 bytes) - Will Not Open");
      break;
  }
  return false;
}

}  // namespace

// The open dialogs start in the folder used last; a save proposes the
// current name, or the folder used last when there is none.
std::optional<std::string> Buffers::AskOpenName(std::string_view title,
                                                const std::string& current) {
  const std::string start = LastFolder.empty() ? current : LastFolder + "/";
  auto name = svc_.dialogs->OpenFile({std::string(title), std::string(kFilter), start});
  if (!name || name->empty()) return std::nullopt;
  return name;
}

std::optional<std::string> Buffers::AskSaveName(std::string_view title, const std::string& current,
                                                std::string_view filter) {
  std::string start = current;
  if (start.empty() || start.find('/') == std::string::npos) {
    if (!LastFolder.empty()) start = LastFolder + "/" + start;
  }
  auto name = svc_.dialogs->SaveFile(
      {std::string(title), std::string(filter.empty() ? kFilter : filter), start});
  if (!name || name->empty()) return std::nullopt;
  return name;
}

// Asks for a file and loads it. A cancelled dialog changes nothing.
void Buffers::OpenFileInto(std::string_view title, std::string& name, bool (Buffers::*load)()) {
  auto chosen = AskOpenName(title, name);
  if (chosen) OpenChosen(*chosen, name, load);
}

// A refused file keeps the previous name, so a later save never writes over
// the refused file.
void Buffers::OpenChosen(const std::string& chosen, std::string& name, bool (Buffers::*load)()) {
  report_.ErrorLightOff();
  report_.DataFlowLightOff();
  DisplayMode = "Read";
  FileStaging.assign(257, 0);
  const std::string previous = name;
  name = chosen;
  if (!(this->*load)()) {
    name = previous;
    return;
  }
  RememberFile(chosen, &name == &CodeFileName);
}

void Buffers::mnuFileOpenCode_Click() {
  OpenFileInto("Open Code File", CodeFileName, &Buffers::ReadBinaryFile);
}

void Buffers::mnuFileOpenData_Click() {
  OpenFileInto("Open Data File (eeprom)", DataFileName, &Buffers::ReadBinaryFileData);
}

void Buffers::FileNameCodeText_Click() {
  if (Trim(ui_.Caption(control::FileNameCodeText)) == "Click To Select a File")
    mnuFileOpenCode_Click();
}

std::optional<std::size_t> Buffers::StageFile(const std::string& name, std::size_t limit,
                                              std::string_view kind, std::string_view buffer_word,
                                              bool& too_big) {
  auto& report = report_;
  const ImageFormat format = FormatFor(name);
  if (format == ImageFormat::kBinary) {
    const FileRead got = ReadWholeFile(name, limit, FileStaging);
    too_big = got.outcome == ReadOutcome::TooBig;
    if (!Accepted(report, got, name, kind, buffer_word, limit)) return std::nullopt;
    return got.length;
  }
  std::vector<std::uint8_t> text;
  const std::uintmax_t text_limit = limit * kImageTextFactor;
  const FileRead got = ReadWholeFile(name, text_limit, text);
  too_big = got.outcome == ReadOutcome::TooBig;
  if (!Accepted(report, got, name, kind, buffer_word, text_limit)) return std::nullopt;
  ParsedImage image = ParseImage(
      format, std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), limit);
  if (!image.ok()) {
    report.LogMessage("File " + name + " line " + std::to_string(image.line) + ": " + image.error +
                      " - Will Not Open");
    return std::nullopt;
  }
  if (image.after_end > 0) {
    report.LogMessage("File " + name + " line " + std::to_string(image.after_end) +
                      ": records after the end record were not read");
  }
  if (image.bytes.empty()) {
    report.LogMessage("File " + name + " holds no data - Will Not Open");
    return std::nullopt;
  }
  FileStaging = std::move(image.bytes);
  return FileStaging.size();
}

bool Buffers::ReadBinaryFile() {
  auto& report = report_;
  bool too_big = false;
  const auto length = StageFile(CodeFileName, kCodeBufferSize, "Code", "Buffer", too_big);
  if (!length) return false;
  auto& ui = ui_;
  ui.SetCaption(control::FileNameCodeText, CodeFileName);
  ui.SetText(control::BufferDisplay,
             "\r\n\r\n\r\n\r\n\r\n\r\n                      READING FILE ... WAIT");
  report.DataFlowLightOn();
  ui.SetText(control::sbStatusBar, "Reading Code File " + CodeFileName + " into Buffer... Wait");
  CodeSize = static_cast<std::int32_t>(*length);
  CodeFileLength = CodeSize;
  CopyStagingToCode();
  FileStaging.assign(1, 0);
  report.DataFlowLightOff();
  report.LogMessage("File " + CodeFileName + " - was read into Buffer. " +
                    std::to_string(CodeSize) + " bytes long.");
  report.LogMessage("Read File CRC = $" + FileCrcText);
  report.LogMessage("You can Install a Blank Eprom for Programming");
  ReportFileAgainstDevice();
  FinishCodeLoad();
  return true;
}

void Buffers::ReportFileAgainstDevice() {
  const std::int32_t device = dev_.DeviceSize;
  if (CodeFileLength <= 0 || dev_.DeviceKey.empty() || CodeFileLength == device) return;
  const std::string sizes =
      "File is " + std::to_string(CodeFileLength) + " bytes, the Device " + std::to_string(device);
  if (CodeFileLength < device) {
    report_.LogMessage(sizes + ": the rest of the buffer is FFh and will not be programmed");
  } else {
    report_.LogMessage(sizes + ": only the first " + std::to_string(device) +
                       " bytes of the file will be programmed");
  }
}

bool Buffers::TakeCodePart(std::int32_t first, std::int32_t length) {
  if (first < 0 || length <= 0 || length > CodeFileLength - first) return false;
  const auto from = CodeBuffer.begin() + first;
  std::copy(from, from + length, CodeBuffer.begin());
  std::fill(CodeBuffer.begin() + length, CodeBuffer.end(), std::uint8_t{0xFF});
  const std::string part = "bytes " + HexText(first) + "h to " + HexText(first + length - 1) + "h";
  // The buffer no longer holds the named file: a save asks for a name.
  CodeBufferHolds(part + " of " + CodeFileName);
  CodeSize = length;
  CodeFileLength = length;
  report_.LogMessage("The file's " + part + " taken: " + std::to_string(length) +
                     " bytes from address 0");
  SetScrollMaxFromCodeSize();
  DisplayPageMemory();
  return true;
}

std::int32_t Buffers::ProgramExtent() const {
  const std::int32_t device = dev_.DeviceSize;
  return CodeFileLength > 0 ? std::min(device, CodeFileLength) : device;
}

// The file's bytes, then FFh to the end of the buffer: whatever device is
// chosen, nothing the file does not hold is ever programmed.
void Buffers::CopyStagingToCode() {
  std::copy(FileStaging.begin(), FileStaging.begin() + CodeSize, CodeBuffer.begin());
  std::fill(CodeBuffer.begin() + CodeSize, CodeBuffer.end(), std::uint8_t{0xFF});
  FileChecksum = 0;
  for (std::int32_t i = 0; i < CodeSize; ++i) {
    FileChecksum += FileStaging[static_cast<std::size_t>(i)];
    if (FileChecksum > 0xFFFF) FileChecksum -= 0x10000;
  }
  FileCrcText = Hex4(FileChecksum);
}

void Buffers::FinishCodeLoad() {
  auto& ui = ui_;
  DisplayPageMemory();
  SetScrollMaxFromCodeSize();
  ui.SetValueQuiet(control::ProgressBar1, 0);
  ui.SetText(control::sbStatusBar, "");
  if (!dev_.DeviceKey.empty()) {
    for (auto* c : {control::Verify_button, control::menuVerifyCode, control::Program_button,
                    control::menuProgramCode})
      ui.SetEnabled(c, true);
  }
  ShowCodeSize();
  for (auto* c : {"tbToolBar.Buttons(2)", control::mnuFileSaveCode, control::mnuFileSaveCodeAs,
                  control::menuEraseCode, control::Erase_button}) {
    ui.SetEnabled(c, true);
  }
  const bool both_memories = dev_.Family().data_area;
  ui.SetEnabled(control::CheckCode, both_memories);
  ui.SetEnabled(control::CheckData, both_memories);
  ui.SetValue(control::CheckCode, 1);
  ui.SetValue(control::CheckData, 0);
  CodeBufferLoaded = 1;
  CodeBufferReplaced();
  report_.PlayEventSound("DONE");
}

void Buffers::ShowCodeSize() {
  ui_.SetCaption(control::FileNameCodeSize, "(" + std::to_string(CodeSize) + " Bytes)");
}

bool Buffers::ReadBinaryFileData() {
  auto& report = report_;
  bool too_big = false;
  const auto length = StageFile(DataFileName, kMaxDataFileSize, "Data", "DataBuffer", too_big);
  if (!length) {
    if (too_big) {
      svc_.dialogs->MessageBox("Can't Open Data File Bigger than 8192 Bytes", MsgButtons::Ok,
                               MsgIcon::Warning, "Data File to Big");
    }
    return false;
  }
  ui_.SetCaption(control::FileNameDataText, DataFileName);
  report.DataFlowLightOn();
  DataSize = static_cast<std::int32_t>(*length);
  std::copy(FileStaging.begin(), FileStaging.begin() + DataSize, DataBuffer.begin());
  FileStaging.assign(1, 0);
  report.DataFlowLightOff();
  report.LogMessage("File " + DataFileName + " - was read into DataBuffer. " +
                    std::to_string(DataSize) + " bytes long.");
  report.LogMessage("You can Install a Blank Eprom for Programming");
  DisplayPageMemory();
  SetScrollMaxFromCodeSize();
  ui_.SetValueQuiet(control::ProgressBar1, 0);
  ui_.SetText(control::sbStatusBar, "");
  EnableAfterDataLoad();
  DataBufferLoaded = 1;
  return true;
}

void Buffers::EnableAfterDataLoad() {
  for (auto* c : {"tbToolBar.Buttons(5)", control::Verify_button, control::menuVerifyData,
                  control::Program_button, control::menuProgramData, control::mnuFileSaveData,
                  control::mnuFileSaveDataAs, control::Erase_button, control::menuEraseData}) {
    ui_.SetEnabled(c, true);
  }
}

}  // namespace zambrix
