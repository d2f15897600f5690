// The Setup menu: saving a setup and the refresh of the load entries.
#include "setup/setups.h"

#include "base/control_names.h"
#include "base/report.h"
#include "base/services.h"
#include "base/text.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "link/link_events.h"
#include "link/port.h"
#include "setup/settings_folder.h"
#include "setup/setup_file.h"

namespace zambrix {

namespace {

constexpr int kSlots = 4;
// A longer name is cut: the menu shows a line of it, the file stays small.
constexpr std::size_t kLongestName = 255;

// The name typed: one line of text; blank means no name.
std::string TypedName(const std::string& typed, const std::string& file_name) {
  std::string name = typed.substr(0, kLongestName);
  for (char& ch : name) {
    const auto u = static_cast<unsigned char>(ch);
    if (u < 0x20 || u == 0x7F) ch = ' ';
  }
  if (Trim(name).empty()) return "No Name Setup " + file_name.substr(7, 1);
  return name;
}

// The saved name of a setup file's first line, with "&" shown as itself in a
// menu; empty when the line holds none.
std::string SavedName(const std::string& first_line) {
  const std::string_view key = SetupKeyText(SetupKey::SetupName);
  std::string name =
      first_line.rfind(key, 0) == 0 ? Trim(Shown(first_line.substr(key.size()))) : "";
  std::string caption;
  for (char ch : name) caption += ch == '&' ? "&&" : std::string(1, ch);
  return caption;
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

}  // namespace

std::optional<std::filesystem::path> Setups::FindSetupFile(const std::string& file_name) const {
  return SettingsFolder(SettingsDir, *svc_.platform).Find(file_name, true);
}

// The load entries of the slots with a file, captioned with the saved name;
// the save entries name what a save would replace.
void Setups::Setup_Click() {
  auto& ui = ui_;
  for (int n = 1; n <= kSlots; ++n) ui.SetEnabled(control::LoadSetup + std::to_string(n), false);
  for (int n = 1; n <= kSlots; ++n) {
    const std::string slot = std::to_string(n);
    const auto path = FindSetupFile(SetupFileName(n));
    const std::string name = path ? SavedName(FirstLine(ReadSetupFile(path->string()).text)) : "";
    ui.SetCaption(control::SaveSetup + slot,
                  "Save Setup #&" + slot + (name.empty() ? "" : ": " + name));
    if (!path) continue;
    // A file that cannot be read keeps its entry: loading it says why.
    ui.SetEnabled(control::LoadSetup + slot, true);
    ui.SetCaption(control::LoadSetup + slot, name.empty() ? "Load Setup #&" + slot : name);
  }
}

void Setups::LoadSetup_Click(int n) {
  if (n >= 1 && n <= kSlots) LoadSetupRot(SetupFileName(n));
}

void Setups::SaveSetup_Click(int n) {
  if (n >= 1 && n <= kSlots) SaveSetupRot(SetupFileName(n));
}

std::optional<std::filesystem::path> Setups::SaveSetupRot(const std::string& file_name) {
  auto& ui = ui_;
  auto& report = report_;
  const auto typed =
      svc_.dialogs->InputBox("Please input a NAME for this Setup", "Saving Name Input", "");
  if (!typed) {
    report.LogMessage("Saving Setup " + file_name + " was Canceled by Operator");
    return std::nullopt;
  }
  const std::string name = TypedName(*typed, file_name);

  std::array<std::string, kSetupLines> values;
  auto set = [&values](SetupKey k, std::string v) {
    values[static_cast<std::size_t>(k)] = std::move(v);
  };
  set(SetupKey::SetupName, name);
  // A relative code file name is kept as the full path, so the setup restores
  // the same file whatever folder the program is started from.
  std::string code_file = buf_.CodeFileName;
  std::error_code ec;
  if (!code_file.empty()) code_file = std::filesystem::absolute(code_file, ec).string();
  if (ec) code_file = buf_.CodeFileName;
  if (HasControlCharacters(code_file)) {
    report.LogMessage(
        "The code file name holds a line break or control character and is not kept"
        " in the setup");
  } else {
    set(SetupKey::File, code_file);
  }
  set(SetupKey::DeviceIndex, std::to_string(ui.ListIndex(control::Device)));
  set(SetupKey::PortSelected, Shown(ui.Text(control::PortSelected)));
  for (std::size_t k = 0; k < kSetupLines; ++k) {
    const auto key = static_cast<SetupKey>(k);
    const std::string control = SetupKeyControl(key);
    if (control.empty() || key == SetupKey::DeviceIndex || key == SetupKey::PortSelected) continue;
    const int v = ui.Value(control);
    values[k] = ui.Get(control).kind == ControlKind::Option ? (v != 0 ? "True" : "False")
                                                            : std::to_string(v);
  }

  const SettingsFolder folder(SettingsDir, *svc_.platform);
  auto written = folder.Usable() ? folder.Write(file_name, SetupText(values)) : std::nullopt;
  if (!written) {
    report.LogMessage("Setup could NOT be Saved as " + folder.Describe(file_name) +
                      " - nothing was written");
    return std::nullopt;
  }
  report.LogMessage("Setup Saved as " + file_name + ", named:" + name);
  return written;
}

}  // namespace zambrix
