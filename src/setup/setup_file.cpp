#include "setup/setup_file.h"

#include <sstream>

#include "base/file_io.h"
#include "base/text.h"
#include "setup/ini_text.h"

namespace zambrix {

namespace {

constexpr std::array<std::string_view, kSetupLines> kKeys = {
    "SetupName = ",
    "sFILE = ",
    "Device.Index = ",
    "Voltage_button(0).Value = ",
    "Voltage_button(1).Value = ",
    "Voltage_button(2).Value = ",
    "Voltage_button(3).Value = ",
    "CheckBlankPriorProgramming.Value = ",
    "VerifyAfterProgramming.Value = ",
    "LPTSelection(0).Value = ",
    "LPTSelection(1).Value = ",
    "LPTSelection(2).Value = ",
    "PortSelected.Text = ",
    "HiLow_button(0).Value = ",
    "HiLow_button(1).Value = ",
    "HiLow_button(2).Value = ",
    "Slider1.Value = ",
    "CheckCode.Value = ",
    "CheckData.Value = ",
};

}  // namespace

std::string_view SetupKeyText(SetupKey key) { return kKeys.at(static_cast<std::size_t>(key)); }

std::string SetupKeyControl(SetupKey key) {
  if (key == SetupKey::SetupName || key == SetupKey::File) return "";
  std::string_view text = SetupKeyText(key);
  text = text.substr(0, text.find('.'));
  return std::string(text);
}

std::vector<SetupLine> ParseSetupText(std::string_view text) {
  std::vector<SetupLine> lines;
  std::istringstream in{std::string(text)};
  ForEachLine(in, kMaxSetupFileSize, [&lines](std::string_view line) {
    for (std::size_t k = 0; k < kSetupLines; ++k) {
      if (line.substr(0, kKeys[k].size()) != kKeys[k]) continue;
      lines.push_back({static_cast<SetupKey>(k), std::string(line.substr(kKeys[k].size()))});
      break;
    }
  });
  return lines;
}

std::string SetupText(const std::array<std::string, kSetupLines>& values) {
  std::string out;
  for (std::size_t k = 0; k < kSetupLines; ++k) {
    out += kKeys[k];
    out += values[k];
    out += kLineBreak;
  }
  return out;
}

std::string SetupFileName(int slot) { return "EPSetup" + std::to_string(slot) + ".INI"; }

// The eighth character of the file name is the slot digit.
std::string UnnamedSetup(int slot) { return "No Name Setup " + SetupFileName(slot).substr(7, 1); }

std::optional<bool> TruthValue(std::string_view text) {
  std::string t = Trim(text);
  for (auto& ch : t) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  if (t == "true") return true;
  if (t == "false") return false;
  if (t.empty()) return std::nullopt;
  std::size_t i = t[0] == '-' || t[0] == '+' ? 1 : 0;
  if (i == t.size()) return std::nullopt;
  for (std::size_t j = i; j < t.size(); ++j) {
    if (t[j] < '0' || t[j] > '9') return std::nullopt;
  }
  return t.find_first_not_of("+-0") != std::string::npos;
}

SetupFileRead ReadSetupFile(const std::string& path) {
  const InputFile in = ReadInputFile(path, kMaxSetupFileSize);
  switch (in.status) {
    case InputStatus::Ok:
      return {std::string(in.bytes.begin(), in.bytes.end()), ""};
    case InputStatus::Missing:
      return {"", "was not found"};
    case InputStatus::NotRegular:
      return {"", "is not a file"};
    case InputStatus::TooBig:
      return {"", "is " + std::to_string(in.size) + " bytes, too big for a setup"};
    case InputStatus::Unreadable:
      break;
  }
  return {"", "could NOT be read"};
}

bool HasControlCharacters(std::string_view s) {
  for (char ch : s) {
    const auto u = static_cast<unsigned char>(ch);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

std::string Shown(std::string_view value, std::size_t longest) {
  std::string out;
  for (char ch : value.substr(0, longest)) {
    const auto u = static_cast<unsigned char>(ch);
    out.push_back(u < 0x20 || u == 0x7F ? '?' : ch);
  }
  if (value.size() > longest) out += "...";
  return out;
}

}  // namespace zambrix
