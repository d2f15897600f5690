// Changes by hand: one step per byte typed (both its digits), one per fill,
// undone and redone in order, and "changed" meaning "differs from the buffer
// as it was last loaded, read or saved".
#include "buffers/byte_edits.h"

#include <gtest/gtest.h>

namespace zambrix {
namespace {

TEST(ByteEdits, StepsUndoRedoAndWhatCountsAsChanged) {
  std::vector<std::uint8_t> b(64, 0x11);
  ByteEdits e(b);
  ASSERT_TRUE(e.Set(3, 0x41));
  ASSERT_TRUE(e.Set(3, 0x4A, true));  // the second digit of the same byte
  ASSERT_TRUE(e.Fill(8, 15, 0x11));   // the value the bytes already hold
  ASSERT_TRUE(e.Fill(10, 12, 0xFF));
  EXPECT_TRUE(e.Changed(3) && e.Changed(10) && !e.Changed(8) && !e.Changed(13));

  EXPECT_EQ(e.Undo(), 10);
  EXPECT_EQ(b[10], 0x11);
  EXPECT_EQ(e.Undo(), 8);
  EXPECT_EQ(e.Undo(), 3);
  EXPECT_EQ(b[3], 0x11) << "both digits go in one step";
  EXPECT_FALSE(e.AnyChanged());
  EXPECT_EQ(e.Undo(), std::nullopt);
  EXPECT_EQ(e.Redo(), 3);
  EXPECT_EQ(b[3], 0x4A);

  e.Saved();  // the saved bytes are the reference; the steps stay
  EXPECT_FALSE(e.AnyChanged());
  EXPECT_EQ(e.Undo(), 3);
  EXPECT_TRUE(e.Changed(3));
  ASSERT_TRUE(e.Set(5, 0));
  EXPECT_FALSE(e.CanRedo()) << "a new step drops what could be redone";

  EXPECT_FALSE(e.Set(64, 0));
  EXPECT_FALSE(e.Fill(60, 64, 0));
  EXPECT_FALSE(e.Fill(5, 4, 0));
  e.Reset();
  EXPECT_FALSE(e.CanUndo() || e.AnyChanged());
}

}  // namespace
}  // namespace zambrix
