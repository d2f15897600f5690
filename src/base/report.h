// What the units tell the operator: the system log, the three indicators, the
// error alert and the event sounds. The application's reporter shows them.
#pragma once

#include <string>
#include <string_view>

namespace zambrix {

class Report {
 public:
  virtual ~Report() = default;
  // Appends CR LF, the time of day, ">  " and the message to the system log.
  virtual void LogMessage(std::string_view message) = 0;
  // Plays the wave file of the event key ("INIT", "ERROR", "DONE", "SLIDE", "OK";
  // anything else plays the error sound).
  virtual void PlayEventSound(std::string_view key) = 0;
  virtual void ErrorLightOn() = 0;
  virtual void ErrorLightOff() = 0;
  virtual void ProgramLightOn() = 0;
  virtual void ProgramLightOff() = 0;
  virtual void DataFlowLightOn() = 0;
  virtual void DataFlowLightOff() = 0;
  // Lights ERROR and locks the Program, Verify, Read and Display commands until
  // the alert is reset.
  virtual void RaiseErrorAlert() = 0;
  // Whether ERROR and the Program light are lit.
  virtual bool AlertOn() const = 0;
  virtual bool ProgramLightLit() const = 0;
  // Saves the log to `path` under its header; false (and a log line) when it fails.
  virtual bool SaveLogTo(const std::string& path) = 0;
};

}  // namespace zambrix
