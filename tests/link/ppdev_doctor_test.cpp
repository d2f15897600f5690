// The ppdev back end below its system calls, and the port doctor against a fake
// /proc tree and fake device nodes.
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "link/doctor.h"
#include "link/port.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

namespace fs = std::filesystem;

// Records every call as one text ("open /dev/parport0", "PPWDATA 5A") and fails
// the calls it is told to fail, with the errno it is given.
struct FakeSys {
  testing::TempDir locks;  // its own, so that no two fakes share a port lock
  std::vector<std::string> calls;
  std::map<std::string, int> fail;  // call name -> errno
  unsigned char status = 0x78;
  PpdevSys sys;

  FakeSys() {
    sys.lock_dir = locks.str();
    sys.open = [this](const char* path, int) {
      calls.push_back(std::string("open ") + path);
      return Fails("open") ? -1 : 7;
    };
    sys.close = [this](int) {
      calls.push_back("close");
      return 0;
    };
    sys.ioctl = [this](int, unsigned long request, void* arg) {
      std::string name = Name(request);
      auto* byte = static_cast<unsigned char*>(arg);
      if (request == PPRSTATUS && byte) *byte = status;
      char value[8] = "";
      if ((request == PPWDATA || request == PPWCONTROL) && byte) std::snprintf(value, sizeof value, " %02X", *byte);
      if (request == PPDATADIR && arg) std::snprintf(value, sizeof value, " %d", *static_cast<int*>(arg));
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
        {PPEXCL, "PPEXCL"},       {PPCLAIM, "PPCLAIM"},       {PPRELEASE, "PPRELEASE"},
        {PPDATADIR, "PPDATADIR"}, {PPWDATA, "PPWDATA"},       {PPWCONTROL, "PPWCONTROL"},
        {PPRSTATUS, "PPRSTATUS"}, {PPRDATA, "PPRDATA"},       {PPRCONTROL, "PPRCONTROL"}};
    auto it = names.find(r);
    return it == names.end() ? "ioctl?" : it->second;
  }
};

// A /proc/sys/dev/parport tree and a /dev folder with the ports given.
struct FakeMachine {
  testing::TempDir root;
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
    testing::WriteWholeFile(root / "status", "Name:\tx\nCapEff:\t0000000000000000\n");
  }
  void AddPort(const std::string& name, unsigned base, const std::vector<std::string>& drivers) {
    fs::path dir = root / "proc" / name;
    fs::create_directories(dir / "devices");
    testing::WriteWholeFile(dir / "base-addr", std::to_string(base) + "\t" + std::to_string(base + 0x400) + "\n");
    testing::WriteWholeFile(dir / "modes", "PCSPP,TRISTATE,EPP\n");
    testing::WriteWholeFile(dir / "devices/active", "none\n");
    for (const auto& d : drivers) fs::create_directories(dir / "devices" / d);
    testing::WriteWholeFile(root / "dev" / name, "");
  }
  static std::string Text(const DoctorReport& r) {
    std::string t;
    for (const auto& l : r.lines) t += l + "\n";
    return t;
  }
};

TEST(Ppdev, ClaimsExclusivelySetsOutputWritesRawRegistersAndReleasesOnExit) {
  FakeSys fake;
  {
    auto opened = OpenPpdevPort("/dev/parport0", 0x378, fake.sys, "/nonexistent");
    ASSERT_TRUE(opened.port) << opened.message;
    opened.port->PortOut(0x378, 0x5A);
    opened.port->PortOut(0x37A, 0x2B);  // the direction bit goes through PPDATADIR, not here
    EXPECT_EQ(opened.port->PortIn(0x379), 0x78);
    opened.port->PortOut(0x278, 0x11);  // no port there: an empty bus
    EXPECT_EQ(opened.port->PortIn(0x279), 0xFF);
  }
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"open /dev/parport0", "PPEXCL", "PPCLAIM", "PPDATADIR 0",
                                                   "PPWDATA 5A", "PPWCONTROL 0B", "PPRSTATUS", "PPRELEASE",
                                                   "close"}));
}

TEST(Ppdev, OpenAndClaimFailuresSayWhatToDo) {
  struct Case {
    std::string call;
    int error;
    std::string says;
  };
  for (const auto& c : std::vector<Case>{{"open", EACCES, "group lp"},
                                         {"PPEXCL", EBUSY, "modprobe -r lp"},
                                         {"PPCLAIM", EBUSY, "another program or driver holds it"},
                                         {"PPDATADIR", EIO, "cannot set the data lines to output"}}) {
    FakeSys fake;
    fake.fail[c.call] = c.error;
    auto opened = OpenPpdevPort("/dev/parport0", 0x378, fake.sys, "/nonexistent");
    EXPECT_FALSE(opened.port) << c.call;
    EXPECT_NE(opened.message.find(c.says), std::string::npos) << opened.message;
    // Whatever was opened is closed again.
    EXPECT_EQ(fake.calls.back(), c.call == "open" ? "open /dev/parport0" : "close") << c.call;
  }
}

TEST(Ppdev, AFailingAccessMidRunIsReportedOnceThenThePortIsAnEmptyBus) {
  FakeSys fake;
  auto opened = OpenPpdevPort("/dev/parport0", 0x378, fake.sys, "/nonexistent");
  ASSERT_TRUE(opened.port);
  fake.fail["PPWDATA"] = EIO;
  EXPECT_THROW(opened.port->PortOut(0x378, 1), PortError);
  EXPECT_NO_THROW(opened.port->PortOut(0x378, 2));  // the reset after the report
  EXPECT_EQ(opened.port->PortIn(0x379), 0xFF);
}

// A usable port is claimed on trial and given back at once, unless the
// kernel's lockdown refuses raw port I/O.
TEST(Doctor, AUsablePortAndTheLockdownThatRefusesRawIo) {
  const auto has = [](const DoctorReport& r, const std::string& line) {
    return FakeMachine::Text(r).find(line) != std::string::npos;
  };
  FakeMachine m;
  m.AddPort("parport0", 0x378, {"ppdev"});
  m.AddPort("parport1", 0x2F8, {});
  testing::WriteWholeFile(m.root / "status", "CapEff:\t000001ffffffffff\n");
  testing::WriteWholeFile(m.root / "lockdown", "[none] integrity confidentiality\n");
  fs::create_directories(m.root / "sys/ppdev");
  FakeSys fake;
  m.env.sys = &fake.sys;
  const auto r = DiagnosePorts(m.env);
  EXPECT_TRUE(r.usable);
  EXPECT_TRUE(has(r, "--board auto would use: ppdev /dev/parport0 at 378h")) << FakeMachine::Text(r);
  EXPECT_EQ(fake.calls.back(), "close");
  testing::WriteWholeFile(m.root / "lockdown", "none [integrity] confidentiality\n");
  EXPECT_TRUE(has(DiagnosePorts(m.env), "refused by the kernel's lockdown"));
  EXPECT_EQ(ParportBase("/dev/parport1", m.env.proc_parport), 0x2F8);  // /proc numbers are decimal
}

// A second program on the port finds our lock before it opens the device,
// whether it names the device or auto finds it.
TEST(Ppdev, ASecondOpenOfOnePortIsRefusedBeforeItTouchesTheDevice) {
  FakeMachine m;
  m.AddPort("parport0", 0x378, {"ppdev"});
  FakeSys a, b;
  b.sys.lock_dir = a.sys.lock_dir;
  auto first = OpenPpdevPort("/dev/parport0", 0, a.sys, m.env.proc_parport);
  ASSERT_TRUE(first.port) << first.message;
  for (const std::string device : {"/dev/parport0", ""}) {
    auto second = OpenPpdevPort(device, 0, b.sys, m.env.proc_parport);
    EXPECT_FALSE(second.port);
    EXPECT_TRUE(second.busy);
    EXPECT_NE(second.message.find("378h is in use"), std::string::npos) << second.message;
  }
  EXPECT_TRUE(b.calls.empty());
}

}  // namespace
}  // namespace zambrix
