// Fakes shared by the tests: scripted dialogs, a fixed clock face, an in-memory
// settings store, a sound player that remembers, and a Core built on them.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core.h"
#include "app/posix_platform.h"

namespace zambrix::testing {

// Answers questions from a script; records every question asked.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string kind;  // "message", "input", "open", "save"
    std::string text;  // message text, prompt or dialog title
    std::string title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
  };
  MsgAnswer MessageBox(std::string_view text, MsgButtons buttons, MsgIcon icon,
                       std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;

  std::deque<MsgAnswer> answers;                      // default: Ok / Yes
  std::deque<std::optional<std::string>> inputs;      // default: cancelled
  std::deque<std::optional<std::string>> open_files;  // default: cancelled
  std::deque<std::optional<std::string>> save_files;  // default: cancelled
  std::vector<Shown> shown;
  std::vector<FileDialogRequest> file_requests;
};

class RecordingSound : public SoundPlayer {
 public:
  void PlayAsync(const std::string& path) override { played.push_back(path); }
  std::vector<std::string> played;
};

class FixedPlatform : public Platform {
 public:
  std::string TimeText() override { return time_text; }
  std::string DateText() override { return date_text; }
  DateTime Now() override { return now; }
  std::string ProgramFolder() override { return folder; }
  std::optional<std::string> OpenDocument(const std::string& path) override {
    opened.push_back(path);
    return open_error;
  }
  bool StartProgram(const std::string& path) override {
    started.push_back(path);
    return start_ok;
  }
  std::string time_text = "12:34:56";
  std::string date_text = "2026-12-06";
  DateTime now{2026, 12, 6, 12, 34, 56};
  std::string folder = "/opt/zambrix";
  std::optional<std::string> open_error;
  bool start_ok = false;
  std::vector<std::string> opened, started;
};

// A Core on a given port (the recording back end by default) and virtual time.
struct TestCore {
  explicit TestCore(PortBackend* port = nullptr, Clock* clock = nullptr);
  RecordingPort recording;
  VirtualClock virtual_clock{10};
  ScriptedDialogs dialogs;
  RecordingSound sound;
  MemorySettings settings;
  FixedPlatform platform;
  std::unique_ptr<Core> core;

  Core& operator*() { return *core; }
  Core* operator->() { return core.get(); }
  const Core* operator->() const { return core.get(); }
  // The log's lines without their time stamps, in order.
  std::vector<std::string> LogLines() const;
};

}  // namespace zambrix::testing
