#include "base/file_io.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

namespace zambrix {

namespace fs = std::filesystem;

namespace {

// Symlinks followed before a chain is taken for a loop (the kernel's own limit).
constexpr int kMaxLinks = 40;

std::string Reason(int err) { return std::strerror(err); }

SaveCalls g_calls{::write, ::fsync, ::rename};

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now; the error of close() counts for a written file.
  int Close() {
    const int r = ::close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

struct Resolved {
  std::string path;   // the file a write lands in
  std::string error;  // why the chain cannot be followed
};

// Follows `path` through symlinks to the name that is finally written. A link
// to a name that does not exist yet resolves to that name.
Resolved FollowLinks(std::string path) {
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return {path, ""};
      return {path, Reason(errno)};
    }
    if (!S_ISLNK(st.st_mode)) return {path, ""};
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return {path, Reason(errno)};
    target.resize(static_cast<std::size_t>(n));
    fs::path next(target);
    if (next.is_relative()) next = fs::path(path).parent_path() / next;
    path = next.string();
  }
  return {path, Reason(ELOOP)};
}

std::string WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = g_calls.write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Reason(errno);
    }
    if (n == 0) return Reason(ENOSPC);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return {};
}

// While alive, SIGPIPE is held back in this thread, so that a FIFO whose
// reader goes away mid-write gives EPIPE instead of ending the program.
class SigPipeHeld {
 public:
  SigPipeHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    was_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigPipeHeld() {
    sigset_t pending;
    sigpending(&pending);
    if (!was_pending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec now{};
      sigtimedwait(&pipe_, nullptr, &now);  // the one this write raised
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  SigPipeHeld(const SigPipeHeld&) = delete;
  SigPipeHeld& operator=(const SigPipeHeld&) = delete;

 private:
  sigset_t pipe_{};
  sigset_t old_{};
  bool was_pending_ = false;
};

// A device or FIFO: written where it is, never replaced by a file.
std::string WriteInPlace(const std::string& path, std::string_view bytes) {
  const SigPipeHeld held;
  Fd fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENXIO) return "it is a FIFO or socket that nobody reads";
    return Reason(errno);
  }
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  std::string error = WriteAll(fd.get(), bytes);
  if (fd.Close() != 0 && error.empty()) error = Reason(errno);
  return error;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A regular file (or a new name): a temporary file beside it, renamed over it
// once complete.
std::string WriteReplacing(const std::string& path, const struct stat* old,
                           std::string_view bytes) {
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  std::string temp = (folder / ".zambrix-XXXXXX").string();
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return "cannot create a file in its folder: " + Reason(errno);
  std::string error;
  if (old != nullptr) {
    // Keeping the owner needs privileges; without them the file is the saver's.
    if (::fchown(fd.get(), old->st_uid, old->st_gid) != 0) errno = 0;
  }
  // New contents drop set-user-ID and set-group-ID, as a write in place would.
  const mode_t mode = old != nullptr ? (old->st_mode & 01777) : NewFileMode();
  if (::fchmod(fd.get(), mode) != 0) error = Reason(errno);
  if (error.empty()) error = WriteAll(fd.get(), bytes);
  if (error.empty() && g_calls.fsync(fd.get()) != 0) error = Reason(errno);
  if (fd.Close() != 0 && error.empty()) error = Reason(errno);
  if (error.empty() && g_calls.rename(temp.c_str(), path.c_str()) != 0) error = Reason(errno);
  if (!error.empty()) ::unlink(temp.c_str());
  return error;
}

}  // namespace

SaveCalls SystemSaveCalls() { return {::write, ::fsync, ::rename}; }

SaveCalls UseSaveCalls(const SaveCalls& calls) { return std::exchange(g_calls, calls); }

std::string WriteFileSafely(const std::string& path, std::string_view bytes) {
  if (path.empty()) return "no file name";
  const Resolved target = FollowLinks(path);
  if (!target.error.empty()) return target.error;
  struct stat st {};
  if (::stat(target.path.c_str(), &st) != 0) {
    if (errno != ENOENT) return Reason(errno);
    return WriteReplacing(target.path, nullptr, bytes);
  }
  if (S_ISDIR(st.st_mode)) return "it is a folder, not a file";
  if (!S_ISREG(st.st_mode)) return WriteInPlace(target.path, bytes);
  // The rename would pass over the file's own permission: a file its user may
  // not write is refused, as a copy over it would be.
  if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0) return Reason(errno);
  return WriteReplacing(target.path, &st, bytes);
}

namespace {

InputFile Refused(InputStatus status, std::string error, std::uintmax_t size = 0) {
  InputFile f;
  f.status = status;
  f.error = std::move(error);
  f.size = size;
  return f;
}

// Why a file that is not a regular file is not read.
InputFile NotRegular(const struct stat& st) {
  const char* kind = S_ISDIR(st.st_mode)    ? "folder"
                     : S_ISFIFO(st.st_mode) ? "FIFO"
                     : S_ISSOCK(st.st_mode) ? "socket"
                                            : "device";
  return Refused(InputStatus::NotRegular, std::string("it is a ") + kind + ", not a file");
}

InputFile TooBig(std::uintmax_t size, std::uintmax_t max_bytes) {
  return Refused(InputStatus::TooBig,
                 "it holds " + std::to_string(size) + " bytes, more than the " +
                     std::to_string(max_bytes) + " allowed",
                 size);
}

}  // namespace

InputFile ReadInputFile(const std::string& path, std::uintmax_t max_bytes) {
  max_bytes = std::min<std::uintmax_t>(max_bytes, PTRDIFF_MAX - 1);
  struct stat st {};
  // Checked before opening, so that no device is even opened.
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return Refused(InputStatus::Missing, "no such file");
    return Refused(InputStatus::Unreadable, Reason(errno));
  }
  if (!S_ISREG(st.st_mode)) return NotRegular(st);
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return Refused(InputStatus::Missing, "no such file");
    return Refused(InputStatus::Unreadable, Reason(errno));
  }
  // The name may have been swapped for something else since the check above.
  if (::fstat(fd.get(), &st) != 0) return Refused(InputStatus::Unreadable, Reason(errno));
  if (!S_ISREG(st.st_mode)) return NotRegular(st);
  const auto size = static_cast<std::uintmax_t>(st.st_size);
  if (size > max_bytes) return TooBig(size, max_bytes);

  // Read until the end, but never more than one byte past the limit: a file
  // that grows while it is read is still bounded.
  InputFile f;
  f.bytes.resize(static_cast<std::size_t>(size) + 1);
  std::size_t got = 0;
  for (;;) {
    if (got == f.bytes.size()) {
      if (got > max_bytes) return TooBig(got, max_bytes);
      f.bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(2 * got, max_bytes + 1)));
    }
    const ssize_t n = ::read(fd.get(), f.bytes.data() + got, f.bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Refused(InputStatus::Unreadable, Reason(errno), size);
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got > max_bytes) return TooBig(got, max_bytes);
  f.bytes.resize(got);
  f.size = got;
  f.status = InputStatus::Ok;
  return f;
}

bool FixedNameSaves::Free(const std::string& path) const {
  std::error_code ec;
  return ours_.count(path) != 0 || !fs::exists(fs::symlink_status(path, ec));
}

std::string FixedNameSaves::Target(const std::string& name) const {
  std::error_code ec;
  const fs::path first = fs::absolute(name, ec).lexically_normal();
  if (Free(first.string())) return first.string();
  for (int n = 1;; ++n) {
    fs::path numbered = first;
    numbered.replace_filename(first.stem().string() + "-" + std::to_string(n) +
                              first.extension().string());
    if (Free(numbered.string())) return numbered.string();
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  auto normal = [](const std::string& p) {
    std::error_code ec;
    fs::path full = fs::absolute(FollowLinks(p).path, ec);
    fs::path canonical = fs::weakly_canonical(full, ec);
    return (ec ? full : canonical).lexically_normal();
  };
  return normal(a) == normal(b);
}

}  // namespace zambrix
