// The three board models against the detection's probes.
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

}  // namespace
}  // namespace zambrix
