// The ppdev back end below its system calls, and the port doctor against a fake
// /proc tree and fake device nodes.
#include <gtest/gtest.h>

#include <cerrno>

#include "link/fake_ports.h"

namespace zambrix {
namespace {

namespace fs = std::filesystem;
using testing::FakeMachine;
using testing::FakeSys;

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
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"open /dev/parport0", "PPEXCL", "PPCLAIM",
                                                  "PPDATADIR 0", "PPWDATA 5A", "PPWCONTROL 0B",
                                                  "PPRSTATUS", "PPRELEASE", "close"}));
}

TEST(Ppdev, OpenAndClaimFailuresSayWhatToDo) {
  struct Case {
    std::string call;
    int error;
    std::string says;
  };
  for (const auto& c :
       std::vector<Case>{{"open", EACCES, "group lp"},
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
  EXPECT_TRUE(has(r, "--board auto would use: ppdev /dev/parport0 at 378h"))
      << FakeMachine::Text(r);
  EXPECT_EQ(fake.calls.back(), "close");
  testing::WriteWholeFile(m.root / "lockdown", "none [integrity] confidentiality\n");
  EXPECT_TRUE(has(DiagnosePorts(m.env), "refused by the kernel's lockdown"));
  EXPECT_EQ(ParportBase("/dev/parport1", m.env.proc_parport), 0x2F8);  // /proc numbers are decimal
}

// Each port says which choice it is, or why it cannot be used and what fixes it.
TEST(Doctor, CardsThePrinterDriverAnotherProgramAPortWithoutBaseAndSppOnlyLines) {
  FakeMachine m;
  m.AddPort("parport0", 0xE000, {"ppdev"});
  m.SetPortFile("parport0", "modes", "PCSPP");
  m.AddPort("parport1", 0xD010, {"lp"});
  m.AddPort("parport2", 0, {});
  m.AddPort("parport3", 0x278, {"ppdev"});
  m.SetPortFile("parport3", "devices/active", "ppdev3");
  FakeSys fake;
  m.env.sys = &fake.sys;
  const std::string text = FakeMachine::Text(DiagnosePorts(m.env));
  for (const std::string line : {
           "parport0: base E000h, modes PCSPP: port choice 378h (a card)\n",
           "parport0: its data lines only drive (SPP, no TRISTATE): that is enough, this program "
           "never reads "
           "them back\n",
           "parport1: base D010h, modes PCSPP,TRISTATE,EPP: port choice 3BCh (a card)\n",
           "parport1: the printer driver (lp) is attached and blocks an exclusive claim (sudo "
           "modprobe -r lp)\n",
           "parport2: no base-addr: not a port on this PC's bus",
           "parport3: base 278h, modes PCSPP,TRISTATE,EPP: port choice 278h\n",
           "parport3: held by ppdev3, another program (it is named by: fuser -v /dev/parport3)\n",
           "Port 378h is /dev/parport0, a card at E000h\n",
           "Port 278h is /dev/parport3 at its own address\n",
       }) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
  EXPECT_EQ(text.find("parport1: its data lines"), std::string::npos)
      << "bidirectional needs no word";
}

TEST(Doctor, AUsbPrinterCableAloneCannotWork) {
  FakeMachine m;
  m.AddNode("usb/lp0");
  FakeSys fake;
  m.env.sys = &fake.sys;
  const auto r = DiagnosePorts(m.env);
  EXPECT_FALSE(r.usable);
  const std::string text = FakeMachine::Text(r);
  EXPECT_NE(
      text.find(
          "/dev/usb/lp0 is a USB printer cable: it speaks only the printer protocol and cannot "
          "drive the board's lines"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("--board auto would use: the simulated board, because no parallel port"),
            std::string::npos)
      << text;
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
