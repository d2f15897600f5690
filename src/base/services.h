// What the core asks of its surroundings: questions to the operator, sounds, the
// per-user settings store and a few platform services. The Qt view, the CLI and
// the tests each provide their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zambrix {

// The buttons, icons and answers of the program's message boxes.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
  std::string title;
  std::string filter;     // "All Files (*.*)|*.*"
  std::string file_name;  // proposed name or path
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual MsgAnswer MessageBox(std::string_view text, MsgButtons buttons, MsgIcon icon,
                               std::string_view title) = 0;
  // nullopt = the operator cancelled.
  virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                              std::string_view default_text) = 0;
  virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
};

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the wave file asynchronously; a new sound replaces one still
  // playing; a missing file is silent.
  virtual void PlayAsync(const std::string& path) = 0;
};

// Per-user store of text values by application, section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Get(std::string_view app, std::string_view section,
                                         std::string_view key) = 0;
  virtual void Save(std::string_view app, std::string_view section, std::string_view key,
                    std::string_view value) = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // Time of day and date as the system shows them ("23:24:31", "2026-12-06").
  virtual std::string TimeText() = 0;
  virtual std::string DateText() = 0;
  // Local date and time broken down, for files that fix their own format.
  struct DateTime {
    int year, month, day, hour, minute, second;
  };
  virtual DateTime Now() = 0;
  // Folder of the executable (sound files, help, start-up settings file).
  virtual std::string ProgramFolder() = 0;
  // Folder of the files the program ships (manual, sounds): the program's own
  // folder in a build tree, PREFIX/share/zambrix when installed.
  virtual std::string DataFolder() { return ProgramFolder(); }
  // Opens a document with the desktop's viewer; returns an error description or
  // nullopt on success.
  virtual std::optional<std::string> OpenDocument(const std::string& path) = 0;
  // Starts a program detached; false when it cannot be started.
  virtual bool StartProgram(const std::string& path) = 0;
};

// The program's name in the settings store and on its message boxes.
inline constexpr std::string_view kAppTitle = "ZAMBRIX6";
// Maker's web address and support mail (reserved example names).
inline constexpr std::string_view kWebAddress = "www.example.com/zambrix";
inline constexpr std::string_view kSupportMail = "support@example.com";

class PortBackend;
class Clock;

// What the front end provides to the program.
struct Services {
  PortBackend* port = nullptr;
  Clock* clock = nullptr;
  Dialogs* dialogs = nullptr;
  SoundPlayer* sound = nullptr;
  SettingsStore* settings = nullptr;
  Platform* platform = nullptr;
};

}  // namespace zambrix
