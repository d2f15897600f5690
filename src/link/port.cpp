#include "link/port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "link/port_lock.h"
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZAMBRIX_HAVE_IOPERM 1
#endif

namespace zambrix {

namespace {

// One lock per real port, whatever choice it is bound to and whichever way
// (ppdev or raw I/O) it is reached; by its device when its base is unknown.
LockAttempt LockPort(const PortBinding& b, const std::string& dir) {
  if (b.base != 0)
    return TakeLock(PortLockName(b.base), "the parallel port " + HexAddress(b.base), dir);
  const std::string name = std::filesystem::path(b.device).filename().string();
  return TakeLock("zambrix-port-" + name + ".lock", "the parallel port " + b.device, dir);
}

// "/dev/parport0 at 378h", "/dev/parport1 as 378h (a card at D010h)"; for raw
// port I/O "378h", "378h at D010h".
std::string PortName(const PortBinding& b) {
  if (b.device.empty())
    return HexAddress(b.choice) + (b.base == b.choice ? "" : " at " + HexAddress(b.base));
  if (b.base == b.choice) return b.device + " at " + HexAddress(b.choice);
  return b.device + " as " + HexAddress(b.choice) + " (" +
         (b.base ? "a card at " + HexAddress(b.base) : "no I/O address") + ")";
}

}  // namespace

void RecordingPort::PortOut(std::uint16_t address, std::uint8_t value) {
  log_.push_back({true, address, value});
}

std::uint8_t RecordingPort::PortIn(std::uint16_t address) {
  std::uint8_t v = next_read_ < reads_.size() ? reads_[next_read_++] : fallback_;
  log_.push_back({false, address, v});
  return v;
}

std::string RecordingPort::Describe() const {
  return "recording back end (no board: every write is recorded, reads return FFh)";
}

namespace {

// ppdev: one claimed /dev/parportN per port choice. Register values are raw PC
// register values (the driver inverts nothing).
class PpdevPort : public PortBackend {
 public:
  explicit PpdevPort(const PpdevSys& sys) : sys_(sys) {}
  ~PpdevPort() override {
    for (auto& [choice, fd] : fds_) {
      sys_.ioctl(fd, PPRELEASE, nullptr);
      sys_.close(fd);
    }
  }
  // Locks the port first, so that another program of ours holding it is told
  // apart from a driver holding it. `busy` is set when our lock is held.
  bool Add(const PortBinding& b, std::string& why, bool& busy) {
    why = UnusableDevice(b.device);
    if (!why.empty()) return false;
    auto lock = LockPort(b, sys_.lock_dir);
    if (lock.busy) {
      why = b.device + ": " + lock.message;
      busy = true;
      return false;
    }
    const int fd = Claim(b.device, why);
    if (fd < 0) return false;
    fds_[b.choice] = fd;
    bindings_.push_back(b);
    locks_.push_back(std::move(lock.lock));
    names_ += (names_.empty() ? "" : ", ") + PortName(b);
    return true;
  }
  bool Empty() const { return fds_.empty(); }
  std::vector<PortBinding> Bindings() const override { return bindings_; }

  void PortOut(std::uint16_t address, std::uint8_t value) override {
    int fd = 0;
    unsigned reg = 0;
    if (!Find(address, fd, reg)) return;
    if (reg == 0) {
      Check(sys_.ioctl(fd, PPWDATA, &value), "PPWDATA");
    } else if (reg == 2) {
      // Direction goes through PPDATADIR, never through bit 5 of the control value.
      unsigned char c = value & 0x0F;
      Check(sys_.ioctl(fd, PPWCONTROL, &c), "PPWCONTROL");
    }
  }
  std::uint8_t PortIn(std::uint16_t address) override {
    int fd = 0;
    unsigned reg = 0;
    if (!Find(address, fd, reg)) return 0xFF;
    unsigned char v = 0xFF;
    if (reg == 1) {
      Check(sys_.ioctl(fd, PPRSTATUS, &v), "PPRSTATUS");
    } else if (reg == 0) {
      Check(sys_.ioctl(fd, PPRDATA, &v), "PPRDATA");
    } else {
      Check(sys_.ioctl(fd, PPRCONTROL, &v), "PPRCONTROL");
    }
    return failed_ ? 0xFF : v;
  }
  bool IsSimulated() const override { return false; }
  std::string Describe() const override { return "ppdev " + names_; }

 private:
  // Opens and claims the device exclusively, data lines driven; -1 (and why)
  // when it cannot.
  int Claim(const std::string& device, std::string& why) {
    const int fd = sys_.open(device.c_str(), O_RDWR);
    if (fd < 0) {
      const int e = errno;
      why = device + ": " + std::strerror(e);
      if (e == EACCES)
        why += " (add your user to group lp and log in again: sudo usermod -aG lp $USER)";
      if (e == ENOENT) why += " (zambrix-cli doctor lists this PC's ports)";
      return -1;
    }
    if (sys_.ioctl(fd, PPEXCL, nullptr) < 0 || sys_.ioctl(fd, PPCLAIM, nullptr) < 0) {
      const int e = errno;
      why = device + ": cannot claim the port: " + std::strerror(e) +
            (e == EBUSY
                 ? " (another program or driver holds it; the printer driver is unloaded with: "
                   "sudo modprobe -r lp)"
                 : "");
      sys_.close(fd);
      return -1;
    }
    int dir = 0;
    if (sys_.ioctl(fd, PPDATADIR, &dir) < 0) {
      const int e = errno;
      why = device + ": cannot set the data lines to output: " + std::strerror(e);
      sys_.ioctl(fd, PPRELEASE, nullptr);
      sys_.close(fd);
      return -1;
    }
    return fd;
  }
  bool Find(std::uint16_t address, int& fd, unsigned& reg) const {
    if (failed_) return false;
    for (auto& [base, f] : fds_) {
      if (address >= base && address <= base + 2) {
        fd = f;
        reg = address - base;
        return true;
      }
    }
    return false;
  }
  // The first failed access is reported; the port then acts as an empty bus.
  void Check(int result, const char* what) {
    if (result >= 0 || failed_) return;
    int e = errno;
    failed_ = true;
    throw PortError("the parallel port stopped answering (" + names_ + ": " + what + ": " +
                    std::strerror(e) + ")");
  }
  const PpdevSys& sys_;
  std::vector<std::unique_ptr<ResourceLock>> locks_;  // given back after the ports
  std::map<std::uint16_t, int> fds_;                  // by port choice
  std::vector<PortBinding> bindings_;
  std::string names_;
  bool failed_ = false;
};

#ifdef ZAMBRIX_HAVE_IOPERM
// The three choices at their own addresses, in the order they are granted.
const std::vector<PortBinding> kOwnAddresses = {
    {0x278, "", 0x278}, {0x378, "", 0x378}, {0x3BC, "", 0x3BC}};

// Only the three registers of each bound port are granted (ioperm) and
// touched; any other address acts as an empty bus instead of faulting the
// process (the link writes to base 0 while no port is chosen). A port that
// another program of ours holds is left out the same way.
class DirectPort : public PortBackend {
 public:
  // Locks the ports; the message names those another program holds.
  void Lock(const std::vector<PortBinding>& bindings, const std::string& dir,
            std::string& message) {
    for (const auto& b : bindings) {
      auto lock = LockPort(b, dir);
      if (lock.busy) {
        message += (message.empty() ? "" : "; ") + lock.message;
        continue;
      }
      bindings_.push_back(b);
      locks_.push_back(std::move(lock.lock));
    }
  }
  bool Empty() const { return bindings_.empty(); }
  void PortOut(std::uint16_t address, std::uint8_t value) override {
    if (const int real = Real(address); real >= 0) outb(value, static_cast<std::uint16_t>(real));
  }
  std::uint8_t PortIn(std::uint16_t address) override {
    const int real = Real(address);
    return real >= 0 ? inb(static_cast<std::uint16_t>(real)) : 0xFF;
  }
  bool IsSimulated() const override { return false; }
  std::string Describe() const override {
    std::string names;
    for (const auto& b : bindings_) names += (names.empty() ? "" : ", ") + PortName(b);
    return "raw port I/O (ioperm) on " + names;
  }
  std::vector<PortBinding> Bindings() const override { return bindings_; }

 private:
  // The real register behind a choice's register; -1 for none.
  int Real(std::uint16_t address) const {
    for (const auto& b : bindings_) {
      if (address >= b.choice && address <= b.choice + 2) return b.base + (address - b.choice);
    }
    return -1;
  }
  std::vector<PortBinding> bindings_;
  std::vector<std::unique_ptr<ResourceLock>> locks_;
};
#endif

}  // namespace

const PpdevSys& PpdevSys::Real() {
  static const PpdevSys real{
      [](const char* path, int flags) { return ::open(path, flags); },
      [](int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); },
      [](int fd) { return ::close(fd); }, ""};
  return real;
}

namespace {

// Opens every binding; with `all` one that fails fails the whole, otherwise
// the ones that open are used and the message names the others.
PortOpenResult OpenBound(const std::vector<PortBinding>& bindings, const PpdevSys& sys, bool all) {
  auto port = std::make_unique<PpdevPort>(sys);
  std::string problems;
  bool busy = false;
  for (const auto& b : bindings) {
    std::string why;
    if (port->Add(b, why, busy)) continue;
    if (all) return {nullptr, why, busy};
    problems += (problems.empty() ? "" : "; ") + why;
  }
  if (port->Empty()) return {nullptr, problems, busy};
  return {std::move(port), problems};
}

// Why the automatic binding bound nothing.
std::string NothingBound(const std::vector<KernelPort>& ports) {
  if (ports.empty()) return "no parallel port (the kernel lists no /dev/parportN)";
  std::string names;
  for (const auto& p : ports) names += (names.empty() ? "" : ", ") + p.device;
  return "the kernel gives no I/O address for " + names + " (not a port on this PC's bus)";
}

}  // namespace

PortOpenResult OpenPpdevPort(const std::string& device_or_empty, std::uint16_t choice,
                             const PpdevSys& sys, const std::string& proc_root) {
  if (!device_or_empty.empty()) {
    const std::uint16_t base = ParportBase(device_or_empty, proc_root);
    if (IsPortChoice(base)) choice = base;
    if (!IsPortChoice(choice)) choice = 0x378;
    return OpenBound({{choice, device_or_empty, base}}, sys, true);
  }
  const auto ports = ListKernelPorts(proc_root);
  const auto bindings = BindKernelPorts(ports);
  if (bindings.empty()) return {nullptr, NothingBound(ports)};
  return OpenBound(bindings, sys, false);
}

PortOpenResult OpenPpdevBindings(const std::vector<PortBinding>& bindings, const PpdevSys& sys) {
  return OpenBound(bindings, sys, true);
}

PortOpenResult OpenDirectPort(const std::string& lock_dir, const PortGrant& grant,
                              const std::vector<PortBinding>& bindings) {
#ifdef ZAMBRIX_HAVE_IOPERM
  const auto& ports = bindings.empty() ? kOwnAddresses : bindings;
  for (const auto& b : ports) {
    if ((grant ? grant(b.base, 3, 1) : ioperm(b.base, 3, 1)) != 0) {
      int e = errno;
      return {nullptr, "raw port access to " + HexAddress(b.base) +
                           " refused: " + std::strerror(e) +
                           " (needs root or CAP_SYS_RAWIO, and no kernel lockdown)"};
    }
  }
  auto port = std::make_unique<DirectPort>();
  std::string held;
  port->Lock(ports, lock_dir, held);
  if (port->Empty()) return {nullptr, held, true};
  return {std::move(port), held};
#else
  (void)lock_dir, (void)grant, (void)bindings;
  return {nullptr, "raw port access is only available on x86"};
#endif
}

}  // namespace zambrix
