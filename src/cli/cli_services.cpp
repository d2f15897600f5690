#include "cli/cli_services.h"

#include <csignal>

#include "base/interrupt.h"

namespace zambrix::cli {

MsgAnswer CliDialogs::MessageBox(std::string_view text, MsgButtons buttons, MsgIcon,
                                 std::string_view title) {
  titles.emplace_back(title);
  const bool question = buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ||
                        buttons == MsgButtons::OkCancel;
  // One line on the terminal: the box's line breaks become blanks.
  std::string line(text);
  for (auto at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
    line.replace(at, 2, " ");
  std::fprintf(err_, "zambrix-cli: %.*s%s%s\n", static_cast<int>(title.size()), title.data(),
               title.empty() ? "" : ": ", line.c_str());
  if (!question) return MsgAnswer::Ok;
  if (!answers.empty()) {
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
  if (yes_) {
    std::fprintf(err_, "zambrix-cli: answered yes (--yes)\n");
    return buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
  std::fprintf(err_, "zambrix-cli: answered no (give --yes to answer yes)\n");
  return buttons == MsgButtons::OkCancel ? MsgAnswer::Cancel : MsgAnswer::No;
}

std::optional<std::string> CliDialogs::InputBox(std::string_view, std::string_view,
                                                std::string_view) {
  if (input_answers.empty()) return std::nullopt;
  auto v = input_answers.front();
  input_answers.pop_front();
  return v;
}

std::optional<std::string> CliDialogs::OpenFile(const FileDialogRequest&) {
  if (open_answers.empty()) return std::nullopt;
  auto v = open_answers.front();
  open_answers.pop_front();
  return v;
}

std::optional<std::string> CliDialogs::SaveFile(const FileDialogRequest&) {
  if (save_answers.empty()) return std::nullopt;
  auto v = save_answers.front();
  save_answers.pop_front();
  return v;
}

ConsoleEcho::ConsoleEcho(WindowModel& ui, std::FILE* err, bool quiet, bool progress)
    : ui_(ui), err_(err), quiet_(quiet), progress_(progress) {
  observer_ = ui_.AddObserver([this](const Control& c, Change what) { OnChange(c, what); });
}

ConsoleEcho::~ConsoleEcho() { ui_.RemoveObserver(observer_); }

void ConsoleEcho::Finish() {
  if (progress_shown_) {
    std::fputs("\r\033[K", err_);
    progress_shown_ = false;
    last_percent_ = -1;
  }
}

void ConsoleEcho::OnChange(const Control& c, Change what) {
  if (c.name == "SystemLog" && what == Change::Appended && !quiet_) {
    Finish();
    // The newest entry: the text after its leading line break.
    const std::string& text = c.caption;
    auto start = text.rfind("\r\n");
    std::string entry = start == std::string::npos ? text : text.substr(start + 2);
    std::fprintf(err_, "%s\n", entry.c_str());
  } else if (c.name == "ProgressBar1" && (what == Change::Value || what == Change::Range) &&
             progress_) {
    DrawProgress(c.value, c.max);
  }
  StopOnWriteError(err_);
}

void StopOnWriteError(std::FILE* stream) {
  if (std::ferror(stream) != 0) RequestStop(SIGPIPE);
}

void ConsoleEcho::DrawProgress(int value, int max) {
  if (max <= 0 || value <= 0) {
    Finish();
    return;
  }
  int percent = static_cast<int>(100LL * std::min(value, max) / max);
  if (percent == last_percent_) return;
  last_percent_ = percent;
  constexpr int kWidth = 40;
  int filled = percent * kWidth / 100;
  std::fprintf(err_, "\r[%s%s] %3d%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kWidth - filled), ' ').c_str(), percent);
  std::fflush(err_);
  progress_shown_ = true;
}

}  // namespace zambrix::cli
