// The code, data and program buffers, binary files and the hex/ASCII views.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "buffers/byte_edits.h"
#include "buffers/digests.h"
#include "buffers/image_formats.h"

namespace zambrix {

class DeviceSelection;
class FixedNameSaves;
class Link;
class Operations;
class Report;
class WindowModel;
struct Services;

class Buffers {
 public:
  Buffers(WindowModel& ui, Report& report, Services& svc, Link& link, DeviceSelection& dev,
          Operations& ops, FixedNameSaves& fixed_saves);

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
  // A file dropped on the window: opened as Open Code (or, on the data area
  // while data files can be opened, Open Data) opens a chosen file.
  void OpenDroppedFile(const std::string& path, bool data_area);
  // File / Recent Files: the last eight code files opened or saved, kept in
  // the settings store with the folder a file dialog used last.
  void LoadRecentFiles();
  void mnuFileRecent_Click(int index);
  void mnuFileSaveLogAs_Click();
  void mnuFileSaveHexViewAs_Click();
  std::vector<std::string> RecentFiles;
  std::string LastFolder;
  static constexpr int kRecentFiles = 8;
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
  // Keeps bytes [first, first + length) of the loaded code file as the whole
  // image, from address 0, FFh behind it; false (nothing changed) when they do
  // not lie inside the file.
  bool TakeCodePart(std::int32_t first, std::int32_t length);
  // One log line when the loaded code file and the selected device differ in
  // size: a shorter file leaves the rest FFh, a longer one is cut at the chip.
  void ReportFileAgainstDevice();
  // Bytes of the code buffer a programming run takes: the selected device's
  // size, or the loaded file's length when that is shorter.
  std::int32_t ProgramExtent() const;

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

  // ---- Editing the code buffer in its hex view (hex_editing.cpp) ----
  // Where typing goes: a byte, in the hex or the character column, and for
  // the hex column whether its second digit is next.
  struct EditCursor {
    std::int32_t address = 0;
    bool ascii = false;
    bool low_nibble = false;
  };
  // True while the view shows a page of the code buffer and the buffer has a size.
  bool CodeViewEditable() const;
  // Before the program ends: true when nothing edited by hand is unsaved, or
  // the operator agrees to lose it.
  bool MayLoseEdits();
  void EditCursorTo(std::int32_t address, bool ascii);
  // Moves by `delta` bytes, paging along; the cursor stays inside the buffer.
  void MoveEditCursor(std::int32_t delta);
  void SwitchEditColumn();
  void TypeHexDigit(int digit);
  void TypeCharacter(std::uint8_t ch);
  void mnuEditUndo_Click();
  void mnuEditRedo_Click();
  void mnuEditGoTo_Click();
  void mnuEditFill_Click();
  // Logs the 16-bit sum, CRC-32 and SHA-1 of the code buffer's CodeSize bytes.
  void mnuEditChecksum_Click();
  // The code buffer was filled anew (a load, a read, an erase): nothing to undo,
  // nothing changed, no differences of an earlier verify.
  void CodeBufferReplaced();
  // Logs "<who> CRC-32 = ..." and "<who> SHA-1 = ..." for `bytes`.
  Digests LogDigests(std::string_view who, std::span<const std::uint8_t> bytes);

  // ---- The chip against the buffer after a failed verify (compare_view.cpp) ----
  struct ByteDifference {
    std::int32_t address = 0;
    std::uint8_t buffer = 0;  // the byte the chip was compared with
    std::uint8_t device = 0;
  };
  // The comparison read found these; the view jumps to the first of them.
  void ShowDifferences(std::vector<ByteDifference> found, std::vector<std::uint8_t> chip);
  void ClearDifferences();
  // Shows the chip's page of difference `index` with the cursor on it.
  void GoToDifference(std::size_t index);
  // The difference at `address` on the chip, or null.
  const ByteDifference* DifferenceAt(std::int32_t address) const;
  void DisplayDifferences();
  void mnuEditNextDifference_Click();
  void mnuEditPreviousDifference_Click();
  void mnuEditDifferences_Click();
  void frmDifferences_cmdSave_Click();
  void frmDifferences_cmdClose_Click();
  // Every difference as a line of the list and its saved text.
  static std::string DifferenceLine(const ByteDifference& d);
  // Set by the window: a verify that finds a difference reads the chip once
  // more and keeps every difference for the view and the list.
  bool ListDifferences = false;
  std::vector<ByteDifference> Differences;
  std::vector<std::uint8_t> ComparedChip;  // the chip as the comparison read it, whole pages
  std::int32_t ComparedEnd = 0;            // bytes of it the comparison read
  std::size_t CurrentDifference = 0;

  // What the hex view shows, for the window's marks.
  enum class ShownKind { Other, Code, Differences };
  struct ShownPage {
    ShownKind kind = ShownKind::Other;
    std::int32_t first = 0;  // address of the page's first byte
    std::int32_t end = 0;    // bytes from here on show as blanks
    std::int32_t rows = 0;   // rows of 16 bytes shown from `first` on
  };
  ShownPage Shown() const;
  // Rows of 16 bytes the code view shows from its page on: a page's 16, or
  // more when the window gives the view more height.
  int ViewRows = 16;

  // ---- State ----
  std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferSize, 0);
  std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferSize, 0);
  std::vector<std::uint8_t> ProgramBuffer = std::vector<std::uint8_t>(kProgramBufferSize, 0);
  std::int32_t CodeSize = 0;
  std::int32_t DataSize = 0;
  std::int32_t ProgramLength = 0;
  std::string CodeFileName;
  std::string DataFileName;
  // Bytes of CodeFileName as last loaded or saved, 0 once the buffer holds
  // something else (a chip read, an erased buffer). The buffer past them is FFh
  // and never programmed; a buffer of another size (a device chosen since) is
  // saved under a name asked for.
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
  ByteEdits CodeEdits{CodeBuffer};
  EditCursor Cursor;
  // The code size label: "(32768 Bytes)".
  void ShowCodeSize();

 private:
  std::optional<std::string> AskOpenName(std::string_view title, const std::string& current);
  std::optional<std::string> AskSaveName(std::string_view title, const std::string& current,
                                         std::string_view filter = {});
  // A chosen file into its buffer; a refused one keeps the previous name.
  void OpenChosen(const std::string& chosen, std::string& name, bool (Buffers::*load)());
  void RememberFile(const std::string& path, bool recent);
  void SaveRecentFiles();
  void ShowRecentFiles();
  // The edit commands that depend on the history and the differences.
  void UpdateEditCommands();
  // The file label says whether the buffer holds changes not saved.
  void MarkCodeChanges();
  void EnableAfterEdit();
  // Puts the cursor on `address` and shows its page in the current view.
  void ShowAddress(std::int32_t address);
  // A page turned by the scroll bar takes the cursor along, to the same place
  // on the page, so typing never changes a byte out of sight.
  void KeepCursorOnPage();
  void EditByte(std::uint8_t value, bool merge);
  void AfterUndoRedo(std::optional<std::int32_t> touched);
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
                  std::int32_t page, std::int32_t page_size, int rows, std::int32_t end,
                  CharRule rule = CharRule::Buffer);
  static int RowsShown(int rows, int page_rows, std::int32_t first, std::int32_t end,
                       std::size_t size);
  // The page of `buffer` that VScroll1 selects, clamped as AppendPage does.
  std::int32_t ShownPageOf(const std::vector<std::uint8_t>& buffer) const;
  void ShowPageAddress(std::int32_t address);
  void EraseBuffer(std::vector<std::uint8_t>& buffer, std::size_t last,
                   std::string_view verify_menu, std::string_view program_menu);
  void LoadChipAddress();
  WindowModel& ui_;
  Report& report_;
  Services& svc_;
  Link& link_;
  DeviceSelection& dev_;
  Operations& ops_;
  FixedNameSaves& fixed_saves_;
};

}  // namespace zambrix
