// The setup file: nineteen lines "KEY = value" in a fixed order, CR LF endings.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zambrix {

// The keys, in the order they are written (line 1 to 19).
enum class SetupKey {
  SetupName,
  File,
  DeviceIndex,
  Voltage0,
  Voltage1,
  Voltage2,
  Voltage3,
  CheckBlank,
  VerifyAfter,
  Lpt0,
  Lpt1,
  Lpt2,
  PortSelected,
  HiLow0,
  HiLow1,
  HiLow2,
  Slider,
  CheckCode,
  CheckData,
};
constexpr std::size_t kSetupLines = 19;

// "SetupName = ", "sFILE = ", ...
std::string_view SetupKeyText(SetupKey key);
// The control a key restores ("Voltage_button(2)", "Slider1"); "" for the name
// and the file.
std::string SetupKeyControl(SetupKey key);

struct SetupLine {
  SetupKey key;
  std::string value;
};

// Setup files are a few hundred bytes; a file beyond this is no setup.
constexpr std::size_t kMaxSetupFileSize = 64 * 1024;

// The lines of `text` that start with a key, case-sensitively, in file order.
std::vector<SetupLine> ParseSetupText(std::string_view text);
// The nineteen lines, values in key order.
std::string SetupText(const std::array<std::string, kSetupLines>& values);

// "No Name Setup 3" for "EPSetup3.INI".
std::string UnnamedSetup(int slot);
// "EPSetup1.INI" .. "EPSetup4.INI".
std::string SetupFileName(int slot);

// Value texts as the operator may have typed them: "True"/"False" in any case,
// or a number (non-zero is true); nullopt for anything else.
std::optional<bool> TruthValue(std::string_view text);

// Why a setup file cannot be read, or its text.
struct SetupFileRead {
  std::string text;
  std::string problem;  // empty when read
};
SetupFileRead ReadSetupFile(const std::string& path);

// True for a text with a line break or another control character.
bool HasControlCharacters(std::string_view s);

// A value shown in a log line or a column: control characters as '?', texts
// longer than `longest` cut.
std::string Shown(std::string_view value, std::size_t longest = 60);

}  // namespace zambrix
