// Before a result is reported, the board must have been there to give it: a port
// with nothing on it reads as FFh, which is an erased chip to a read or a blank
// check.
#include "app/core.h"
#include "app/text.h"
#include "ops/operations.h"

namespace zambrix {

bool Operations::ConfirmBoard(const std::string& when) {
  auto& link = core_.link;
  if (link.BoardAnswers()) return true;
  BoardLost = true;
  auto& report = core_.report;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  if (link.BoardModel >= 4 && link.BoardModel <= 6 && Link::IsLptPort(link.PortAddress)) {
    report.LogMessage("ZAMBRIX-" + std::to_string(link.BoardModel) + " at Port " + HexText(link.PortAddress) +
                      " DOES NOT ANSWER " + when);
  } else {
    report.LogMessage("No ZAMBRIX board found or forced: nothing to use " + when);
  }
  report.LogMessage("Check the cable and the board's power, then click [TestPort]");
  report.PlayEventSound("ERROR");
  link.Reset();
  return false;
}

void Operations::ReportProgramFailure() {
  auto& link = core_.link;
  // The programming voltage off and the chip deselected before the board is asked.
  link.Reg0Value = 0;
  link.SetReg0();
  link.CEOFF();
  link.OEOFF();
  if (!ConfirmBoard("during programming")) {
    FailFlag = 1;
    return;
  }
  link.ReportProgramFailure();
}

}  // namespace zambrix
