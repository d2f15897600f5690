// Where the start-up settings file and the setup files live.
//
// `SettingsDir` when one is given; otherwise the program folder, and where that
// folder cannot be written (an installed program), the per-user configuration
// folder ($XDG_CONFIG_HOME or ~/.config, then "zambrix"). A file is written to
// the first of these folders that takes it; it is read from the first writable
// folder when that holds it, else from the first folder that does, so a file
// left in a folder we can no longer write never hides the newer one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zambrix {

class Platform;

class SettingsFolder {
 public:
  SettingsFolder(const std::string& settings_dir, Platform& platform);

  // False when no folder can hold the files (a program folder that does not
  // exist: a test's made-up folder).
  bool Usable() const { return !dirs_.empty(); }
  // Writes `name` through a temporary file; the path written, or nullopt.
  std::optional<std::filesystem::path> Write(std::string_view name, std::string_view text) const;
  // The regular file `name` reads from. With `any_case` a name that differs only
  // in letter case counts too (the exact spelling first).
  std::optional<std::filesystem::path> Find(std::string_view name, bool any_case = false) const;
  // "DIR/NAME", or "DIR1/NAME nor DIR2/NAME" when two folders were tried.
  std::string Describe(std::string_view name) const;

 private:
  std::vector<std::filesystem::path> dirs_;
  bool first_is_program_folder_ = false;
};

}  // namespace zambrix
