// Bytes read back through the link on each board model.
#include <gtest/gtest.h>

#include "support/sim_support.h"

namespace zambrix {
namespace {

using testing::SimRig;
using testing::SimSetup;

TEST(ReadBack, EveryByteValueComesBackThroughGetNibblesOnEachModel) {
  std::vector<std::uint8_t> image(32768, 0xFF);
  for (int i = 0; i < 256; ++i) image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  image[0x1234] = 0x5A, image[0x4000] = 0xA5, image[0x7FFF] = 0x3C;
  std::vector<std::int32_t> addresses = {0x1234, 0x4000, 0x7FFF};
  for (int i = 0; i < 256; ++i) addresses.push_back(i);
  for (int model : {4, 5, 6}) {
    SimRig rig(SimSetup(model, 0x3BC, "27C256", image), "P4");
    for (auto a : addresses) {
      ASSERT_EQ(rig.ReadByte(a), image[static_cast<std::size_t>(a)]) << model << " at " << a;
    }
  }
}

}  // namespace
}  // namespace zambrix
