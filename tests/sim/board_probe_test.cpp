// The three board models against the detection probes, replayed at port level.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using sim::SimPort;

constexpr std::uint16_t kPorts[] = {0x278, 0x378, 0x3BC};

// The probe sequences exactly as the detection sends them.
struct Prober {
  SimPort& p;
  VirtualClock& clock;
  std::uint16_t base;
  void D(int v) { p.PortOut(base, static_cast<std::uint8_t>(v)); }
  void C(int v) { p.PortOut(static_cast<std::uint16_t>(base + 2), static_cast<std::uint8_t>(v)); }
  int Read() { return p.PortIn(static_cast<std::uint16_t>(base + 1)) & 0x70; }
  void Wait() { clock.Spin(5 * 100); }

  int ModelFivePattern() {
    D(0x9F), C(14), C(0), D(0x00), C(6), Wait();
    int r1 = Read();
    C(0), D(0xFF), C(6), Wait();
    int r2 = Read();
    return r1 * 256 + r2;
  }
  int ModelFourPattern() {
    C(9), D(0xBF), C(1), C(9), D(0x00), C(15), C(9), Wait();
    int r3 = Read();
    D(0xFF), C(15), C(9), Wait();
    int r4 = Read();
    C(8);
    return r3 * 256 + r4;
  }
  // GetNibbles of models 5 and 6 with the nibble-select values in force.
  int Nibbles(int low, int high) {
    C(low);
    int s1 = p.PortIn(static_cast<std::uint16_t>(base + 1));
    C(high);
    int s2 = p.PortIn(static_cast<std::uint16_t>(base + 1));
    return (((s2 >> 3) & 15) * 16) | ((s1 >> 3) & 15);
  }
  std::pair<int, int> ModelSixTest(int low, int high) {
    D(0x60), C(14), C(0);
    int c1 = Nibbles(low, high);
    D(0x40), C(14), C(0);
    int c2 = Nibbles(low, high);
    return {c1, c2};
  }
};

struct ProbeCase {
  int model;
  const char* chip;
};

class BoardProbes : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(BoardProbes, EachModelAnswersItsOwnPatternAndNoOther) {
  const int model = GetParam().model;
  for (std::uint64_t access_ns : {1000u, 400u, 2500u}) {
    auto config = testing::SimSetup(model, 0x378, GetParam().chip);
    config.access_ns = access_ns;
    VirtualClock clock(10);
    SimPort port(config, clock);
    for (auto base : kPorts) {
      Prober pr{port, clock, base};
      const int a = pr.ModelFivePattern();
      const int b = pr.ModelFourPattern();
      const bool here = base == 0x378;
      EXPECT_EQ(a == 0x70, here && model != 4) << "model " << model << " at " << std::hex << base;
      EXPECT_EQ(b == 0x70, here && model == 4) << "model " << model << " at " << std::hex << base;
      // The model-6 test with the nibble values of a first detection (0/0) and of a
      // later one (those of models 5 and 6).
      for (auto [low, high] : {std::pair{0, 0}, std::pair{5, 1}}) {
        auto [c1, c2] = pr.ModelSixTest(low, high);
        EXPECT_EQ(c1 == 0xEF && c2 == 0xFF, here && model == 6)
            << "model " << model << " nibbles " << low << "/" << high << ": " << std::hex << c1
            << " " << c2;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Models, BoardProbes,
                         ::testing::Values(ProbeCase{4, ""}, ProbeCase{5, ""}, ProbeCase{6, ""},
                                           ProbeCase{4, "27C256"}, ProbeCase{6, "27C256"},
                                           ProbeCase{6, "24C16"}));

TEST(SimPortBasics, AbsentPortsIgnoreWritesAndReadFF) {
  VirtualClock clock(10);
  SimPort port(testing::SimSetup(5, 0x3BC, "27C256"), clock);
  port.PortOut(0x378, 0x12);
  port.PortOut(0x37A, 0x04);
  EXPECT_EQ(port.PortIn(0x378), 0xFF);
  EXPECT_EQ(port.PortIn(0x379), 0xFF);
  EXPECT_EQ(port.PortIn(0x27A), 0xFF);
  EXPECT_EQ(port.Board().Latches(), (std::array<std::uint8_t, 5>{}));
  // The board's own port keeps its data and control registers.
  port.PortOut(0x3BC, 0x5A);
  port.PortOut(0x3BE, 0x0B);
  EXPECT_EQ(port.PortIn(0x3BC), 0x5A);
  EXPECT_EQ(port.PortIn(0x3BE), 0x0B);
}

TEST(SimPortBasics, EveryAccessCostsItsTimeAndIsCountedAndLogged) {
  VirtualClock clock(10);
  auto config = testing::SimSetup(6, 0x378, "");
  config.access_ns = 700;
  SimPort port(config, clock);
  port.Trace().EnableAccessLog(10);
  port.PortOut(0x378, 1);
  clock.Spin(3);
  port.PortIn(0x379);
  port.PortOut(0x278, 2);
  EXPECT_EQ(clock.NowNs(), 3 * 700u + 30u);
  EXPECT_EQ(port.Trace().counts.writes, 2u);
  EXPECT_EQ(port.Trace().counts.reads, 1u);
  // Latches clear at power-up: the data latch drives 00h, which model 6 reads as 07h.
  EXPECT_EQ(port.Trace().Accesses(),
            (std::vector<sim::AccessRecord>{
                {700, 0x378, 1, true}, {1430, 0x379, 0x07, false}, {2130, 0x278, 2, true}}));
}

TEST(SimPortBasics, LatchesLoadThroughEachModelsControlValues) {
  for (int model : {4, 5, 6}) {
    testing::SimRig rig(testing::SimSetup(model, 0x278, ""));
    rig.UseBoard(model, 0x278);
    auto& l = rig.link();
    l.Reg0Value = 0x11, l.Reg1Value = 0x22, l.Reg2Value = 0x33, l.Reg3Value = 0x44,
    l.Reg4Value = 0x55;
    l.SetReg0(), l.SetReg1(), l.SetReg2(), l.SetReg3(), l.SetReg4();
    EXPECT_EQ(rig.port.Board().Latches(),
              (std::array<std::uint8_t, 5>{0x11, 0x22, 0x33, 0x44, 0x55}))
        << "model " << model;
    // Another model's control values load nothing, or the wrong latches.
    const int other = model == 4 ? 5 : 4;
    l.BoardModel = other;
    l.ApplyBoardModel();
    l.Reg2Value = 0x99;
    l.SetReg2();
    EXPECT_NE(rig.port.Board().Latch(2), 0x99) << "model " << model;
  }
}

}  // namespace
}  // namespace zambrix
