// Advisory locks that keep a second program off a port, or off a simulated
// board's chip file, while a first one uses it.
//
// A lock is flock(2) on a small file in the machine's lock folder, named after
// what it guards ("zambrix-port-378.lock"). The kernel drops it when the holder
// closes the file or ends, however it ends, so a file left behind by a killed
// program is harmless; a holder that lets go removes the file. The holder
// writes its process id into the file so the refusal can say who.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zambrix {

// A taken lock; held while the object lives.
class ResourceLock {
 public:
  ResourceLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~ResourceLock();
  ResourceLock(const ResourceLock&) = delete;
  ResourceLock& operator=(const ResourceLock&) = delete;
  const std::string& Path() const { return path_; }

 private:
  int fd_;
  std::string path_;
};

struct LockAttempt {
  // Null when another program holds the lock, or when no lock file could be
  // made at all (then the resource is used without one).
  std::unique_ptr<ResourceLock> lock;
  bool busy = false;    // another program holds it
  std::string message;  // why the lock is not held
};

// The folder for lock files: $ZAMBRIX_LOCK_DIR, /run/lock, $XDG_RUNTIME_DIR or
// the temporary folder, the first that is a writable folder. /run/lock comes
// before the user's own folder because a port is one per machine, whoever runs.
std::string DefaultLockDir();

// Takes the lock file `name` in `dir` (empty: DefaultLockDir()) without
// waiting. `what` names the guarded thing in the refusal ("the parallel port
// 378h").
LockAttempt TakeLock(const std::string& name, const std::string& what, const std::string& dir = {});

// "zambrix-port-378.lock"
std::string PortLockName(std::uint16_t base);
// One name per simulated chip file, whatever path spells it
// ("zambrix-sim-1f3a...-chip.bin.lock").
std::string ChipFileLockName(const std::string& path);

}  // namespace zambrix
