// The back-end factory's simulated board: options, messages, and the chip's
// contents kept in a file from one run to the next.
#include "app/backend.h"

#include <gtest/gtest.h>

#include "support/sim_support.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

BackEnd Open(std::vector<std::string> args) { return OpenBackEnd(ExtractBackEndOptions(args)); }

std::string OpenError(std::vector<std::string> args) {
  try {
    Open(std::move(args));
  } catch (const BackEndError& e) {
    return e.what();
  }
  return "";
}

// The link on the back end's board, a 27C256 selected.
struct OnBoard : testing::SimRig {
  explicit OnBoard(BackEnd& b)
      : SimRig(dynamic_cast<sim::SimPort&>(*b.port), dynamic_cast<VirtualClock&>(*b.clock)) {
    Use("P4");
  }
};

TEST(SimBackEnd, TheDefaultIsAModelSixAt378WithADemoImage) {
  BackEnd b = Open({"--board", "sim"});
  ASSERT_TRUE(b.simulated && b.port->IsSimulated() && b.clock->IsVirtual());
  EXPECT_EQ(b.description,
            "simulated ZAMBRIX-6 board at 378h with a 27C256 in the socket (demo image)");
  const auto demo = dynamic_cast<sim::SimPort&>(*b.port).ChipImage();
  EXPECT_EQ(std::string(demo.begin(), demo.begin() + 7), "ZAMBRIX");
  BackEnd a = Open({"--sim-model", "4"});  // auto, and this machine has no usable port
  if (!a.simulated) GTEST_SKIP() << "this machine has a usable parallel port";
  EXPECT_FALSE(a.problem.empty());
  EXPECT_EQ(a.description,
            "simulated ZAMBRIX-4 board at 378h with a 27C256 in the socket (demo image)");
}

TEST(SimBackEnd, OptionsChooseModelPortChipAndFaults) {
  BackEnd b = Open({"--board=sim", "--sim-model=5", "--sim-port", "3bch", "--sim-chip", "24c16"});
  EXPECT_EQ(b.description, "simulated ZAMBRIX-5 board at 3BCh with a 24C16 in the socket");
  b = Open({"--board", "sim", "--sim-chip", "none", "--sim-port", "278"});
  EXPECT_EQ(b.description, "simulated ZAMBRIX-6 board at 278h with an empty socket");
  b = Open({"--board", "sim", "--sim-fault", "no-board"});
  EXPECT_EQ(b.description, "simulated port 378h with no board on it");
  const auto c = sim::ParseSimOptions(
      {{"fault", "stuck-bit=3:0,stuck-bit=7:1,dead-byte=1A3h,slow-write=800us,vanish=500"},
       {"chip", "X28C256+sdp"},
       {"seed", "99"}});
  EXPECT_EQ(c.faults.stuck_low, 0x08);
  EXPECT_EQ(c.faults.stuck_high, 0x80);
  EXPECT_EQ(c.faults.dead_byte, 0x1A3u);
  EXPECT_EQ(c.faults.slow_write_ns, 800'000u);
  EXPECT_EQ(c.faults.vanish_after, 500u);
  EXPECT_TRUE(c.protect);
  EXPECT_EQ(c.seed, 99u);
  EXPECT_EQ(sim::ParseSimOptions({{"fault", "empty-socket"}}).chip, nullptr);
}

TEST(SimBackEnd, BadValuesAreRefusedWithWhatIsWrong) {
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-model", "7"}),
            "bad value '7' for --sim-model (4, 5 or 6)");
  EXPECT_NE(OpenError({"--board", "sim", "--sim-chip", "27C999"}).find("known chips: 2716, 2732"),
            std::string::npos);
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-colour", "red"}),
            "unknown option --sim-colour (see --help)");
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-trace", "/nonexistent/dir/x.vcd"}),
            "cannot write the trace file /nonexistent/dir/x.vcd");
  EXPECT_EQ(OpenError({"--board", "record", "--sim-model", "4"}),
            "--sim- options need the simulated board");
}

TEST(SimBackEnd, AChipProgrammedInOneRunIsReadInTheNext) {
  testing::TempDir dir;
  const std::string file = (dir / "chip.bin").string();
  {
    BackEnd b = Open({"--board", "sim", "--sim-chip", "27C256:" + file});
    EXPECT_EQ(
        b.description,
        "simulated ZAMBRIX-6 board at 378h with a 27C256 in the socket (contents in " + file + ")");
    OnBoard rig(b);
    EXPECT_EQ(rig.ReadByte(0x100), 0xFF);  // a new file: a blank chip
    ASSERT_GT(rig.ProgramEpromByte(0x100, 0x42), 0);
    b.at_exit();
  }
  ASSERT_EQ(std::filesystem::file_size(file), 32768u);
  {  // one run at a time on a chip file
    BackEnd b = Open({"--board", "sim", "--sim-chip", "27C256:" + file});
    OnBoard rig(b);
    EXPECT_EQ(rig.ReadByte(0x100), 0x42);
    EXPECT_EQ(rig.ReadByte(0x101), 0xFF);
  }
  // A short file fills the start of the chip; a long one is refused.
  testing::WriteWholeFile(file, "AB");
  {
    BackEnd s = Open({"--board", "sim", "--sim-chip", "2732:" + file});
    EXPECT_EQ(dynamic_cast<sim::SimPort&>(*s.port).ChipImage()[1], 'B');
    EXPECT_EQ(dynamic_cast<sim::SimPort&>(*s.port).ChipImage()[2], 0xFF);
  }
  testing::WriteWholeFile(file, std::string(5000, 'x'));
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-chip", "2732:" + file}),
            "the simulated chip's file " + file + " holds 5000 bytes, more than the chip's 4096");
}

}  // namespace
}  // namespace zambrix
