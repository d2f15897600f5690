#include "gui/run_report.h"

#include <QElapsedTimer>
#include <QStringList>
#include <array>
#include <string_view>

namespace zambrix::gui {

namespace {

// The lines that end an operation, as its log gives them.
constexpr std::array<std::string_view, 8> kSuccess = {
    "Programming Device Successfull",
    "Programmed Sucessfully",
    "Device Contents MATCHES with Buffer Contents",
    "Device IS BLANK (ERASED)",
    " bytes Read from Device",
    "Chip Erased, all bytes read FFh",
    "Device ID# ",
    "was Canceled by Operator"};
constexpr std::array<std::string_view, 9> kFailure = {
    "Device Memory DOES NOT VERIFY with Buffer Contents",
    "Device IS NOT BLANK (ERASED)",
    "*** Programming Failure ***",
    "DOES NOT RESPOND - ACK Error",
    "*** Erase Failure ***",
    "Operation stopped by the Operator",
    "*** Operation stopped: ",
    " DOES NOT ANSWER ",
    "*** Not a Flash Unit"};

bool Holds(std::string_view line, std::string_view part) {
  return line.find(part) != std::string_view::npos;
}

template <std::size_t N>
bool AnyOf(std::string_view line, const std::array<std::string_view, N>& parts) {
  for (auto p : parts)
    if (Holds(line, p)) return true;
  return false;
}

// The log's lines from `from` on, without their time stamps.
QStringList LinesFrom(const std::string& log, std::size_t from) {
  QStringList out;
  if (from >= log.size()) return out;
  for (const QString& entry :
       QString::fromStdString(log.substr(from)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
    const qsizetype mark = entry.indexOf(QStringLiteral(">  "));
    out << (mark < 0 ? entry : entry.mid(mark + 3));
  }
  return out;
}

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

void RunReport::Start(std::size_t log_size) {
  started_ms_ = now_ms();
  log_from_ = log_size;
  bar_started_ms_ = started_ms_;
  last_value_ = 0;
}

QString RunReport::Finish(const std::string& log) const {
  const QStringList lines = LinesFrom(log, log_from_);
  QStringList results;
  bool failed = false;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const std::string line = lines[i].toStdString();
    if (AnyOf(line, kFailure)) {
      failed = true;
      QString said = lines[i];
      // The address and bytes follow the failure's first line.
      if (i + 1 < lines.size() && lines[i + 1].contains(QStringLiteral("Address")))
        said += QStringLiteral(" - ") + lines[i + 1];
      results << said;
    } else if (AnyOf(line, kSuccess)) {
      results << lines[i];
    }
  }
  if (results.isEmpty()) return {};
  const qint64 took = now_ms() - started_ms_;
  results.removeDuplicates();
  const QString what = results.join(QStringLiteral(", "));
  return failed ? what + QStringLiteral(" (after ") + Seconds(took) + QLatin1Char(')')
                : what + QStringLiteral(" in ") + Seconds(took);
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
