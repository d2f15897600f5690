// A fake machine for the port tests: a /proc/sys/dev/parport tree and a /dev
// folder with the ports given, and the ppdev system calls recorded.
#pragma once

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/doctor.h"
#include "link/port.h"
#include "support/temp_dir.h"

namespace zambrix::testing {

namespace fs = std::filesystem;

// Records every call as one text ("open /dev/parport0", "PPWDATA 5A") and fails
// the calls it is told to fail, with the errno it is given. Each device opened
// gets a descriptor of its own; `device`, when set, is the port behind the
// register calls (it reads and writes the byte).
struct FakeSys {
  TempDir locks;  // its own, so that no two fakes share a port lock
  std::vector<std::string> calls;
  std::map<std::string, int> fail;  // call name -> errno
  unsigned char status = 0x78;
  std::map<int, std::string> paths;  // by descriptor
  std::function<void(const std::string& path, unsigned long request, unsigned char& byte)> device;
  PpdevSys sys;

  FakeSys() {
    sys.lock_dir = locks.str();
    sys.open = [this](const char* path, int) {
      calls.push_back(std::string("open ") + path);
      if (Fails("open")) return -1;
      const int fd = 7 + static_cast<int>(paths.size());
      paths[fd] = path;
      return fd;
    };
    sys.close = [this](int) {
      calls.push_back("close");
      return 0;
    };
    sys.ioctl = [this](int fd, unsigned long request, void* arg) {
      std::string name = Name(request);
      auto* byte = static_cast<unsigned char*>(arg);
      if (request == PPRSTATUS && byte) *byte = status;
      const bool reg = request == PPWDATA || request == PPWCONTROL || request == PPRSTATUS;
      if (device && reg && byte) device(paths[fd], request, *byte);
      char value[8] = "";
      if ((request == PPWDATA || request == PPWCONTROL) && byte)
        std::snprintf(value, sizeof value, " %02X", *byte);
      if (request == PPDATADIR && arg)
        std::snprintf(value, sizeof value, " %d", *static_cast<int*>(arg));
      calls.push_back(name + value);
      return Fails(name) ? -1 : 0;
    };
  }
  bool Fails(const std::string& name) {
    auto it = fail.find(name);
    if (it == fail.end()) return false;
    errno = it->second;
    return true;
  }
  static std::string Name(unsigned long r) {
    static const std::map<unsigned long, std::string> names = {
        {PPEXCL, "PPEXCL"},       {PPCLAIM, "PPCLAIM"}, {PPRELEASE, "PPRELEASE"},
        {PPDATADIR, "PPDATADIR"}, {PPWDATA, "PPWDATA"}, {PPWCONTROL, "PPWCONTROL"},
        {PPRSTATUS, "PPRSTATUS"}, {PPRDATA, "PPRDATA"}, {PPRCONTROL, "PPRCONTROL"}};
    auto it = names.find(r);
    return it == names.end() ? "ioctl?" : it->second;
  }
};

// A /proc/sys/dev/parport tree and a /dev folder with the ports given.
struct FakeMachine {
  TempDir root;
  DoctorEnv env;
  FakeMachine() {
    fs::create_directories(root / "proc");
    fs::create_directories(root / "dev");
    fs::create_directories(root / "sys");
    env.proc_parport = (root / "proc").string();
    env.dev_dir = (root / "dev").string();
    env.proc_modules = (root / "modules").string();
    env.sys_module = (root / "sys").string();
    env.proc_status = (root / "status").string();
    env.lockdown = (root / "lockdown").string();
    env.access = [](const char*, int) { return 0; };
    WriteWholeFile(root / "status", "Name:\tx\nCapEff:\t0000000000000000\n");
  }
  // A port at `base` (0: the kernel gives no base-addr), with these drivers.
  void AddPort(const std::string& name, unsigned base, const std::vector<std::string>& drivers) {
    fs::path dir = root / "proc" / name;
    fs::create_directories(dir / "devices");
    if (base != 0)
      WriteWholeFile(dir / "base-addr",
                     std::to_string(base) + "\t" + std::to_string(base + 0x400) + "\n");
    WriteWholeFile(dir / "modes", "PCSPP,TRISTATE,EPP\n");
    WriteWholeFile(dir / "devices/active", "none\n");
    for (const auto& d : drivers) fs::create_directories(dir / "devices" / d);
    WriteWholeFile(root / "dev" / name, "");
  }
  // Replaces a file of a port's /proc folder ("modes", "devices/active").
  void SetPortFile(const std::string& name, const std::string& file, const std::string& text) {
    WriteWholeFile(root / "proc" / name / file, text + "\n");
  }
  // A device node under /dev ("usb/lp0").
  void AddNode(const std::string& path) {
    fs::create_directories((root / "dev" / path).parent_path());
    WriteWholeFile(root / "dev" / path, "");
  }
  static std::string Text(const DoctorReport& r) {
    std::string t;
    for (const auto& l : r.lines) t += l + "\n";
    return t;
  }
};

}  // namespace zambrix::testing
