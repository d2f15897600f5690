// The port choices 378h, 278h and 3BCh on real ports at any address: the
// binding rule, the back end that follows it, and a board found through a card.
#include <gtest/gtest.h>

#include "app/backend.h"
#include "link/fake_ports.h"
#include "sim/sim_port.h"
#include "support/fakes.h"
#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::FakeMachine;
using testing::FakeSys;

// Choice -> "device base", whatever order the bindings come in.
std::map<std::uint16_t, std::string> ByChoice(const std::vector<PortBinding>& bound) {
  std::map<std::uint16_t, std::string> out;
  for (const auto& b : bound) out[b.choice] = b.device + " " + HexAddress(b.base);
  return out;
}

TEST(PortBinding, OwnAddressesStayCardsTakeTheFreeChoicesByPortNumber) {
  struct Case {
    std::vector<std::pair<std::string, unsigned>> ports;
    std::map<std::uint16_t, std::string> want;
  };
  const Case cases[] = {
      {{{"parport0", 0xD010}}, {{0x378, "/dev/parport0 D010h"}}},
      {{{"parport1", 0xD010}, {"parport0", 0xE000}},
       {{0x378, "/dev/parport0 E000h"}, {0x278, "/dev/parport1 D010h"}}},
      {{{"parport0", 0x278}, {"parport1", 0xD010}},
       {{0x278, "/dev/parport0 278h"}, {0x378, "/dev/parport1 D010h"}}},
      // parport10 comes after parport2; a port without a base is left out.
      {{{"parport10", 0xC000}, {"parport2", 0xD010}, {"parport1", 0x3BC}, {"parport3", 0}},
       {{0x3BC, "/dev/parport1 3BCh"},
        {0x378, "/dev/parport2 D010h"},
        {0x278, "/dev/parport10 C000h"}}},
      // Three choices, four cards: the last stays unbound.
      {{{"parport0", 0xC000}, {"parport1", 0xD000}, {"parport2", 0xE000}, {"parport3", 0xF000}},
       {{0x378, "/dev/parport0 C000h"},
        {0x278, "/dev/parport1 D000h"},
        {0x3BC, "/dev/parport2 E000h"}}},
  };
  for (const auto& c : cases) {
    FakeMachine m;
    for (const auto& [name, base] : c.ports) m.AddPort(name, base, {});
    EXPECT_EQ(ByChoice(BindKernelPorts(ListKernelPorts(m.env.proc_parport))), c.want)
        << c.ports.front().first;
  }
}

// The kernel's ports behind the choices: each access of a choice reaches its
// own device, whatever its base.
TEST(PortBinding, AutoSendsEachChoiceToItsCard) {
  FakeMachine m;
  m.AddPort("parport0", 0xE000, {});
  m.AddPort("parport1", 0xD010, {});
  FakeSys fake;
  std::vector<std::string> seen;
  fake.device = [&seen](const std::string& path, unsigned long request, unsigned char& byte) {
    if (request == PPWDATA) seen.push_back(path + " " + HexAddress(byte));
  };
  BackEndOptions o;
  o.ppdev = &fake.sys;
  o.proc_parport = m.env.proc_parport;
  BackEnd b = OpenBackEnd(o);
  ASSERT_FALSE(b.simulated) << b.problem;
  b.port->PortOut(0x378, 0x11);
  b.port->PortOut(0x278, 0x22);
  b.port->PortOut(0x3BC, 0x33);  // nothing behind 3BCh
  EXPECT_EQ(seen, (std::vector<std::string>{"/dev/parport0 11h", "/dev/parport1 22h"}));
  EXPECT_EQ(
      b.description,
      "ppdev /dev/parport0 as 378h (a card at E000h), /dev/parport1 as 278h (a card at D010h)");
}

TEST(PortBinding, ByHandTheBindingsGivenAndNoOthers) {
  FakeMachine m;
  m.AddPort("parport0", 0x378, {});
  m.AddPort("parport2", 0xD010, {});
  FakeSys fake;
  BackEndOptions o;
  o.ppdev = &fake.sys;
  o.proc_parport = m.env.proc_parport;
  std::vector<std::string> args{"--port", "378h=/dev/parport2", "--port=278h=/dev/parport0",
                                "--port", "3BCh"};
  o.ports = ExtractBackEndOptions(args).ports;
  EXPECT_EQ(args, (std::vector<std::string>{"--port", "3BCh"}))
      << "a plain choice is the front end's";
  EXPECT_EQ(ByChoice(OpenBackEnd(o).port->Bindings()),
            (std::map<std::uint16_t, std::string>{{0x378, "/dev/parport2 D010h"},
                                                  {0x278, "/dev/parport0 378h"}}));

  // A device that is not there, or can never drive a board, fails the start.
  for (const auto& [where, says] : std::vector<std::pair<std::string, std::string>>{
           {"/dev/parport5", "/dev/parport5: No such file or directory"},
           {"/dev/usb/lp0", "/dev/usb/lp0 is a USB printer cable"}}) {
    o.ports = {{0x378, where}};
    fake.fail["open"] = ENOENT;
    try {
      OpenBackEnd(o);
      ADD_FAILURE() << where << " was opened";
    } catch (const BackEndPortError& e) {
      EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
    }
  }
  // Bindings that name no choice, one twice, or do not go with the board.
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {"--port", "380h=/dev/parport0"},
           {"--port", "378h=/dev/parport0", "--port", "378h=/dev/parport1"},
           {"--port", "378h="}}) {
    auto args_copy = bad;
    EXPECT_THROW(ExtractBackEndOptions(args_copy), BackEndError) << bad[1];
  }
  for (const std::string board : {"sim", "ppdev:/dev/parport0"}) {
    o.board = board;
    EXPECT_THROW(OpenBackEnd(o), BackEndError) << board;
  }
  o.board = "auto";
  o.ports = {{0x378, "0xD010"}};
  EXPECT_THROW(OpenBackEnd(o), BackEndError) << "an I/O address is for raw port I/O";
}

#if defined(__x86_64__) || defined(__i386__)
// Raw port I/O at any base: only the three registers there are granted.
TEST(PortBinding, DirectTakesAnIoAddress) {
  FakeMachine m;
  FakeSys fake;
  std::vector<unsigned long> granted;
  BackEndOptions o;
  o.board = "direct";
  o.ppdev = &fake.sys;
  o.ports = {{0x378, "0xD010"}};
  o.grant = [&granted](unsigned long from, unsigned long count, int) {
    granted.push_back(from);
    granted.push_back(count);
    return 0;
  };
  BackEnd b = OpenBackEnd(o);
  EXPECT_EQ(granted, (std::vector<unsigned long>{0xD010, 3}));
  EXPECT_EQ(b.description, "raw port I/O (ioperm) on 378h at D010h");
  EXPECT_EQ(b.port->Bindings(), (std::vector<PortBinding>{{0x378, "", 0xD010}}));
}
#endif

// A board behind a card at D010h, reached through the ppdev calls.
struct CardMachine {
  CardMachine() {
    m.AddPort("parport0", 0xD010, {"ppdev"});
    fake.device = [this](const std::string& path, unsigned long request, unsigned char& byte) {
      EXPECT_EQ(path, "/dev/parport0");
      if (request == PPWDATA) board.PortOut(0xD010, byte);
      if (request == PPWCONTROL) board.PortOut(0xD012, byte);
      if (request == PPRSTATUS) byte = board.PortIn(0xD011);
    };
  }
  struct Start {
    std::vector<std::string> log;
    bool searched = false;
    int port = 0, model = 0;
    std::string caption, tips[3], status;
  };
  // One run of the program, from opening the back end to its end.
  Start Run() {
    BackEndOptions o;
    o.ppdev = &fake.sys;
    o.proc_parport = m.env.proc_parport;
    BackEnd b = OpenBackEnd(o);
    testing::TestCore t(b.port.get(), &clock);
    t->setup.SettingsDir = settings.str();
    t->shell.Form_Load();
    t->shell.AnnounceBackEnd(b.description, b.simulated, b.problem);
    Start s{t.LogLines(),
            t->shell.StartupSearched,
            t->link.PortAddress,
            t->link.BoardModel,
            t->ui.Caption("ZambrixHardwareFound"),
            {},
            {}};
    for (int i = 0; i < 3; ++i) s.tips[i] = t->ui.Get(Indexed("LPTSelection", i)).tooltip;
    s.status = t->shell.PortInUseText();
    t->shell.Form_Unload();
    return s;
  }
  FakeMachine m;
  FakeSys fake;
  VirtualClock clock{Link::kNsPerIteration};
  sim::SimPort board{testing::SimSetup(6, 0xD010, "27C256"), clock};
  testing::TempDir settings;
};

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(PortBinding, ACardAtD010hIsPort378hFoundRememberedAndFoundAgain) {
  CardMachine card;
  const auto first = card.Run();
  EXPECT_TRUE(first.searched);
  EXPECT_EQ(first.port, 0x378);
  EXPECT_EQ(first.model, 6);
  EXPECT_EQ(first.caption, "MODEL 6 - PC port 378h");
  EXPECT_TRUE(Has(first.log, "Port 378h is /dev/parport0, a card at D010h"));
  EXPECT_EQ(first.tips[0], "/dev/parport0, a card at D010h");
  EXPECT_EQ(first.tips[1], "No parallel port of this PC");
  EXPECT_EQ(first.status, "Port 378h is /dev/parport0, a card at D010h");
  const std::string ini = testing::ReadWholeFile(card.settings / "zambrix6.ini");
  EXPECT_NE(ini.find("IO_PORT = 378\r\n"), std::string::npos) << ini;

  const auto second = card.Run();
  EXPECT_FALSE(second.searched) << "the remembered board answers at 378h";
  EXPECT_EQ(second.port, 0x378);
  EXPECT_EQ(second.caption, "MODEL 6 - PC port 378h");
}

}  // namespace
}  // namespace zambrix
