// What every family of chip operations works with: the link, the selection,
// the buffers, the reporting side (window model, report, services, the link's
// events) and the state they share, with the checks and reports they have in
// common.
#pragma once

#include <cstdint>
#include <string>

#include "ops/operation_state.h"

namespace zambrix {

class Buffers;
class DeviceSelection;
class Link;
class LinkEvents;
class Report;
class WindowModel;
struct Services;

struct OperationParts {
  WindowModel& ui;
  Report& report;
  Services& svc;
  Link& link;
  DeviceSelection& dev;
  Buffers& buf;
  LinkEvents& board;
  OperationState& state;
};

class OperationBase {
 public:
  explicit OperationBase(const OperationParts& parts)
      : ui_(parts.ui),
        report_(parts.report),
        svc_(parts.svc),
        link_(parts.link),
        dev_(parts.dev),
        buf_(parts.buf),
        board_(parts.board),
        st_(parts.state) {}
  OperationBase(const OperationBase&) = delete;
  OperationBase& operator=(const OperationBase&) = delete;

  // Logs an operation's result line and adds it to Result.
  void Conclude(Outcome::Kind kind, const std::string& line);
  // Asks the board whether it is still there (the detection's probe at the
  // current port, latches left as they were). When it does not answer: logs what
  // happened, raises the error alert, resets, sets BoardLost and returns false.
  // `when` names the moment for the log ("before the read", "after the sweep").
  // Before a parallel chip's operation it also drives 00h, FFh, 55h and AAh from
  // the data latch with the chip deselected and reads them back: a data line
  // stuck or shorted by the cable or the socket fails the check the same way.
  bool ConfirmBoard(const std::string& when);
  // The data-line test; false with the first pattern that did not read back.
  bool DataLinesWork(int& driven, int& seen);
  // A byte that does not read back: the board's own report, unless the board
  // has gone (it then reads FFh, which no chip refused).
  void ReportProgramFailure();
  // The caller sets WorkAddress and ReadValue first.
  void ReportVerifyMismatch(std::uint8_t expected);
  void ReportSerialAckError();
  // Fills the program buffer and ProgramLength from the code buffer: all bytes,
  // the odd bytes ("Hi Byte") or the even bytes ("Low Byte").
  void BuildProgramImage();
  void GoProgressiveBar1();
  // EPROMs, flash chips and the X28C256 are read and checked over the parallel
  // bus; the 24Cxx chips over the two-wire bus.
  bool ParallelDevice() const;
  bool SerialKey() const;
  // Both reads begin alike: the board asked, the chip powered and given its
  // settling time, the view told what it will show.
  bool StartRead();
  // The code buffer's first page in the hex view, with the two lines that say so.
  void ShowReadBuffer();
  // After a read: the progress bar and status text cleared, the commands that
  // use the code buffer enabled, the buffer marked as loaded and named by the chip.
  void MarkCodeBufferRead();

 protected:
  void RoutineNotReady(const std::string& text, const std::string& title = "Routine Not Ready");
  // One log line when the code buffer's length, which a shorter file sets, left
  // part of the chip out: "<verb> N of M bytes (the loaded file's length)".
  void ReportPartialLength(const std::string& verb);
  // The speed slider's distance from its fastest end.
  int SpeedSpan() const;
  // A flash or page EEPROM in its write cycle toggles I/O6 from read to read.
  bool ChipToggling();

  WindowModel& ui_;
  Report& report_;
  Services& svc_;
  Link& link_;
  DeviceSelection& dev_;
  Buffers& buf_;
  LinkEvents& board_;
  OperationState& st_;
};

}  // namespace zambrix
