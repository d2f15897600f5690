// Restoring a setup: the lines are applied in file order, each as the operator's
// own action on its control would be, so the device is chosen (with its default
// voltage and the controls that depend on it) before the voltage, port and option
// lines override those defaults. A setup is operator-editable input: a value the
// control cannot take, or an option the chosen device does not allow, is logged
// and leaves the control as it was; the other lines still apply.
#include <algorithm>
#include <array>

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
#include "setup/ini_text.h"
#include "setup/setup_file.h"
#include "setup/setups.h"

namespace zambrix {

namespace {

constexpr std::string_view kMarks = ">>>>>>>>>>>>";

}  // namespace

void Setups::Refuse(const SetupLine& line, const std::string& reason) {
  report_.LogMessage("Setup line \"" + std::string(SetupKeyText(line.key)) + Shown(line.value) +
                     "\" " + reason + " - not applied");
}

bool Setups::LoadSetupRot(const std::string& file_name) {
  auto& report = report_;
  const auto path = FindSetupFile(file_name);
  const auto read = path ? ReadSetupFile(path->string()) : SetupFileRead{"", "was not found"};
  std::vector<SetupLine> lines;
  if (read.problem.empty()) lines = ParseSetupText(read.text);
  const bool holds_setup = std::any_of(
      lines.begin(), lines.end(), [](const SetupLine& l) { return l.key != SetupKey::SetupName; });
  if (!read.problem.empty() || !holds_setup) {
    const std::string why = read.problem.empty() ? "holds no setup lines" : read.problem;
    report.LogMessage("Setup file " + file_name + " " + why + " - nothing restored");
    return false;
  }

  report.LogMessage(kMarks);
  report.LogMessage("RESTORING SETUP FROM " + file_name);
  std::optional<std::string> file;
  for (const auto& line : lines) {
    if (line.key != SetupKey::File) {
      ApplySetupLine(line);
    } else if (!HasControlCharacters(line.value)) {
      file = line.value;
    } else {
      Refuse(line, "holds characters no file name has");
    }
  }
  ui_.SetVisible(control::FrameVoltageSelection, true);
  ui_.SetVisible(control::Frame5, true);
  const bool loaded = RestoreCodeFile(file);
  report.LogMessage("SETUP RESTORED FROM " + file_name + (loaded ? "" : " without its code file"));
  report.LogMessage(kMarks);
  return true;
}

// The code file named by the setup (or the current one when the setup has no
// file line) is read again; one that cannot be read leaves the buffer, its name
// and its label as they were, and the log says the file was not loaded. The
// label keeps saying what the buffer holds.
bool Setups::RestoreCodeFile(const std::optional<std::string>& file) {
  auto& buf = buf_;
  const std::string previous_name = buf.CodeFileName;
  if (file) buf.CodeFileName = *file;
  if (buf.CodeFileName.empty() || buf.ReadBinaryFile()) return true;
  report_.LogMessage("The setup's code file " + buf.CodeFileName + " was NOT loaded");
  buf.CodeFileName = previous_name;
  return false;
}

void Setups::ApplySetupLine(const SetupLine& line) {
  switch (line.key) {
    case SetupKey::SetupName:
    case SetupKey::File:
      return;
    case SetupKey::DeviceIndex:
      return ApplyDeviceIndex(line);
    case SetupKey::Voltage0:
    case SetupKey::Voltage1:
    case SetupKey::Voltage2:
    case SetupKey::Voltage3:
    case SetupKey::Lpt0:
    case SetupKey::Lpt1:
    case SetupKey::Lpt2:
    case SetupKey::HiLow0:
    case SetupKey::HiLow1:
    case SetupKey::HiLow2:
      return ApplyOption(line);
    case SetupKey::CheckBlank:
    case SetupKey::VerifyAfter:
    case SetupKey::CheckCode:
    case SetupKey::CheckData:
      return ApplyCheckBox(line);
    case SetupKey::PortSelected:
      return ApplyPortText(line);
    case SetupKey::Slider:
      return ApplySlider(line);
  }
}

// The device is chosen as the operator's click chooses it: the whole selection
// runs again even for the entry already chosen.
void Setups::ApplyDeviceIndex(const SetupLine& line) {
  auto& ui = ui_;
  const auto& items = ui.Get(control::Device).items;
  const auto index =
      NearestInRange(LeadingDecimal(line.value), -1, static_cast<long>(items.size()) - 1);
  if (!index) return Refuse(line, "names no entry of the device list");
  const int row = static_cast<int>(*index);
  if (row >= 0 && Trim(items[static_cast<std::size_t>(row)]).rfind("N/A", 0) == 0) {
    return Refuse(line, "names " + Trim(items[static_cast<std::size_t>(row)]) +
                            ", a device that is not offered");
  }
  if (ui.ListIndex(control::Device) == row) {
    ui.Fire(control::Device);
  } else {
    ui.SetListIndex(control::Device, row);
  }
}

// "True" selects the option (which clears the others of its group and runs its
// click handling); "False" leaves the choice to the other lines of the group, so
// a group never ends up with no option selected.
void Setups::ApplyOption(const SetupLine& line) {
  auto& ui = ui_;
  const auto on = TruthValue(line.value);
  if (!on) return Refuse(line, "is neither True nor False");
  const std::string control = SetupKeyControl(line.key);
  if (!*on || ui.Value(control) != 0) return;
  if (!ui.Enabled(control)) {
    const std::string& device = dev_.SelectedDeviceName;
    return Refuse(line, "chooses " + ui.Caption(control) +
                            (device.empty() ? " with no device selected"
                                            : ", which " + device + " does not allow"));
  }
  ui.SetValue(control, 1);
}

void Setups::ApplyCheckBox(const SetupLine& line) {
  auto& ui = ui_;
  const auto value = NearestInRange(LeadingDecimal(line.value), 0, 1);
  if (!value) return Refuse(line, "is neither 0 nor 1");
  const std::string control = SetupKeyControl(line.key);
  if (ui.Value(control) == *value) return;
  if (!ui.Enabled(control)) return Refuse(line, "cannot change for the device selected");
  ui.SetValue(control, static_cast<int>(*value));
}

// The port text only says which port is in use: the option lines choose it.
// A text that names another port than the one chosen would show a port the
// program does not use, and is not applied.
void Setups::ApplyPortText(const SetupLine& line) {
  auto& ui = ui_;
  const std::string text = Trim(line.value);
  const std::string& shown = ui.Text(control::PortSelected);
  // "None" was saved while no port was chosen: it changes nothing.
  if (text.empty() || SameIgnoringCase(text, "None") || SameIgnoringCase(text, shown)) return;
  Refuse(line, "differs from the port in use, " + shown);
}

void Setups::ApplySlider(const SetupLine& line) {
  const auto value = NearestInRange(LeadingDecimal(line.value), kSliderMin, kSliderMax);
  if (!value) {
    return Refuse(
        line, "lies outside " + std::to_string(kSliderMin) + " to " + std::to_string(kSliderMax));
  }
  ui_.SetValue(control::Slider1, static_cast<int>(*value));
}

}  // namespace zambrix
