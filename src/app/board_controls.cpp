// What the link reports to the window, and the speed slider.
#include "app/board_controls.h"

#include "app/core.h"
#include "base/interrupt.h"
#include "base/text.h"

namespace zambrix {

void BoardControls::BeforePortWrite() { ThrowIfStopRequested(); }

void BoardControls::ProgressReset() {
  core_.ui.SetMax("ProgressBar1", 100);
  core_.ui.SetValueQuiet("ProgressBar1", 0);
  core_.ops.EraseInProgress = false;
}

void BoardControls::ActivityToggled() {
  if (core_.report.ProgramLightLit()) {
    core_.report.ProgramLightOff();
  } else {
    core_.report.ProgramLightOn();
  }
}

void BoardControls::ProgramFailed() {
  const Link& link = core_.link;
  auto& r = core_.report;
  auto& ops = core_.ops;
  ops.Conclude(Outcome::Kind::kFailed, "*** Programming Failure ***");
  const std::string where = "*** Address:" + HexText(link.CurrentAddress) +
                            "h, Programming BYTE:" + HexText(link.WriteValue) +
                            "h, Read BYTE:" + HexText(link.ReadValue) + "h";
  r.LogMessage(where);
  ops.Result.FailedAt(where, link.CurrentAddress, link.WriteValue, link.ReadValue);
  r.LogMessage("*** Aborting Programming - Click on [ERROR] Indicator to Reset");
  r.RaiseErrorAlert();
  r.ProgramLightOn();
  ops.FailFlag = 1;
  r.PlayEventSound("ERROR");
}

LinkEvents::SpeedSlider BoardControls::Speed() {
  const auto& slider = core_.ui.Get("Slider1");
  return {slider.value, slider.max};
}

void BoardControls::Slider1_Change() {
  core_.report.LogMessage("Program Speed Slider set to: " +
                          std::to_string(core_.ui.Value("Slider1")));
  core_.link.ApplySpeedSetting();
  core_.report.PlayEventSound("SLIDE");
}

}  // namespace zambrix
