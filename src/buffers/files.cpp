// Loading raw binary files into the code and data buffers.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "app/core.h"
#include "app/file_io.h"
#include "app/text.h"

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
bool Accepted(Reporter& report, const FileRead& got, const std::string& name, std::string_view kind,
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

std::optional<std::string> Buffers::AskOpenName(std::string_view title,
                                                const std::string& current) {
  auto name = core_.svc.dialogs->OpenFile({std::string(title), std::string(kFilter), current});
  if (!name || name->empty()) return std::nullopt;
  return name;
}

std::optional<std::string> Buffers::AskSaveName(std::string_view title,
                                                const std::string& current) {
  auto name = core_.svc.dialogs->SaveFile({std::string(title), std::string(kFilter), current});
  if (!name || name->empty()) return std::nullopt;
  return name;
}

// Asks for a file and loads it. A cancelled dialog changes nothing; a refused
// file keeps the previous name, so a later save never writes over the refused file.
void Buffers::OpenFileInto(std::string_view title, std::string& name, bool (Buffers::*load)()) {
  auto chosen = AskOpenName(title, name);
  if (!chosen) return;
  core_.report.ErrorLightOff();
  core_.report.DataFlowLightOff();
  DisplayMode = "Read";
  FileStaging.assign(257, 0);
  const std::string previous = name;
  name = *chosen;
  if (!(this->*load)()) name = previous;
}

void Buffers::mnuFileOpenCode_Click() {
  OpenFileInto("Open Code File", CodeFileName, &Buffers::ReadBinaryFile);
}

void Buffers::mnuFileOpenData_Click() {
  OpenFileInto("Open Data File (eeprom)", DataFileName, &Buffers::ReadBinaryFileData);
}

void Buffers::FileNameCodeText_Click() {
  if (Trim(core_.ui.Caption("FileNameCodeText")) == "Click To Select a File")
    mnuFileOpenCode_Click();
}

std::optional<std::size_t> Buffers::StageFile(const std::string& name, std::size_t limit,
                                              std::string_view kind, std::string_view buffer_word,
                                              bool& too_big) {
  auto& report = core_.report;
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
  if (image.bytes.empty()) {
    report.LogMessage("File " + name + " holds no data - Will Not Open");
    return std::nullopt;
  }
  FileStaging = std::move(image.bytes);
  return FileStaging.size();
}

bool Buffers::ReadBinaryFile() {
  auto& report = core_.report;
  bool too_big = false;
  const auto length = StageFile(CodeFileName, kCodeBufferSize, "Code", "Buffer", too_big);
  if (!length) return false;
  auto& ui = core_.ui;
  ui.SetCaption("FileNameCodeText", CodeFileName);
  ui.SetText("BufferDisplay",
             "\r\n\r\n\r\n\r\n\r\n\r\n                      READING FILE ... WAIT");
  report.DataFlowLightOn();
  ui.SetText("sbStatusBar", "Reading Code File " + CodeFileName + " into Buffer... Wait");
  CodeSize = static_cast<std::int32_t>(*length);
  CodeFileLength = CodeSize;
  CopyStagingToCode();
  FileStaging.assign(1, 0);
  report.DataFlowLightOff();
  report.LogMessage("File " + CodeFileName + " - was read into Buffer. " +
                    std::to_string(CodeSize) + " bytes long.");
  report.LogMessage("Read File CRC = $" + FileCrcText);
  report.LogMessage("You can Install a Blank Eprom for Programming");
  FinishCodeLoad();
  return true;
}

void Buffers::CopyStagingToCode() {
  std::copy(FileStaging.begin(), FileStaging.begin() + CodeSize, CodeBuffer.begin());
  FileChecksum = 0;
  for (std::int32_t i = 0; i < CodeSize; ++i) {
    FileChecksum += FileStaging[static_cast<std::size_t>(i)];
    if (FileChecksum > 0xFFFF) FileChecksum -= 0x10000;
  }
  FileCrcText = Hex4(FileChecksum);
}

void Buffers::FinishCodeLoad() {
  auto& ui = core_.ui;
  DisplayPageMemory();
  SetScrollMaxFromCodeSize();
  ui.SetValueQuiet("ProgressBar1", 0);
  ui.SetText("sbStatusBar", "");
  if (!core_.dev.DeviceKey.empty()) {
    for (auto* c : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode"})
      ui.SetEnabled(c, true);
  }
  ui.SetCaption("FileNameCodeSize", std::string("(").append(std::to_string(CodeSize)).append(")"));
  for (auto* c : {"tbToolBar.Buttons(2)", "mnuFileSaveCode", "mnuFileSaveCodeAs", "menuEraseCode",
                  "Erase_button"}) {
    ui.SetEnabled(c, true);
  }
  const bool both_memories = core_.dev.DeviceKey == "MJ";
  ui.SetEnabled("CheckCode", both_memories);
  ui.SetEnabled("CheckData", both_memories);
  ui.SetValue("CheckCode", 1);
  ui.SetValue("CheckData", 0);
  CodeBufferLoaded = 1;
  core_.report.PlayEventSound("DONE");
}

bool Buffers::ReadBinaryFileData() {
  auto& report = core_.report;
  bool too_big = false;
  const auto length = StageFile(DataFileName, kMaxDataFileSize, "Data", "DataBuffer", too_big);
  if (!length) {
    if (too_big) {
      core_.svc.dialogs->MessageBox("Can't Open Data File Bigger than 8192 Bytes", MsgButtons::Ok,
                                    MsgIcon::Warning, "Data File to Big");
    }
    return false;
  }
  core_.ui.SetCaption("FileNameDataText", DataFileName);
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
  core_.ui.SetValueQuiet("ProgressBar1", 0);
  core_.ui.SetText("sbStatusBar", "");
  EnableAfterDataLoad();
  DataBufferLoaded = 1;
  return true;
}

void Buffers::EnableAfterDataLoad() {
  for (auto* c : {"tbToolBar.Buttons(5)", "Verify_button", "menuVerifyData", "Program_button",
                  "menuProgramData", "mnuFileSaveData", "mnuFileSaveDataAs", "Erase_button",
                  "menuEraseData"}) {
    core_.ui.SetEnabled(c, true);
  }
}

}  // namespace zambrix
