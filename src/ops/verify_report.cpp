// The report of a chip byte that differs from the buffer.
#include "app/core.h"
#include "app/text.h"

namespace zambrix {

void Operations::ReportVerifyMismatch(std::uint8_t expected) {
  auto& report = core_.report;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  report.LogMessage("Device Memory DOES NOT VERIFY with Buffer Contents");
  report.LogMessage("Address: " + HexText(WorkAddress) + " ][ Buffer Data: " + HexText(expected) +
                    " ][ Device Data: " + HexText(core_.link.ReadValue));
  report.LogMessage("Click on [ERROR] Alert to Reset the Situation");
  report.PlayEventSound("ERROR");
  core_.link.Reset();
}

}  // namespace zambrix
