// What each operation came to, as the window's status line and the command
// line read it: the result lines, the kind, and a failure's address and bytes.
#include <gtest/gtest.h>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;
using Kind = Outcome::Kind;

TEST(Outcome, EachOperationSaysWhatItCameToAndTheNextEventStartsAfresh) {
  std::vector<std::uint8_t> chip(32768, 0xFF);
  chip[0x1234] = 0x5A;
  Programmer p("27C256", chip);
  p.Choose("Eprom 27C256");
  const Outcome& r = p.core().ops.Result;

  p.core().Click("Read_button");
  EXPECT_EQ(r.kind, Kind::kDone);
  EXPECT_EQ(r.lines, std::vector<std::string>{"32768 bytes Read from Device"});
  EXPECT_EQ(r.address, -1);

  p.core().Click("Blank_button");
  EXPECT_EQ(r.kind, Kind::kFailed);
  EXPECT_EQ(std::tuple(r.address, r.expected, r.actual), std::tuple(0x1234, 0xFF, 0x5A));
  EXPECT_EQ(r.where, "Address: 1234 ][ Device Data: 5A");

  // While the alert is up nothing is programmed: no result at all.
  p.core().Click("Program_button");
  EXPECT_EQ(r.kind, Kind::kNone);
  p.core().Click("Error_label");
  p.t->dialogs.answers = {MsgAnswer::Cancel};
  p.core().Click("Program_button");
  EXPECT_EQ(r.kind, Kind::kRefused);
  EXPECT_EQ(r.lines, std::vector<std::string>{"Programming was Canceled by Operator"});
}

}  // namespace
}  // namespace zambrix
