// The system log, the three indicators, the error alert and the sounds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"

namespace zambrix {

class Core;

class Reporter : public Report {
 public:
  explicit Reporter(Core& core) : core_(core) {}

  void LogMessage(std::string_view message) override;
  void PlayEventSound(std::string_view key) override;
  // File name for a key, with a leading "\" (the separator SoundPathForKey
  // replaces with this platform's own).
  static std::string_view SoundFileForKey(std::string_view key);
  std::string SoundPathForKey(std::string_view key) const;

  void ErrorLightOn() override;
  void ErrorLightOff() override;
  void ProgramLightOn() override;
  void ProgramLightOff() override;
  void DataFlowLightOn() override;
  void DataFlowLightOff() override;
  // Whether ERROR and the Program light are lit.
  bool AlertOn() const override { return alert_on_; }
  bool ProgramLightLit() const override { return program_lit_; }

  // Lights ERROR, saves the enabled states of the Program, Verify, Read and
  // Display buttons and of the menu entries that run them (unless an alert
  // already holds them) and disables them all. Whatever turns ERROR off brings
  // the saved states back.
  void RaiseErrorAlert() override;
  // Click on the ERROR indicator: resets the alert while ERROR is red.
  void Error_label_Click();
  // Double click on the log: saves it to "ZAMBRIX.LOG" in the current folder.
  void SystemLog_DblClick();
  // The same save to any path; false (and a log line) when it fails.
  bool SaveLogTo(const std::string& path) override;
  // Sum of the character codes of the log text.
  double StatCode() const;
  // The log text (what the save writes after its header).
  const std::string& LogText() const;
  // Empties the log (start-up).
  void ClearLog();

  const std::array<std::string, 4>& SavedButtonStates() const { return saved_button_states_; }

 private:
  void Light(std::string_view label, std::uint32_t colour);
  void RestoreAlertButtons();
  Core& core_;
  bool alert_locked_ = false;
  bool alert_on_ = false;
  bool program_lit_ = false;  // the four buttons are disabled by an alert
  std::array<std::string, 4> saved_button_states_{"False", "False", "False", "False"};
  std::array<bool, 8> saved_menu_states_{};
};

}  // namespace zambrix
