#include "app/reporter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/core.h"
#include "base/control_names.h"
#include "base/text.h"

namespace zambrix {

void Reporter::LogMessage(std::string_view message) {
  std::string line;
  line.reserve(message.size() + 16);
  line.append(kLineBreak);
  line.append(core_.svc.platform->TimeText());
  line.append(">  ");
  line.append(message);
  core_.ui.AppendText(control::SystemLog, line);
}

const std::string& Reporter::LogText() const { return core_.ui.Text(control::SystemLog); }

void Reporter::ClearLog() { core_.ui.SetText(control::SystemLog, ""); }

std::string_view Reporter::SoundFileForKey(std::string_view key) {
  if (key == "INIT") return "\\init.wav";
  if (key == "ERROR") return "\\error.wav";
  if (key == "DONE") return "\\done.wav";
  if (key == "SLIDE") return "\\slide.wav";
  if (key == "OK") return "\\ok.wav";
  return "\\error.wav";
}

std::string Reporter::SoundPathForKey(std::string_view key) const {
  // The file names start with "\"; the path is joined with this platform's separator.
  auto file = SoundFileForKey(key).substr(1);
  return (std::filesystem::path(core_.svc.platform->DataFolder()) / std::string(file)).string();
}

void Reporter::PlayEventSound(std::string_view key) {
  core_.svc.sound->PlayAsync(SoundPathForKey(key));
}

void Reporter::Light(std::string_view label, std::uint32_t c) { core_.ui.SetColour(label, c); }

void Reporter::ErrorLightOn() {
  alert_on_ = true;
  Light(control::Error_label, colour::kRed);
  core_.ui.SetEnabled(control::menuErrorReset, true);
  ProgramLightOff();
  DataFlowLightOff();
  Light(control::Error_label, colour::kRed);  // repaint
}
// Wherever the alert ends, the buttons it locked come back as they were, and
// the Program light that a failed programming left lit goes off with ERROR.
void Reporter::ErrorLightOff() {
  alert_on_ = false;
  Light(control::Error_label, colour::kButtonFace);
  core_.ui.SetEnabled(control::menuErrorReset, false);
  if (!alert_locked_) return;
  alert_locked_ = false;
  ProgramLightOff();
  RestoreAlertButtons();
}
void Reporter::ProgramLightOn() {
  program_lit_ = true;
  Light(control::Program_label, colour::kGreen);
}
void Reporter::ProgramLightOff() {
  program_lit_ = false;
  Light(control::Program_label, colour::kButtonFace);
}
void Reporter::DataFlowLightOn() { Light(control::DataFlow_label, colour::kGreen); }
void Reporter::DataFlowLightOff() { Light(control::DataFlow_label, colour::kButtonFace); }

namespace {
constexpr const char* kAlertButtons[4] = {control::Program_button, control::Verify_button,
                                          control::Read_button, control::Display_button};
// The menu entries (and their keys F5, F7, F8, F9) that run the same commands
// are locked with the buttons.
constexpr const char* kAlertMenus[8] = {control::menuProgramCode, control::menuProgramData,
                                        control::menuVerifyCode,  control::menuVerifyData,
                                        control::menuReadCode,    control::menuReadData,
                                        control::menuDisplayCode, control::menuDisplayData};
}  // namespace

// A second alert before the first is reset keeps the states the first saved:
// the buttons are already locked.
void Reporter::RaiseErrorAlert() {
  ErrorLightOn();
  if (!alert_locked_) {
    for (int i = 0; i < 4; ++i)
      saved_button_states_[i] = core_.ui.Enabled(kAlertButtons[i]) ? "True" : "False";
    for (int i = 0; i < 8; ++i) saved_menu_states_[i] = core_.ui.Enabled(kAlertMenus[i]);
  }
  alert_locked_ = true;
  for (auto* b : kAlertButtons) core_.ui.SetEnabled(b, false);
  for (auto* m : kAlertMenus) core_.ui.SetEnabled(m, false);
}

void Reporter::RestoreAlertButtons() {
  for (int i = 0; i < 4; ++i)
    core_.ui.SetEnabled(kAlertButtons[i], saved_button_states_[i] == "True");
  for (int i = 0; i < 8; ++i) core_.ui.SetEnabled(kAlertMenus[i], saved_menu_states_[i]);
}

void Reporter::Error_label_Click() {
  if (!alert_on_) return;
  ErrorLightOff();
  ProgramLightOff();
  DataFlowLightOff();
  LogMessage("Error Alert was Turned Off");
  core_.ui.SetValueQuiet(control::ProgressBar1, 0);
  RestoreAlertButtons();
  core_.link.Reset();
}

double Reporter::StatCode() const {
  double sum = 0;
  for (unsigned char ch : LogText()) sum += ch;
  return sum;
}

bool Reporter::SaveLogTo(const std::string& path) {
  const double stat = StatCode();
  auto* p = core_.svc.platform;
  std::string out;
  out.reserve(LogText().size() + 256);
  out += "ZAMBRIX SYSTEM LOG FILE - MNX RESEARCH INC. " + std::string(kWebAddress) + "\r\n";
  out += "The following contents are the log from the Zambrix Program\r\n";
  out += p->DateText() + " " + p->TimeText() + " StatCode:" + PrintedNumber(stat) +
         " Model:" + PrintedNumber(core_.link.BoardModel) + "\r\n";
  out += std::string(60, '-') + "\r\n";
  out += LogText();
  out += "\r\n";
  if (const std::string error = WriteFileSafely(path, out); !error.empty()) {
    LogMessage("System Log could NOT be Saved to " + path + " - " + error);
    return false;
  }
  return true;
}

void Reporter::SystemLog_DblClick() {
  // The line names the whole path: the current folder is rarely obvious, and a
  // ZAMBRIX.LOG this run did not write is kept beside a numbered copy.
  const std::string path = core_.fixed_saves.Target("ZAMBRIX.LOG");
  if (!SaveLogTo(path)) return;
  core_.fixed_saves.Written(path);
  LogMessage("System Log was Saved to " + path + " file");
}

}  // namespace zambrix
