// The board is asked before a result is reported: reads on the simulated board
// that is there or that goes away; checks that cover part of the chip.
#include <gtest/gtest.h>

#include <algorithm>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;
using testing::SimSetup;

std::vector<std::uint8_t> Counting(std::size_t size) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i) v[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return v;
}

// Mid-read, with the chip enabled and its outputs on: the probe of each board
// model answers, leaves every latch as it found it and harms nothing.
TEST(ConfirmBoard, EachModelAnswersAndLeavesTheLatchesAsTheyWere) {
  for (int model : {4, 5, 6}) {
    Programmer s(SimSetup(model, 0x278, "27C256", Counting(32768)));
    s.Choose("Eprom 27C256");
    ASSERT_EQ(s.core().link.BoardModel, model);
    auto& link = s.core().link;
    link.Reset();
    link.CurrentAddress = 0x1234;
    link.Endereco2Adr();
    link.SETADR();
    link.REG4OFF();
    link.CEOEON();
    const auto before = s.port->Board().Latches();
    const auto lines = s.Log().size();
    EXPECT_TRUE(s.core().ops.ConfirmBoard("now")) << model;
    EXPECT_EQ(s.port->Board().Latches(), before) << model;
    EXPECT_FALSE(s.port->Trace().ChipDamaged()) << model;
    EXPECT_EQ(s.Log().size(), lines) << model;
    link.GetNibbles();  // the chip still drives its byte
    EXPECT_EQ(link.ReadValue, static_cast<std::uint8_t>(0x1234 * 7 + 1)) << model;
  }
}

// A board that goes away in the second bank of a long read: the address is
// named, and the buffer and its state are untouched.
TEST(ConfirmBoard, ABoardLostMidReadLeavesTheBufferAlone) {
  auto config = SimSetup(6, 0x378, "27C080", std::vector<std::uint8_t>(1048576, 0xFF));
  config.faults.vanish_after = 700000;
  Programmer s(config);
  s.Choose("Eprom 27C080");
  auto& buf = s.core().buf;
  std::fill_n(buf.CodeBuffer.begin(), 1048576, 0x5A);
  s.core().Click("Read_button");
  EXPECT_TRUE(s.core().ops.BoardLost);
  EXPECT_TRUE(s.Logged("ZAMBRIX-6 at Port 378 DOES NOT ANSWER after address 1FFFFh"));
  EXPECT_TRUE(std::all_of(buf.CodeBuffer.begin(), buf.CodeBuffer.begin() + 1048576,
                          [](std::uint8_t b) { return b == 0x5A; }));
  EXPECT_EQ(buf.CodeBufferLoaded, 0);
  EXPECT_FALSE(s.core().ui.Enabled("mnuFileSaveCodeAs"));
}

// A file shorter than the chip limits the check and the read to its length;
// the log says so before the verdict. A whole-chip check says nothing extra.
TEST(ParallelOutcome, ChecksShorterThanTheChipSaySo) {
  std::vector<std::uint8_t> chip(32768, 0xFF);
  chip[20000] = 0x00;  // beyond the file: not checked
  Programmer s(SimSetup(6, 0x378, "27C256", chip));
  s.Choose("Eprom 27C256");
  s.core().Click("Blank_button");
  EXPECT_TRUE(s.Logged("Device IS NOT BLANK (ERASED)"));
  s.core().Click("Error_label");

  s.Open(std::vector<std::uint8_t>(1000, 0x11));
  s.core().Click("Blank_button");
  auto lines = s.Log();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Checked 1000 of 32768 bytes (the loaded file's length)");
  EXPECT_EQ(lines.back(), "Device IS BLANK (ERASED)");

  s.core().Click("Read_button");
  lines = s.Log();
  const auto read = std::find(lines.begin(), lines.end(), "1000 bytes Read from Device");
  ASSERT_NE(read, lines.end());
  EXPECT_EQ(*(read - 1), "Read 1000 of 32768 bytes (the loaded file's length)");
  EXPECT_TRUE(s.core().ui.Enabled("mnuFileSaveCodeAs"));
}

}  // namespace
}  // namespace zambrix
