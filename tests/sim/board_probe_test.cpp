// The three board models against the detection's probes, and the port itself:
// absent ports, the time and trace of every access, the vanishing board.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using sim::SimPort;
using testing::SimSetup;

// The detection's model-5 pattern: the status bits it reads back.
int ModelFivePattern(SimPort& p, std::uint16_t d) {
  const auto c = static_cast<std::uint16_t>(d + 2), s = static_cast<std::uint16_t>(d + 1);
  p.PortOut(d, 0x9F), p.PortOut(c, 14), p.PortOut(c, 0), p.PortOut(d, 0x00), p.PortOut(c, 6);
  const int r1 = p.PortIn(s) & 0x70;
  p.PortOut(c, 0), p.PortOut(d, 0xFF), p.PortOut(c, 6);
  return r1 * 256 + (p.PortIn(s) & 0x70);
}

TEST(BoardProbes, TheDetectionFindsEachModelAtItsOwnPortAndNoOther) {
  const std::pair<int, const char*> boards[] = {{4, ""},       {5, ""},       {6, ""},
                                                {4, "27C256"}, {6, "27C256"}, {6, "24C16"}};
  for (auto [model, chip] : boards) {
    for (std::uint64_t access_ns : {1000u, 400u, 2500u}) {
      auto config = SimSetup(model, 0x378, chip);
      config.access_ns = access_ns;
      testing::SimRig rig(config);
      auto& l = rig.link();
      l.InitControlTables(), l.BuildReadTables();
      for (int base : {0x278, 0x378, 0x3BC}) {
        SCOPED_TRACE("model " + std::to_string(model) + " " + chip + " probed at " +
                     std::to_string(base) + ", " + std::to_string(access_ns) + " ns");
        l.PortAddress = base, l.BoardModel = 0;
        l.CheckHardware();
        EXPECT_EQ(l.BoardModel, base == 0x378 ? model : 0);
      }
      // Model 4 wins when both patterns answer: the model-5 one on its own.
      EXPECT_EQ(ModelFivePattern(rig.port, 0x378) == 0x70, model != 4) << model;
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
}

TEST(SimPort, TheBoardVanishesAfterTheGivenNumberOfAccesses) {
  auto config = SimSetup(4, 0x278, "27C256");
  config.faults.vanish_after = 30;
  VirtualClock clock(10);
  SimPort port(config, clock);
  for (int i = 0; i < 28; ++i) port.PortOut(0x278, 0);
  EXPECT_EQ(port.PortIn(0x279), 0x8F);  // model 4 with 00h on the data lines
  EXPECT_EQ(port.PortIn(0x279), 0x8F);  // the 30th access still reaches the board
  EXPECT_EQ(port.PortIn(0x279), 0x7F);  // then every status line is high, as with no board
  ASSERT_EQ(port.Trace().Events().size(), 1u);
  EXPECT_EQ(port.Trace().Events()[0].text, "the board vanished after 30 port accesses");
  EXPECT_EQ(port.Trace().Events()[0].ns, 30'000u);
}

}  // namespace
}  // namespace zambrix
