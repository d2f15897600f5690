#include "link/port_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zambrix {

namespace fs = std::filesystem;

namespace {

bool WritableFolder(const std::string& dir) {
  std::error_code ec;
  return !dir.empty() && fs::is_directory(dir, ec) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string FromEnv(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// " (zambrix-cli, process 4242)" from the pid the holder wrote; empty when
// the file holds none yet.
std::string Holder(int fd) {
  char text[24] = {};
  const auto n = ::pread(fd, text, sizeof text - 1, 0);
  if (n <= 0) return "";
  const long pid = std::strtol(text, nullptr, 10);
  if (pid <= 0) return "";
  std::string name;
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::getline(comm, name);
  return " (" + (name.empty() ? "" : name + ", ") + "process " + std::to_string(pid) + ")";
}

// The holder's pid, for the next program's refusal. Written only into a plain
// file of our own with one name, so a link planted in a shared folder is
// never written through.
void WritePid(int fd) {
  struct stat st = {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1)
    return;
  const std::string text = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, text.data(), text.size(), 0);
}

std::string Hex64(std::uint64_t v) {
  std::ostringstream s;
  s << std::hex;
  s.width(16);
  s.fill('0');
  s << v;
  return s.str();
}

// Whether `path` still names the open file (a holder before us may have
// removed it while we waited for the lock).
bool SameFile(int fd, const std::string& path) {
  struct stat open_file = {};
  struct stat named = {};
  return ::fstat(fd, &open_file) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

// The lock file, opened (made when missing); -1 with errno set on failure.
int OpenLockFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  // Another user's lock file may be locked, though not written.
  if (fd < 0 && (errno == EACCES || errno == EPERM))
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  return fd;
}

}  // namespace

// The file goes while the lock is still held, so nobody can lock it after us;
// one who opened it before waits for the next file (SameFile).
ResourceLock::~ResourceLock() {
  if (SameFile(fd_, path_)) ::unlink(path_.c_str());
  ::close(fd_);
}

std::string DefaultLockDir() {
  if (std::string dir = FromEnv("ZAMBRIX_LOCK_DIR"); !dir.empty()) return dir;
  for (const std::string& dir : {std::string("/run/lock"), FromEnv("XDG_RUNTIME_DIR")}) {
    if (WritableFolder(dir)) return dir;
  }
  std::error_code ec;
  return fs::temp_directory_path(ec).string();
}

LockAttempt TakeLock(const std::string& name, const std::string& what, const std::string& dir) {
  const std::string path = (dir.empty() ? DefaultLockDir() : dir) + "/" + name;
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int fd = OpenLockFile(path);
    if (fd < 0)
      return {nullptr, false, "cannot make the lock file " + path + ": " + std::strerror(errno)};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int e = errno;
      LockAttempt refused{nullptr, e == EWOULDBLOCK, ""};
      refused.message = refused.busy ? what + " is in use by another zambrix program" + Holder(fd)
                                     : "cannot lock " + path + ": " + std::strerror(e);
      ::close(fd);
      return refused;
    }
    if (SameFile(fd, path)) {
      WritePid(fd);
      return {std::make_unique<ResourceLock>(fd, path), false, ""};
    }
    ::close(fd);
  }
  return {nullptr, false, "cannot lock " + path + ": it keeps being replaced"};
}

std::string PortLockName(std::uint16_t base) {
  std::ostringstream s;
  s << "zambrix-port-" << std::uppercase << std::hex << base << ".lock";
  return s.str();
}

std::string ChipFileLockName(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (full.empty()) full = path;
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : full.string()) hash = (hash ^ c) * 1099511628211ull;
  std::string readable;
  for (char c : full.filename().string().substr(0, 40)) {
    const bool plain =
        std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
    readable += plain ? c : '_';
  }
  return "zambrix-sim-" + Hex64(hash) + "-" + readable + ".lock";
}

}  // namespace zambrix
