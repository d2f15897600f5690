// Before a result is reported, the board must have been there to give it: a port
// with nothing on it reads as FFh, which is an erased chip to a read or a blank
// check.
#include <cstdio>

#include "base/report.h"
#include "base/text.h"
#include "link/boards.h"
#include "link/link.h"
#include "link/link_events.h"
#include "ops/operation_base.h"

namespace zambrix {

bool OperationBase::ConfirmBoard(const std::string& when) {
  auto& link = link_;
  const bool answers = link.BoardAnswers();
  int driven = 0, seen = 0;
  // A serial chip may still hold SDA low from an interrupted transfer until its
  // bus is freed, so only the parallel sockets take the line test.
  const bool test_lines = answers && when.rfind("before", 0) == 0 && !SerialKey();
  if (answers) board_.BoardAnswers();
  if (answers && (!test_lines || DataLinesWork(driven, seen))) return true;
  st_.BoardLost = true;
  if (!answers) board_.BoardLost();
  st_.BoardProblem =
      answers ? "its data lines do not read back what is driven" : "the board does not answer";
  auto& report = report_;
  report.RaiseErrorAlert();
  report.DataFlowLightOff();
  report.LogMessage(std::string(50, '*'));
  const std::string board =
      "ZAMBRIX-" + std::to_string(link.BoardModel) + " at Port " + HexText(link.PortAddress);
  if (answers) {
    char lines[64];
    std::snprintf(lines, sizeof lines, ": the DATA LINES read %02Xh when %02Xh is driven ", seen,
                  driven);
    Conclude(Outcome::Kind::kNoBoard, board + lines + when);
    report.LogMessage("Check the cable and the chip in the socket, then click [TestPort]");
  } else if (BoardProfileOf(link.BoardModel) != nullptr && Link::IsLptPort(link.PortAddress)) {
    Conclude(Outcome::Kind::kNoBoard, board + " DOES NOT ANSWER " + when);
  } else {
    Conclude(Outcome::Kind::kNoBoard, "No ZAMBRIX board found or forced: nothing to use " + when);
  }
  // Gone in the middle of writing a parallel chip: the latches it last took may
  // still switch the programming voltage on, and nothing here can reach them.
  const bool writing =
      when.rfind("before", 0) != 0 &&
      (when.find("programming") != std::string::npos || when.find("erase") != std::string::npos);
  if (!answers && writing && !SerialKey()) {
    st_.VppMayBeOn = true;
    report.LogMessage(std::string(OperationState::kVppMayBeOn));
  }
  if (!answers) report.LogMessage("Check the cable and the board's power, then click [TestPort]");
  report.PlayEventSound("ERROR");
  link.Reset();
  return false;
}

bool OperationBase::DataLinesWork(int& driven, int& seen) {
  auto& l = link_;
  const int saved0 = l.Reg0Value, saved3 = l.Reg3Value, saved4 = l.Reg4Value,
            saved_read = l.ReadValue;
  l.Reg0Value = 0x40, l.SetReg0();           // output enable inactive, no programming voltage
  l.Reg3Value = saved3 | 0x80, l.SetReg3();  // the chip deselected: it drives nothing
  // A board's identification driver, when latch 3 turns it on, pulls its data bit low.
  const BoardProfile* board = BoardProfileOf(l.BoardModel);
  const int ignored = board != nullptr && (l.Reg3Value & board->id_enable) ? board->id_data : 0;
  bool ok = true;
  for (int pattern : {0x00, 0xFF, 0x55, 0xAA}) {
    l.Reg4Value = pattern, l.SetReg4();
    if (pattern == 0x00) l.REG4ON();
    l.GetNibbles();
    if (((l.ReadValue ^ pattern) & ~ignored & 0xFF) != 0) {
      driven = pattern, seen = l.ReadValue, ok = false;
      break;
    }
  }
  l.Reg4Value = saved4, l.SetReg4();
  l.Reg0Value = saved0, l.SetReg0();
  l.Reg3Value = saved3, l.SetReg3();  // the chip enable last
  l.ReadValue = saved_read;
  return ok;
}

void OperationBase::Conclude(Outcome::Kind kind, const std::string& line) {
  report_.LogMessage(line);
  st_.Result.Add(kind, line);
}

void OperationBase::ReportProgramFailure() {
  auto& link = link_;
  // The programming voltage off and the chip deselected before the board is asked.
  link.Reg0Value = 0;
  link.SetReg0();
  link.CEOFF();
  link.OEOFF();
  if (!ConfirmBoard("during programming")) {
    st_.FailFlag = 1;
    return;
  }
  link.ReportProgramFailure();
}

}  // namespace zambrix
