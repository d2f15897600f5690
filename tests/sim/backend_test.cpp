// The back-end factory's simulated board: options, messages, and the chip's
// contents kept in a file from one run to the next.
#include "app/backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/sim_support.h"

namespace zambrix {
namespace {

namespace fs = std::filesystem;

BackEnd Open(std::vector<std::string> args) { return OpenBackEnd(ExtractBackEndOptions(args)); }

std::string OpenError(std::vector<std::string> args) {
  try {
    Open(std::move(args));
  } catch (const BackEndError& e) {
    return e.what();
  }
  return "";
}

struct TempDir {
  TempDir() : path(fs::temp_directory_path() / ("zambrix-sim-" + std::to_string(::getpid()))) {
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

TEST(SimBackEnd, TheDefaultIsAModelSixAt378WithADemoImage) {
  BackEnd b = Open({"--board", "sim"});
  ASSERT_TRUE(b.simulated);
  EXPECT_TRUE(b.port->IsSimulated());
  EXPECT_EQ(b.description,
            "simulated ZAMBRIX-6 board at 378h with a 27C256 in the socket (demo image)");
  EXPECT_TRUE(b.clock->IsVirtual());
  auto& port = dynamic_cast<sim::SimPort&>(*b.port);
  testing::SimRig rig(port, dynamic_cast<VirtualClock&>(*b.clock));
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  std::string text;
  for (int a = 0; a < 7; ++a) text += static_cast<char>(rig.ReadByte(a));
  EXPECT_EQ(text, "ZAMBRIX");
  b.at_exit();
}

TEST(SimBackEnd, AutoWithoutAUsablePortRunsTheSimulatedBoard) {
  BackEnd b = Open({"--sim-model", "4"});
  if (!b.simulated) GTEST_SKIP() << "this machine has a usable parallel port";
  EXPECT_FALSE(b.problem.empty());
  EXPECT_EQ(b.description,
            "simulated ZAMBRIX-4 board at 378h with a 27C256 in the socket (demo image)");
}

TEST(SimBackEnd, OptionsChooseModelPortAndChip) {
  BackEnd b = Open({"--board=sim", "--sim-model=5", "--sim-port", "3bch", "--sim-chip", "24c16"});
  EXPECT_EQ(b.description, "simulated ZAMBRIX-5 board at 3BCh with a 24C16 in the socket");
  b = Open({"--board", "sim", "--sim-chip", "none", "--sim-port", "278"});
  EXPECT_EQ(b.description, "simulated ZAMBRIX-6 board at 278h with an empty socket");
  b = Open({"--board", "sim", "--sim-fault", "no-board"});
  EXPECT_EQ(b.description, "simulated port 378h with no board on it");
}

TEST(SimBackEnd, BadValuesAreRefusedWithWhatIsWrong) {
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-model", "7"}),
            "bad value '7' for --sim-model (4, 5 or 6)");
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-port", "3F8h"}),
            "bad value '3F8h' for --sim-port (378h, 278h or 3BCh)");
  EXPECT_NE(OpenError({"--board", "sim", "--sim-chip", "27C999"}).find("known chips: 2716, 2732"),
            std::string::npos);
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-chip", "27C256+sdp"}),
            "bad value '27C256+sdp' for --sim-chip (+sdp is for X28C256 and AT29C256)");
  EXPECT_NE(OpenError({"--board", "sim", "--sim-fault", "stuck-bit=9:0"}).find("stuck-bit=BIT:0"),
            std::string::npos);
  EXPECT_NE(OpenError({"--board", "sim", "--sim-fault", "melt"}).find("no-board, empty-socket"),
            std::string::npos);
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-colour", "red"}),
            "unknown option --sim-colour (see --help)");
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-access-ns", "0"}),
            "bad value '0' for --sim-access-ns (nanoseconds per port access, 1 to 1000000)");
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-trace", "/nonexistent/dir/x.vcd"}),
            "cannot write the trace file /nonexistent/dir/x.vcd");
  EXPECT_EQ(OpenError({"--board", "record", "--sim-model", "4"}),
            "--sim- options need the simulated board");
}

TEST(SimBackEnd, AChipProgrammedInOneRunIsReadInTheNext) {
  TempDir dir;
  const std::string file = dir.File("chip.bin");
  {
    BackEnd b = Open({"--board", "sim", "--sim-chip", "27C256:" + file});
    EXPECT_EQ(
        b.description,
        "simulated ZAMBRIX-6 board at 378h with a 27C256 in the socket (contents in " + file + ")");
    testing::SimRig rig(dynamic_cast<sim::SimPort&>(*b.port),
                        dynamic_cast<VirtualClock&>(*b.clock));
    rig.UseBoard(6, 0x378);
    rig.Select("P4");
    rig.link().Reset();
    EXPECT_EQ(rig.ReadByte(0x100), 0xFF);  // a new file: a blank chip
    ASSERT_GT(rig.ProgramEpromByte(0x100, 0x42), 0);
    b.at_exit();
  }
  ASSERT_EQ(fs::file_size(file), 32768u);
  BackEnd b = Open({"--board", "sim", "--sim-chip", "27C256:" + file});
  testing::SimRig rig(dynamic_cast<sim::SimPort&>(*b.port), dynamic_cast<VirtualClock&>(*b.clock));
  rig.UseBoard(6, 0x378);
  rig.Select("P4");
  EXPECT_EQ(rig.ReadByte(0x100), 0x42);
  EXPECT_EQ(rig.ReadByte(0x101), 0xFF);
}

TEST(SimBackEnd, AShortFileFillsTheStartOfTheChipAndALongOneIsRefused) {
  TempDir dir;
  const std::string file = dir.File("chip.bin");
  std::ofstream(file, std::ios::binary) << "AB";
  BackEnd b = Open({"--board", "sim", "--sim-chip", "2732:" + file});
  EXPECT_EQ(dynamic_cast<sim::SimPort&>(*b.port).ChipImage()[1], 'B');
  EXPECT_EQ(dynamic_cast<sim::SimPort&>(*b.port).ChipImage()[2], 0xFF);
  std::ofstream(file, std::ios::binary) << std::string(5000, 'x');
  EXPECT_EQ(OpenError({"--board", "sim", "--sim-chip", "2732:" + file}),
            "the simulated chip's file " + file + " holds 5000 bytes, more than the chip's 4096");
}

}  // namespace
}  // namespace zambrix
