#include "cli/setup_command.h"

#include "app/core.h"
#include "base/text.h"
#include "setup/ini_text.h"
#include "setup/setup_file.h"

namespace zambrix::cli {

namespace {

// The list entry a device line names, "-" for none, "?" for no entry at all.
std::string DeviceOf(Core& core, const std::string& value) {
  const auto& items = core.ui.Get("Device").items;
  const auto index = NearestInRange(LeadingDecimal(value), -1, static_cast<long>(items.size()) - 1);
  if (!index) return "?";
  if (*index < 0) return "-";
  return Trim(items[static_cast<std::size_t>(*index)]);
}

// Tabs and line breaks would split the columns.
std::string Column(const std::string& value) {
  return value.empty() ? "-" : Shown(value, value.size());
}

}  // namespace

std::optional<int> SetupSlot(const std::string& text) {
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') return text[0] - '0';
  return std::nullopt;
}

void ListSetups(Core& core, std::FILE* out) {
  for (int slot = 1; slot <= 4; ++slot) {
    std::string name = "-", device = "-", file = "-";
    if (auto path = core.setup.FindSetupFile(SetupFileName(slot))) {
      const auto read = ReadSetupFile(path->string());
      name = read.problem.empty() ? "" : "(" + read.problem + ")";
      for (const auto& line : ParseSetupText(read.text)) {
        if (line.key == SetupKey::SetupName && name.empty()) name = line.value;
        if (line.key == SetupKey::DeviceIndex) device = DeviceOf(core, line.value);
        if (line.key == SetupKey::File) file = line.value;
      }
      name = Column(name);
      file = Column(file);
    }
    std::fprintf(out, "%d\t%s\t%s\t%s\n", slot, name.c_str(), device.c_str(), file.c_str());
  }
}

bool RestoreSetup(Core& core, int slot) {
  bool restored = false;
  core.RunEvent([&] { restored = core.setup.LoadSetupRot(SetupFileName(slot)); });
  return restored;
}

std::string SaveSetup(Core& core, int slot) {
  std::string written;
  core.RunEvent([&] {
    if (auto path = core.setup.SaveSetupRot(SetupFileName(slot))) written = path->string();
  });
  return written;
}

}  // namespace zambrix::cli
