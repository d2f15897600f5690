// The three board models against the detection probes, replayed at port level;
// the port's own behaviour and the vanishing board.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using sim::SimPort;
using testing::SimSetup;

// The probe sequences exactly as the detection sends them.
struct Prober {
  SimPort& p;
  VirtualClock& clock;
  std::uint16_t base;
  void D(int v) { p.PortOut(base, static_cast<std::uint8_t>(v)); }
  void C(int v) { p.PortOut(static_cast<std::uint16_t>(base + 2), static_cast<std::uint8_t>(v)); }
  int Status() { return p.PortIn(static_cast<std::uint16_t>(base + 1)); }
  int Read() { return clock.Spin(500), Status() & 0x70; }
  int ModelFive() {
    D(0x9F), C(14), C(0), D(0x00), C(6);
    const int r1 = Read();
    C(0), D(0xFF), C(6);
    return r1 * 256 + Read();
  }
  int ModelFour() {  // 13 port accesses
    C(9), D(0xBF), C(1), C(9), D(0x00), C(15), C(9);
    const int r3 = Read();
    D(0xFF), C(15), C(9);
    const int r4 = Read();
    return C(8), r3 * 256 + r4;
  }
  // The model-6 test, read with GetNibbles and these nibble selects.
  bool ModelSix(int low, int high) {
    auto nibbles = [&] {
      C(low);
      const int s1 = Status();
      return C(high), (((Status() >> 3) & 15) * 16) | ((s1 >> 3) & 15);
    };
    D(0x60), C(14), C(0);
    const int c1 = nibbles();
    D(0x40), C(14), C(0);
    return c1 == 0xEF && nibbles() == 0xFF;
  }
};

TEST(BoardProbes, EachModelAnswersItsOwnPatternsAtItsOwnPortAndNoOther) {
  const std::pair<int, const char*> boards[] = {{4, ""},       {5, ""},       {6, ""},
                                                {4, "27C256"}, {6, "27C256"}, {6, "24C16"}};
  for (auto [model, chip] : boards) {
    for (std::uint64_t access_ns : {1000u, 400u, 2500u}) {
      auto config = SimSetup(model, 0x378, chip);
      config.access_ns = access_ns;
      VirtualClock clock(10);
      SimPort port(config, clock);
      for (std::uint16_t base : {0x278, 0x378, 0x3BC}) {
        SCOPED_TRACE("model " + std::to_string(model) + " " + chip + " probed at " +
                     std::to_string(base) + ", " + std::to_string(access_ns) + " ns");
        Prober pr{port, clock, base};
        const bool here = base == 0x378;
        EXPECT_EQ(pr.ModelFive() == 0x70, here && model != 4);
        EXPECT_EQ(pr.ModelFour() == 0x70, here && model == 4);
        // Nibble selects of no board yet (0/0) and of models 5 and 6.
        EXPECT_EQ(pr.ModelSix(0, 0), here && model == 6);
        EXPECT_EQ(pr.ModelSix(5, 1), here && model == 6);
      }
    }
  }
}

TEST(SimPort, AbsentPortsIgnoreWritesAndReadFFAndEveryAccessCostsTime) {
  VirtualClock clock(10);
  auto config = SimSetup(5, 0x3BC, "27C256");
  config.access_ns = 700;
  SimPort port(config, clock);
  port.Trace().EnableAccessLog(3);
  port.PortOut(0x378, 0x12);
  clock.Spin(3);
  EXPECT_EQ(port.PortIn(0x379), 0xFF);
  port.PortOut(0x37A, 0x04);
  EXPECT_EQ(port.PortIn(0x27A), 0xFF);
  EXPECT_EQ(port.Board().Latches(), (std::array<std::uint8_t, 5>{}));
  EXPECT_EQ(clock.NowNs(), 4 * 700u + 30u);
  EXPECT_EQ(port.Trace().counts.writes, 2u);
  EXPECT_EQ(port.Trace().counts.reads, 2u);
  EXPECT_EQ(port.Trace().Accesses(),
            (std::vector<sim::AccessRecord>{
                {700, 0x378, 0x12, true}, {1430, 0x379, 0xFF, false}, {2130, 0x37A, 4, true}}));
  // The board's own port keeps its registers; the latches, clear at power-up,
  // drive 00h, which model 5 reads as 07h.
  port.PortOut(0x3BC, 0x5A);
  port.PortOut(0x3BE, 0x0B);
  EXPECT_EQ(port.PortIn(0x3BC), 0x5A);
  EXPECT_EQ(port.PortIn(0x3BE), 0x0B);
  EXPECT_EQ(port.PortIn(0x3BD), 0x07);
}

TEST(SimPort, TheBoardVanishesAfterTheGivenNumberOfAccesses) {
  auto config = SimSetup(4, 0x278, "27C256");
  config.faults.vanish_after = 30;
  VirtualClock clock(10);
  SimPort port(config, clock);
  Prober pr{port, clock, 0x278};
  EXPECT_EQ(pr.ModelFour(), 0x70);
  EXPECT_EQ(pr.ModelFour(), 0x70);    // 26 accesses
  EXPECT_EQ(pr.ModelFour(), 0x7070);  // gone at the 30th: every status line high
  ASSERT_EQ(port.Trace().Events().size(), 1u);
  EXPECT_EQ(port.Trace().Events()[0].text, "the board vanished after 30 port accesses");
  EXPECT_EQ(port.Trace().Events()[0].ns, 30'000u + 4 * 5000u);
}

}  // namespace
}  // namespace zambrix
