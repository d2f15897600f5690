// The two port functions every board access goes through, and the back ends
// behind them (recording, ppdev, raw I/O, the simulated board).
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <memory>
#include <string>
#include <vector>

namespace zambrix {

class PortBackend {
 public:
  virtual ~PortBackend() = default;
  // Writes the byte to the register at `address` (base, base + 1, base + 2).
  // A base with no port behind it ignores the write.
  virtual void PortOut(std::uint16_t address, std::uint8_t value) = 0;
  // Reads the register; a base with no port behind it reads FFh.
  virtual std::uint8_t PortIn(std::uint16_t address) = 0;
  // True for the simulated board (and the recording back end): the program says
  // so plainly in the log and the window title.
  virtual bool IsSimulated() const = 0;
  // One line for the log: what this back end is ("ppdev /dev/parport0 at 378h").
  virtual std::string Describe() const = 0;
  // Where a back end reports notable events of its own as they happen (the
  // simulated board: a chip destroyed, an injected fault firing). Real ports
  // have none.
  virtual void SetEventSink(std::function<void(const std::string&)> /*sink*/) {}
};

// One recorded access.
struct PortAccess {
  bool write;
  std::uint16_t address;
  std::uint8_t value;
  bool operator==(const PortAccess&) const = default;
};

// Records every access in order and answers reads from a script (then FFh).
class RecordingPort : public PortBackend {
 public:
  void PortOut(std::uint16_t address, std::uint8_t value) override;
  std::uint8_t PortIn(std::uint16_t address) override;
  bool IsSimulated() const override { return true; }
  std::string Describe() const override;

  // Reads return these values in order; after them, `fallback`.
  void ScriptReads(std::vector<std::uint8_t> values) { reads_ = std::move(values), next_read_ = 0; }
  void SetFallback(std::uint8_t v) { fallback_ = v; }
  const std::vector<PortAccess>& Log() const { return log_; }
  void Clear() { log_.clear(); }

 private:
  std::vector<PortAccess> log_;
  std::vector<std::uint8_t> reads_;
  std::size_t next_read_ = 0;
  std::uint8_t fallback_ = 0xFF;
};

// Linux ppdev: /dev/parportN for the port whose base address is `base`.
// Accesses to any other base act as an empty bus.
struct PortOpenResult {
  std::unique_ptr<PortBackend> port;  // null on failure
  std::string message;                // why it failed, and what to do
  // A port that was asked for is held by another program of ours (its lock is
  // taken): the caller refuses rather than falls back to the simulated board.
  bool busy = false;
};
//
// The system calls behind ppdev, replaceable so that tests see the exact ioctl
// sequence and drive its error paths. Each returns -1 and sets errno on failure,
// as the system calls do.
struct PpdevSys {
  std::function<int(const char* path, int flags)> open;
  std::function<int(int fd, unsigned long request, void* arg)> ioctl;
  std::function<int(int fd)> close;
  // Where the ports' lock files live; empty: the machine's lock folder.
  std::string lock_dir;
  static const PpdevSys& Real();
};
// A register access that failed on a claimed port (the cable or the port went
// away, the driver refused). Thrown once; after it the port acts as an empty bus
// (writes ignored, reads FFh), so the board reset that follows does not throw.
struct PortError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
PortOpenResult OpenPpdevPort(const std::string& device_or_empty, std::uint16_t wanted_base = 0,
                             const PpdevSys& sys = PpdevSys::Real(),
                             const std::string& proc_root = "/proc/sys/dev/parport");
// Raw port I/O through ioperm (root or CAP_SYS_RAWIO, x86 only). Each of the
// three ports is locked; one that another program of ours holds acts as an
// empty bus, and all three held is a refusal. `grant` stands in for ioperm(2)
// in tests (empty: the system call).
using PortGrant = std::function<int(unsigned long from, unsigned long count, int on)>;
PortOpenResult OpenDirectPort(const std::string& lock_dir = {}, const PortGrant& grant = {});

// No port at all: writes are ignored, reads FFh. What runs when the port (or the
// simulated board) asked for was refused, so that the program still starts and
// finds no board.
class NoPort : public PortBackend {
 public:
  void PortOut(std::uint16_t, std::uint8_t) override {}
  std::uint8_t PortIn(std::uint16_t) override { return 0xFF; }
  bool IsSimulated() const override { return false; }
  std::string Describe() const override { return "no port (nothing reaches a board)"; }
};

// Finds /dev/parportN for a base address from /proc/sys/dev/parport/*/base-addr;
// `proc_root` is for tests. Empty when none matches.
std::string FindParportDevice(std::uint16_t base, const std::string& proc_root = "/proc/sys/dev/parport");
// Base address of /dev/parportN (0 when unknown).
std::uint16_t ParportBase(const std::string& device, const std::string& proc_root = "/proc/sys/dev/parport");

}  // namespace zambrix
