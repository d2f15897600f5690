// Platform services on Linux without any toolkit: clock texts, the program
// folder, opening documents and starting programs.
#pragma once

#include <map>
#include <string>

#include "base/services.h"

namespace zambrix {

// Where the shipped files are for a program in `program_folder`: that folder
// when they sit next to the program (a build tree), ../share/zambrix when that
// holds them (an installed program), else the program's folder.
std::string FindDataFolder(const std::string& program_folder);

class PosixPlatform : public Platform {
 public:
  std::string TimeText() override;
  std::string DateText() override;
  DateTime Now() override;
  std::string ProgramFolder() override;
  std::string DataFolder() override;
  std::optional<std::string> OpenDocument(const std::string& path) override;
  bool StartProgram(const std::string& path) override;
};

// A settings store held in memory (the CLI keeps no window placement).
class MemorySettings : public SettingsStore {
 public:
  std::optional<std::string> Get(std::string_view app, std::string_view section,
                                 std::string_view key) override;
  void Save(std::string_view app, std::string_view section, std::string_view key,
            std::string_view value) override;
  std::map<std::string, std::string> values;  // "app/section/key" -> value
};

// Plays nothing; remembers the last file asked for.
class SilentSound : public SoundPlayer {
 public:
  void PlayAsync(const std::string& path) override { last = path; }
  std::string last;
};

}  // namespace zambrix
