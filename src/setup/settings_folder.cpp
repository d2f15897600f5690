#include "setup/settings_folder.h"

#include <unistd.h>

#include <cstdlib>

#include "base/file_io.h"
#include "base/services.h"
#include "setup/ini_text.h"

namespace zambrix {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return fs::path(xdg) / "zambrix";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return fs::path(home) / ".config" / "zambrix";
  return std::nullopt;
}

bool FolderWritable(const fs::path& dir) {
  std::error_code ec;
  return fs::is_directory(dir, ec) && ::access(dir.c_str(), W_OK) == 0;
}

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// `name` in `dir`: the exact spelling, else (with `any_case`) the first other
// spelling in name order, so the choice never depends on the directory order.
std::optional<fs::path> FileIn(const fs::path& dir, std::string_view name, bool any_case) {
  if (IsFile(dir / name)) return dir / name;
  if (!any_case) return std::nullopt;
  std::optional<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (!SameIgnoringCase(entry, name) || !IsFile(it->path())) continue;
    if (!found || entry < found->filename().string()) found = it->path();
  }
  return found;
}

}  // namespace

SettingsFolder::SettingsFolder(const std::string& settings_dir, Platform& platform) {
  if (!settings_dir.empty()) {
    dirs_ = {fs::path(settings_dir)};
    return;
  }
  fs::path program(platform.ProgramFolder());
  std::error_code ec;
  // A program folder that does not exist (a test's made-up folder; a real run
  // always has one) holds no file and takes none, and nothing is reported.
  if (!fs::is_directory(program, ec)) return;
  dirs_ = {program};
  first_is_program_folder_ = true;
  if (auto user = UserConfigFolder()) dirs_.push_back(*user);
}

std::optional<fs::path> SettingsFolder::Write(std::string_view name, std::string_view text) const {
  for (std::size_t i = 0; i < dirs_.size(); ++i) {
    std::error_code ec;
    if (!(first_is_program_folder_ && i == 0)) fs::create_directories(dirs_[i], ec);
    if (!FolderWritable(dirs_[i])) continue;
    const fs::path path = dirs_[i] / name;
    if (WriteFileAtomically(path.string(), text)) return path;
  }
  return std::nullopt;
}

std::optional<fs::path> SettingsFolder::Find(std::string_view name, bool any_case) const {
  for (const auto& dir : dirs_) {
    if (!FolderWritable(dir)) continue;
    if (auto path = FileIn(dir, name, any_case)) return path;
    break;
  }
  for (const auto& dir : dirs_) {
    if (auto path = FileIn(dir, name, any_case)) return path;
  }
  return std::nullopt;
}

std::string SettingsFolder::Describe(std::string_view name) const {
  if (dirs_.empty()) return std::string(name);
  std::string where = (dirs_.front() / name).string();
  if (dirs_.size() > 1) where += " nor " + (dirs_.back() / name).string();
  return where;
}

}  // namespace zambrix
