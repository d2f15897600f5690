#include "link/port.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "link/port_lock.h"
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZAMBRIX_HAVE_IOPERM 1
#endif

namespace zambrix {

namespace {

std::string Hex(unsigned v) {
  std::ostringstream s;
  s << std::uppercase << std::hex << v << "h";
  return s.str();
}

LockAttempt LockPort(std::uint16_t base, const std::string& dir) {
  return TakeLock(PortLockName(base), "the parallel port " + Hex(base), dir);
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

std::uint16_t ParportBase(const std::string& device, const std::string& proc_root) {
  // /dev/parportN -> /proc/sys/dev/parport/parportN/base-addr ("888\t1912").
  auto name = std::filesystem::path(device).filename().string();
  std::ifstream in(proc_root + "/" + name + "/base-addr");
  unsigned long base = 0;
  if (in >> base && base <= 0xFFFF) return static_cast<std::uint16_t>(base);
  return 0;
}

std::string FindParportDevice(std::uint16_t base, const std::string& proc_root) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(proc_root, ec)) {
    auto name = entry.path().filename().string();
    if (name.rfind("parport", 0) != 0) continue;
    if (ParportBase("/dev/" + name, proc_root) == base) return "/dev/" + name;
  }
  return {};
}

namespace {

// ppdev: one claimed /dev/parportN per base address. Register values are raw PC
// register values (the driver inverts nothing).
class PpdevPort : public PortBackend {
 public:
  explicit PpdevPort(const PpdevSys& sys) : sys_(sys) {}
  ~PpdevPort() override {
    for (auto& [base, fd] : fds_) {
      sys_.ioctl(fd, PPRELEASE, nullptr);
      sys_.close(fd);
    }
  }
  // Locks the port first, so that another program of ours holding it is told
  // apart from a driver holding it. `busy` is set when our lock is held.
  bool Add(std::uint16_t base, const std::string& device, std::string& why, bool& busy) {
    auto lock = LockPort(base, sys_.lock_dir);
    if (lock.busy) {
      why = device + ": " + lock.message;
      busy = true;
      return false;
    }
    int fd = sys_.open(device.c_str(), O_RDWR);
    if (fd < 0) {
      int e = errno;
      why = device + ": " + std::strerror(e);
      if (e == EACCES) why += " (add your user to group lp, then log in again)";
      return false;
    }
    if (sys_.ioctl(fd, PPEXCL, nullptr) < 0 || sys_.ioctl(fd, PPCLAIM, nullptr) < 0) {
      int e = errno;
      why = device + ": cannot claim the port: " + std::strerror(e) +
            (e == EBUSY ? " (another program or driver holds it; the printer driver is unloaded with: "
                          "modprobe -r lp)"
                        : "");
      sys_.close(fd);
      return false;
    }
    int dir = 0;
    if (sys_.ioctl(fd, PPDATADIR, &dir) < 0) {
      int e = errno;
      why = device + ": cannot set the data lines to output: " + std::strerror(e);
      sys_.ioctl(fd, PPRELEASE, nullptr);
      sys_.close(fd);
      return false;
    }
    fds_[base] = fd;
    locks_.push_back(std::move(lock.lock));
    names_ += (names_.empty() ? "" : ", ") + device + " at " + Hex(base);
    return true;
  }
  bool Empty() const { return fds_.empty(); }

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
  std::map<std::uint16_t, int> fds_;
  std::string names_;
  bool failed_ = false;
};

#ifdef ZAMBRIX_HAVE_IOPERM
constexpr unsigned kDirectBases[] = {0x278u, 0x378u, 0x3BCu};

// Only the three registers of each of the three ports are granted (ioperm);
// any other address acts as an empty bus instead of faulting the process (the
// link writes to base 0 while no port is chosen).
// A port that another program of ours holds is left out the same way.
class DirectPort : public PortBackend {
 public:
  // Locks the three ports; the message names those another program holds.
  void Lock(const std::string& dir, std::string& message) {
    for (unsigned base : kDirectBases) {
      auto lock = LockPort(static_cast<std::uint16_t>(base), dir);
      if (lock.busy) {
        message += (message.empty() ? "" : "; ") + lock.message;
        continue;
      }
      bases_.push_back(base);
      locks_.push_back(std::move(lock.lock));
    }
  }
  bool Empty() const { return bases_.empty(); }
  void PortOut(std::uint16_t address, std::uint8_t value) override {
    if (Granted(address)) outb(value, address);
  }
  std::uint8_t PortIn(std::uint16_t address) override {
    return Granted(address) ? inb(address) : 0xFF;
  }
  bool IsSimulated() const override { return false; }
  std::string Describe() const override {
    std::string names;
    for (unsigned base : bases_) names += (names.empty() ? "" : ", ") + Hex(base);
    return "raw port I/O (ioperm) on " + names;
  }

 private:
  bool Granted(std::uint16_t address) const {
    for (unsigned base : bases_) {
      if (address >= base && address <= base + 2) return true;
    }
    return false;
  }
  std::vector<unsigned> bases_;
  std::vector<std::unique_ptr<ResourceLock>> locks_;
};
#endif

}  // namespace

const PpdevSys& PpdevSys::Real() {
  static const PpdevSys real{
      [](const char* path, int flags) { return ::open(path, flags); },
      [](int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); },
      [](int fd) { return ::close(fd); },
      ""};
  return real;
}

PortOpenResult OpenPpdevPort(const std::string& device_or_empty, std::uint16_t wanted_base,
                             const PpdevSys& sys, const std::string& proc_root) {
  auto port = std::make_unique<PpdevPort>(sys);
  std::string why;
  std::string all_why;
  bool busy = false;
  if (!device_or_empty.empty()) {
    std::uint16_t base = ParportBase(device_or_empty, proc_root);
    if (base == 0) base = wanted_base ? wanted_base : 0x378;
    if (!port->Add(base, device_or_empty, why, busy)) return {nullptr, why, busy};
    return {std::move(port), ""};
  }
  for (std::uint16_t base : {std::uint16_t{0x378}, std::uint16_t{0x278}, std::uint16_t{0x3BC}}) {
    auto dev = FindParportDevice(base, proc_root);
    if (dev.empty()) continue;
    if (!port->Add(base, dev, why, busy)) all_why += (all_why.empty() ? "" : "; ") + why;
  }
  if (port->Empty()) {
    if (all_why.empty()) all_why = "no parallel port at 278h, 378h or 3BCh (no /dev/parportN)";
    return {nullptr, all_why, busy};
  }
  return {std::move(port), all_why};
}

PortOpenResult OpenDirectPort(const std::string& lock_dir, const PortGrant& grant) {
#ifdef ZAMBRIX_HAVE_IOPERM
  for (unsigned base : kDirectBases) {
    if ((grant ? grant(base, 3, 1) : ioperm(base, 3, 1)) != 0) {
      int e = errno;
      return {nullptr, std::string("raw port access refused: ") + std::strerror(e) +
                           " (needs root or CAP_SYS_RAWIO, and no kernel lockdown)"};
    }
  }
  auto port = std::make_unique<DirectPort>();
  std::string held;
  port->Lock(lock_dir, held);
  if (port->Empty()) return {nullptr, held, true};
  return {std::move(port), held};
#else
  (void)lock_dir, (void)grant;
  return {nullptr, "raw port access is only available on x86"};
#endif
}

}  // namespace zambrix
