// What the command line gives the core in place of a window: message boxes
// become lines on standard error, file dialogs are answered by the command's own
// arguments, and the log and progress bar are echoed to standard error.
#pragma once

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/services.h"
#include "base/window_model.h"

namespace zambrix::cli {

class CliDialogs : public Dialogs {
 public:
  explicit CliDialogs(std::FILE* err, bool yes) : err_(err), yes_(yes) {}
  MsgAnswer MessageBox(std::string_view text, MsgButtons buttons, MsgIcon icon,
                       std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;

  // The file the next open or save dialog answers with.
  std::deque<std::string> open_answers;
  std::deque<std::string> save_answers;
  // The text the next input box answers with (none: cancelled).
  std::deque<std::string> input_answers;
  // Answers to the next questions, before --yes is considered.
  std::deque<MsgAnswer> answers;
  // Titles of the message boxes shown so far.
  std::vector<std::string> titles;

 private:
  std::FILE* err_;
  bool yes_;
};

// A standard stream that could not be written (a closed pipe, a full disk)
// stops the run as the closed pipe's SIGPIPE does.
void StopOnWriteError(std::FILE* stream);

// Echoes log lines as they are written, and draws a progress bar on a terminal.
class ConsoleEcho {
 public:
  ConsoleEcho(WindowModel& ui, std::FILE* err, bool quiet, bool progress);
  ~ConsoleEcho();
  ConsoleEcho(const ConsoleEcho&) = delete;
  ConsoleEcho& operator=(const ConsoleEcho&) = delete;
  void Finish();  // ends a progress line still on screen

 private:
  void OnChange(const Control& c, Change what);
  void DrawProgress(int value, int max);
  WindowModel& ui_;
  std::FILE* err_;
  bool quiet_;
  bool progress_;
  bool progress_shown_ = false;
  int last_percent_ = -1;
  int observer_ = 0;
};

}  // namespace zambrix::cli
