// The three board models against the detection's probes.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimSetup;

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
        rig.t->board.CheckHardware();
        EXPECT_EQ(l.BoardModel, base == 0x378 ? model : 0);
      }
    }
  }
}

}  // namespace
}  // namespace zambrix
