// The code, data and program buffers, binary files and the hex/ASCII views.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zambrix {

class Core;

class Buffers {
 public:
  explicit Buffers(Core& core);

  static constexpr std::size_t kCodeBufferSize = 2'100'001;
  static constexpr std::size_t kDataBufferSize = 8'292;
  static constexpr std::size_t kProgramBufferSize = 1'048'577;

  // ---- Files (File menu, toolbar) ----
  void mnuFileOpenCode_Click();
  void mnuFileSaveCode_Click();
  void mnuFileSaveCodeAs_Click();
  void mnuFileOpenData_Click();
  void mnuFileSaveData_Click();
  void mnuFileSaveDataAs_Click();
  void mnuFileClose_Click();
  void FileNameCodeText_Click();

  // ---- Views ----
  void BuildPrintableChars();
  void DisplayPageMemory();
  void VScroll1_Change();
  void Display_button_Click();
  void Show_button_Click();
  void Erase_button_Click();
  void BufferDisplay_DblClick();
  void Command1_Click();

  // ---- State ----
  std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferSize, 0);
  std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferSize, 0);
  std::vector<std::uint8_t> ProgramBuffer = std::vector<std::uint8_t>(kProgramBufferSize, 0);
  std::int32_t CodeSize = 0;
  std::int32_t DataSize = 0;
  std::int32_t ProgramLength = 0;
  std::string CodeFileName;
  std::string DataFileName;
  int CodeBufferLoaded = 0;
  int DataBufferLoaded = 0;
  std::int32_t FileChecksum = 0;
  std::string FileCrcText;
  std::string DisplayMode;
  std::array<bool, 256> PrintableChars{};

 private:
  Core& core_;
};

}  // namespace zambrix
