// What the link tells the program above it, and the two things it asks of it.
// The application implements this; the link knows nothing else of the program.
#pragma once

namespace zambrix {

class LinkEvents {
 public:
  virtual ~LinkEvents() = default;

  // Before every port write: throws to end the running operation when a stop
  // was asked for (the board is then reset by the event guard).
  virtual void BeforePortWrite() = 0;
  // Reset has brought the latches to rest: the progress bar starts again and
  // no erase is in progress.
  virtual void ProgressReset() = 0;
  // ActivityToggle: the Program indicator changes between lit and unlit.
  virtual void ActivityToggled() = 0;
  // ReportProgramFailure has deselected the chip: report the failure (the
  // address and both bytes are the link's CurrentAddress, WriteValue and
  // ReadValue) and mark the operation failed.
  virtual void ProgramFailed() = 0;
  // The check between operations found the board gone, or answering again:
  // the window shows which.
  virtual void BoardLost() = 0;
  virtual void BoardAnswers() = 0;
  // A board was found (or a remembered one answers) at FoundPortAddress: the
  // program announces it.
  virtual void BoardFound() = 0;

  // The speed slider's position and maximum (ApplySpeedSetting).
  struct SpeedSlider {
    int value = 0;
    int max = 0;
  };
  virtual SpeedSlider Speed() = 0;
};

}  // namespace zambrix
