// The code, data and program buffers, binary files and the hex/ASCII views.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "buffers/image_formats.h"

namespace zambrix {

class Core;

class Buffers {
 public:
  explicit Buffers(Core& core);

  static constexpr std::size_t kCodeBufferSize = 2'100'001;
  static constexpr std::size_t kDataBufferSize = 8'292;
  static constexpr std::size_t kProgramBufferSize = 1'048'577;
  // Largest data file accepted.
  static constexpr std::int32_t kMaxDataFileSize = 8192;
  // A HEX or S-record file may be this many times longer than its buffer.
  static constexpr std::size_t kImageTextFactor = 8;
  // Last offsets the erase commands fill with FFh.
  static constexpr std::size_t kCodeEraseLast = 0x100000;
  static constexpr std::size_t kDataEraseLast = 8192;
  // Bytes per page: code buffer and chip, data buffer.
  static constexpr std::int32_t kCodePageSize = 256;
  static constexpr std::int32_t kDataPageSize = 128;
  static constexpr int kRowBytes = 16;

  // ---- Files (File menu, toolbar) ----
  void mnuFileOpenCode_Click();
  void mnuFileSaveCode_Click();
  void mnuFileSaveCodeAs_Click();
  void mnuFileOpenData_Click();
  void mnuFileSaveData_Click();
  void mnuFileSaveDataAs_Click();
  void mnuFileClose_Click();
  void FileNameCodeText_Click();
  // The code buffer stopped holding the named file (a read, an erase): the
  // label says what it holds ("read from Eprom 27C256", "erased") and no file
  // is named, so Save asks for a name.
  void CodeBufferHolds(const std::string& what);
  void DataBufferHolds(const std::string& what);
  // Loads the file named by CodeFileName into the code buffer, in the format
  // FormatFor gives. A file that cannot be read, is empty, is longer than the
  // buffer or (HEX, S-records) has a faulty line is refused with a log line and
  // changes nothing; false then.
  bool ReadBinaryFile();
  // Loads the file named by DataFileName into the data buffer (at most 8192
  // bytes); false when it was refused.
  bool ReadBinaryFileData();

  // ---- Views ----
  void BuildPrintableChars();
  void DisplayPageMemory();
  void DisplayCodeMemory();
  void DisplayDataMemory();
  // Reads chip page VScroll1 from the board and shows it.
  void DisplayEprom();
  void VScroll1_Change();
  void Display_button_Click();
  // True when the selected device's pages can be shown straight from the chip.
  bool HasChipView() const;
  void Show_button_Click();
  void Erase_button_Click();
  void EraseCodeBuffer();
  void EraseDataBuffer();
  void BufferDisplay_DblClick();
  // The same save of the view to any path; false (and a log line) when it fails.
  bool SaveDisplayTo(const std::string& path);
  void Command1_Click();

  // How a row shows a byte as a character: buffer views show the characters of
  // PrintableChars, the chip view every code from 32 to 122.
  enum class CharRule { Buffer, Chip };
  // One row of a page: CR LF, six-digit address, "| ", four groups of four
  // bytes, "| ", sixteen characters. Bytes from `valid` on lie past the end of
  // the contents and show as blanks.
  std::string HexRow(std::int32_t address, const std::uint8_t* bytes, CharRule rule,
                     int valid = kRowBytes) const;

  // ---- State ----
  std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferSize, 0);
  std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferSize, 0);
  std::vector<std::uint8_t> ProgramBuffer = std::vector<std::uint8_t>(kProgramBufferSize, 0);
  std::int32_t CodeSize = 0;
  std::int32_t DataSize = 0;
  std::int32_t ProgramLength = 0;
  std::string CodeFileName;
  std::string DataFileName;
  // Bytes of CodeFileName as last loaded or saved: a buffer of another size
  // (a device chosen since) is saved under a name asked for.
  std::int32_t CodeFileLength = 0;
  int CodeBufferLoaded = 0;
  int DataBufferLoaded = 0;
  std::int32_t FileChecksum = 0;
  std::string FileCrcText;
  std::string DisplayMode;
  std::array<bool, 256> PrintableChars{};
  // One page read from the chip.
  std::array<std::uint8_t, 256> PageBuffer{};
  // The format of every file read or saved when set (the command line's
  // --format); otherwise each file's name decides.
  std::optional<ImageFormat> ForcedFormat;
  ImageFormat FormatFor(const std::string& name) const {
    return ForcedFormat ? *ForcedFormat : FormatOfName(name);
  }
  // Where a file is read whole before it goes into its buffer.
  std::vector<std::uint8_t> FileStaging = std::vector<std::uint8_t>(1, 0);
  // Why the last buffer save failed; empty after a successful one.
  std::string LastSaveError;

 private:
  std::optional<std::string> AskOpenName(std::string_view title, const std::string& current);
  std::optional<std::string> AskSaveName(std::string_view title, const std::string& current);
  // Reads and parses `name` into FileStaging; its byte count, or nullopt after
  // the log line that says why not (`too_big` set when it was the size).
  std::optional<std::size_t> StageFile(const std::string& name, std::size_t limit,
                                       std::string_view kind, std::string_view buffer_word,
                                       bool& too_big);
  void OpenFileInto(std::string_view title, std::string& name, bool (Buffers::*load)());
  void CopyStagingToCode();
  void FinishCodeLoad();
  void EnableAfterDataLoad();
  void SetScrollMaxFromCodeSize();
  bool ChooseSaveName(std::string_view title, std::string& name, std::string_view label);
  void SaveCodeTo(const std::string& name);
  void SaveDataTo(const std::string& name);
  bool SaveBuffer(const std::string& name, const std::vector<std::uint8_t>& buffer,
                  std::int32_t size, std::string_view status_prefix);
  // Shows `rows` rows of `buffer` from the start of page `page`, clamped so the
  // page lies inside the buffer; bytes from offset `end` on show as blanks.
  void AppendPage(std::string_view control, const std::vector<std::uint8_t>& buffer,
                  std::int32_t page, std::int32_t page_size, int rows, std::int32_t end);
  void ShowPageAddress(std::int32_t address);
  void EraseBuffer(std::vector<std::uint8_t>& buffer, std::size_t last,
                   std::string_view verify_menu, std::string_view program_menu);
  void LoadChipAddress();
  Core& core_;
};

}  // namespace zambrix
