// Every file the program saves or loads goes through these two functions, so
// that no save damages what it was not asked to write and no load can hang on
// a special file or fill the memory.
//
// Saving (WriteFileSafely):
//   - A regular file, or a name that does not exist yet, is written to a
//     temporary file created exclusively (unique name, in the same folder) and
//     renamed over the target only when every byte is on the disk; a failed save
//     leaves the old file as it was. The replaced file keeps its permission bits
//     (less set-user-ID and set-group-ID) and, where allowed, its owner; a new
//     file gets 0666 less the umask.
//   - An existing file that the user may not write (its permission bits, or a
//     read-only file system) is refused, as cp refuses it: "Permission denied".
//   - A symlink is followed to its final target, which is written as above;
//     the link itself stays a link.
//   - An existing output that is not a regular file (a device such as /dev/null
//     or /dev/full, a FIFO) is written in place, never replaced; its write
//     errors are reported. A FIFO nobody reads is an error, not a hang.
//   - A folder as output is an error.
//
// Loading (ReadInputFile):
//   - The file is opened non-blocking and checked with fstat before anything is
//     read: only a regular file of at most `max_bytes` bytes is read.
//
// Error texts are plain reasons without the file's name ("No space left on
// device", "it is a folder, not a file"); callers put the name in their message.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zambrix {

// Writes `bytes` as the whole contents of `path`. Returns an empty string on
// success, otherwise why nothing (or, for a device written in place, not
// everything) was written.
[[nodiscard]] std::string WriteFileSafely(const std::string& path, std::string_view bytes);

// The same, true on success.
inline bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return WriteFileSafely(path, bytes).empty();
}

enum class InputStatus {
  Ok,
  Missing,     // no file of that name
  NotRegular,  // a folder, device, FIFO or socket
  TooBig,      // more than the allowed bytes; nothing was read
  Unreadable,  // no permission, read error
};

struct InputFile {
  InputStatus status = InputStatus::Unreadable;
  std::vector<std::uint8_t> bytes;  // the whole file when status is Ok
  std::uintmax_t size = 0;          // the file's length when known
  std::string error;                // plain reason, empty when status is Ok

  bool ok() const { return status == InputStatus::Ok; }
};

// Reads the whole of `path` when it is a regular file of at most `max_bytes`
// bytes. Never blocks on a FIFO or device and never reads past `max_bytes`.
InputFile ReadInputFile(const std::string& path, std::uintmax_t max_bytes);

// Saves under a fixed name in the current folder (the log's ZAMBRIX.LOG, the
// hex view's ZAMBRIX.BUF) never replace a file this run did not write: such a
// file stays, and the save goes to the first free numbered name beside it
// ("ZAMBRIX-1.LOG").
class FixedNameSaves {
 public:
  // The full path a save under `name` goes to.
  std::string Target(const std::string& name) const;
  // A save to `path` (from Target) was written: later saves may replace it.
  void Written(const std::string& path) { ours_.insert(path); }

 private:
  bool Free(const std::string& path) const;
  std::set<std::string> ours_;
};

// True when `a` and `b` name the same file: the same device and inode where
// both exist, otherwise the same absolute path once symlinks of the existing
// folders are resolved and "." and ".." removed.
bool SameFile(const std::string& a, const std::string& b);

// The system calls through which a save writes, flushes and renames. Tests put
// in calls that fail as a full disk, a failing device or a vanished folder
// would, to see each failure reported with the old file intact. Not for use
// while another thread saves.
struct SaveCalls {
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
};
// The calls the program makes (the system's own).
SaveCalls SystemSaveCalls();
// Puts `calls` in use for every save from now on; returns the calls they replace.
SaveCalls UseSaveCalls(const SaveCalls& calls);

}  // namespace zambrix
