// The two port functions every board access goes through, and the back ends
// behind them (recording, ppdev, raw I/O, the simulated board).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/port_binding.h"

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
  // The real port behind each port choice (none for the simulated board).
  virtual std::vector<PortBinding> Bindings() const { return {}; }
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

// Linux ppdev: one claimed /dev/parportN behind each bound port choice.
// Accesses to a choice with no port behind it act as an empty bus.
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
// With a device: that port, at its own choice when its base is one, else at
// `choice` (378h when 0). Without: every port the kernel lists, bound by
// BindKernelPorts; those that open are used, the others named in the message.
PortOpenResult OpenPpdevPort(const std::string& device_or_empty, std::uint16_t choice = 0,
                             const PpdevSys& sys = PpdevSys::Real(),
                             const std::string& proc_root = "/proc/sys/dev/parport");
// Exactly these bindings (given by hand); one that does not open fails all.
PortOpenResult OpenPpdevBindings(const std::vector<PortBinding>& bindings,
                                 const PpdevSys& sys = PpdevSys::Real());
// Raw port I/O through ioperm (root or CAP_SYS_RAWIO, x86 only) on the three
// registers of each bound port, at any base; the ECR and EPP registers above
// them are left alone. No bindings: the three choices at their own addresses.
// Each port is locked; one that another program of ours holds acts as an
// empty bus, and all held is a refusal. `grant` stands in for ioperm(2) in
// tests (empty: the system call).
using PortGrant = std::function<int(unsigned long from, unsigned long count, int on)>;
PortOpenResult OpenDirectPort(const std::string& lock_dir = {}, const PortGrant& grant = {},
                              const std::vector<PortBinding>& bindings = {});

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

}  // namespace zambrix
