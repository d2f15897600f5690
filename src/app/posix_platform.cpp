#include "app/posix_platform.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <vector>

extern char** environ;

namespace zambrix {

namespace {

std::tm LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

std::string Format(const char* fmt) {
  std::tm tm = LocalNow();
  char buf[64];
  std::strftime(buf, sizeof buf, fmt, &tm);
  return buf;
}

bool Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  // Reap the child later without blocking; a detached viewer keeps running.
  int status = 0;
  waitpid(pid, &status, WNOHANG);
  return true;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string p(path);
  std::size_t start = 0;
  while (start <= p.size()) {
    auto end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    auto candidate = std::filesystem::path(p.substr(start, end - start)) / program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::string PosixPlatform::TimeText() { return Format("%H:%M:%S"); }
std::string PosixPlatform::DateText() { return Format("%Y-%m-%d"); }

Platform::DateTime PosixPlatform::Now() {
  std::tm tm = LocalNow();
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string PosixPlatform::ProgramFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

std::string PosixPlatform::DataFolder() { return FindDataFolder(ProgramFolder()); }

std::string FindDataFolder(const std::string& program_folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path here(program_folder);
  if (fs::exists(here / "zambrix5.html", ec)) return program_folder;
  const fs::path shared = here.parent_path() / "share" / "zambrix";
  if (fs::exists(shared / "zambrix5.html", ec)) return shared.string();
  return program_folder;
}

std::optional<std::string> PosixPlatform::OpenDocument(const std::string& path) {
  if (!std::filesystem::exists(path)) return "File not found: " + path;
  if (!OnPath("xdg-open")) return "No document viewer (xdg-open) is installed to show " + path;
  if (!Spawn({"xdg-open", path})) return "The document viewer could not be started for " + path;
  return std::nullopt;
}

bool PosixPlatform::StartProgram(const std::string& path) { return Spawn({path}); }

std::optional<std::string> MemorySettings::Get(std::string_view app, std::string_view section,
                                               std::string_view key) {
  auto it = values.find(std::string(app) + "/" + std::string(section) + "/" + std::string(key));
  if (it == values.end()) return std::nullopt;
  return it->second;
}

void MemorySettings::Save(std::string_view app, std::string_view section, std::string_view key,
                          std::string_view value) {
  values[std::string(app) + "/" + std::string(section) + "/" + std::string(key)] =
      std::string(value);
}

}  // namespace zambrix
