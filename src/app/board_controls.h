// The window's board controls: finding the board on the ports, the operator's
// port choice and forced model, the speed slider; and what the link reports
// (the progress bar, the Program light, a programming failure).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/link_events.h"

namespace zambrix {

class Core;

class BoardControls : public LinkEvents {
 public:
  explicit BoardControls(Core& core) : core_(core) {}

  // ---- Board detection and port selection ----
  void TestHardware_button_Click();
  void CheckHardware();
  void AnnounceBoard();
  void LPTSelection_Click();
  void ForceZambrix4_Click();
  void ForceZambrix5_Click();
  void ForceZambrix6_Click();
  // The board stopped answering during an operation: the hardware label and
  // Ready say so, as a detection that found nothing would. When it answers
  // again, ShowBoardAnswers puts back what they said before.
  void ShowBoardLost();
  void ShowBoardAnswers();

  // ---- Speed slider ----
  void Slider1_Change();

  // ---- What the link reports ----
  void BeforePortWrite() override;
  void ProgressReset() override;
  void ActivityToggled() override;
  void ProgramFailed() override;
  void BoardLost() override { ShowBoardLost(); }
  void BoardAnswers() override { ShowBoardAnswers(); }
  void BoardFound() override { AnnounceBoard(); }
  SpeedSlider Speed() override;

 private:
  void ForceModel(int model);
  // What the hardware label and Ready showed before the board was lost.
  struct ShownBoard {
    std::string found, ready;
    std::uint32_t found_colour = 0, ready_colour = 0;
  };
  std::optional<ShownBoard> shown_before_loss_;
  Core& core_;
};

}  // namespace zambrix
