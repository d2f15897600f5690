#include "gui/run_report.h"

#include <QElapsedTimer>
#include <QStringList>

namespace zambrix::gui {

namespace {

QString Seconds(qint64 ms) { return QString::number(ms / 1000.0, 'f', 1) + QStringLiteral(" s"); }

}  // namespace

QString Duration(qint64 ms) {
  const qint64 s = (ms + 999) / 1000;
  if (s >= 3600)
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
  return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

RunReport::RunReport() {
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  now_ms = [clock] { return clock->elapsed(); };
}

void RunReport::Start() {
  started_ms_ = now_ms();
  bar_started_ms_ = started_ms_;
  last_value_ = 0;
}

QString RunReport::Finish(const Outcome& outcome) const {
  QStringList results;
  for (const auto& line : outcome.lines) results << QString::fromStdString(line);
  if (results.isEmpty()) return {};
  results.removeDuplicates();
  QString what = results.join(QStringLiteral(", "));
  const qint64 took = now_ms() - started_ms_;
  if (!outcome.Failed()) return what + QStringLiteral(" in ") + Seconds(took);
  // The address and bytes of a failure follow its line.
  if (!outcome.where.empty()) what += QStringLiteral(" - ") + QString::fromStdString(outcome.where);
  return what + QStringLiteral(" (after ") + Seconds(took) + QLatin1Char(')');
}

QString RunReport::ProgressText(int value, int min, int max, bool running) {
  const qint64 now = now_ms();
  // A bar that starts again (a new phase of the operation) starts the estimate again.
  if (value <= min || value < last_value_) bar_started_ms_ = now;
  last_value_ = value;
  const QString percent = QStringLiteral("%p%");
  if (!running || max <= min || value <= min || value >= max) return percent;
  const qint64 taken = now - bar_started_ms_;
  if (taken < 1000) return percent;
  const double done = double(value - min) / double(max - min);
  const auto left = static_cast<qint64>(double(taken) * (1.0 - done) / done);
  return percent + QStringLiteral(" - about ") + Duration(left) + QStringLiteral(" left");
}

}  // namespace zambrix::gui
