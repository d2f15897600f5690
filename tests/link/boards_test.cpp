// The board rows against what the boards' wiring demands of them.
#include "link/boards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace zambrix {
namespace {

// Each model loads every latch apart and reads a nibble without loading one;
// the later models invert the low control bits, take no VPP jumper, and only
// the model 6 identifies itself.
TEST(BoardProfiles, EveryLatchApartTheLaterModelsInvertedAndOnlyModel6Identifies) {
  const BoardProfile& m4 = *BoardProfileOf(4);
  for (int model : {4, 5, 6}) {
    SCOPED_TRACE("model " + std::to_string(model));
    const BoardProfile* b = BoardProfileOf(model);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->model, model);
    std::set<int> controls(b->select.begin(), b->select.end());
    controls.insert(b->strobe.begin(), b->strobe.end());
    EXPECT_EQ(controls.size(), 10u);  // a select never strobes another latch
    for (int nibble : {b->nibble_low, b->nibble_high})
      EXPECT_EQ(std::count(b->strobe.begin(), b->strobe.end(), nibble), 0);
    EXPECT_NE(b->nibble_low, b->nibble_high);
    EXPECT_EQ(b->VppByJumper(), model == 4);
    EXPECT_EQ(b->id_enable != 0, model == 6);
    if (model == 4) continue;
    EXPECT_NE(b->wiring, m4.wiring);
    for (std::size_t n = 0; n < 5; ++n) {
      EXPECT_EQ(b->select[n], m4.select[n] ^ 15);
      EXPECT_EQ(b->strobe[n], m4.strobe[n] ^ 15);
    }
  }
  for (int none : {0, 3, 7, -1}) EXPECT_EQ(BoardProfileOf(none), nullptr);
}

}  // namespace
}  // namespace zambrix
