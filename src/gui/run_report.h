// What the window says about an operation while it runs and after it ends:
// the time left on the progress bar, and the result line with the time taken,
// which the status bar keeps until the next operation.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <string>

#include "ops/outcome.h"

namespace zambrix::gui {

class RunReport {
 public:
  // Milliseconds of a steady clock (tests give their own).
  std::function<qint64()> now_ms;
  RunReport();

  // An event starts.
  void Start();
  // The event ended: its result line from what it came to ("Programming Device
  // Successfull in 24.1 s", a failure with the address), or empty when it
  // reported no result.
  QString Finish(const Outcome& outcome) const;

  // The progress bar's text for `value` between `min` and `max`: the percentage,
  // and while an event runs, the time left estimated from the part done in the
  // time taken since the bar last started.
  QString ProgressText(int value, int min, int max, bool running);

 private:
  qint64 started_ms_ = 0;
  qint64 bar_started_ms_ = 0;
  int last_value_ = 0;
};

// "0:42", "1:05:09".
QString Duration(qint64 ms);

}  // namespace zambrix::gui
