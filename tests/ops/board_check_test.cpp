// The board is asked before a result is reported: reads on the simulated board
// that is there or that goes away; checks that cover part of the chip.
#include <gtest/gtest.h>

#include <algorithm>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;
using testing::SimSetup;

// Mid-read, with the chip enabled and its outputs on: the probe of each board
// model answers, leaves every latch as it found it and harms nothing.
TEST(ConfirmBoard, EachModelAnswersAndLeavesTheLatchesAsTheyWere) {
  const auto chip = testing::RandomImage(32768, 1);
  for (int model : {4, 5, 6}) {
    Programmer s(SimSetup(model, 0x278, "27C256", chip));
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
    EXPECT_EQ(link.ReadValue, chip[0x1234]) << model;
  }
}

// A board that goes away in the second bank of a long read: the address is
// named, the buffer and its state are untouched, and the outcome says so.
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
  // The outcome is the lost board, whatever the read said before.
  EXPECT_EQ(s.core().ops.Result.kind, Outcome::Kind::kNoBoard);
  EXPECT_TRUE(s.core().ops.Result.Failed());
}

// The first programmed byte is reported, up to the chip's last address. A file
// shorter than the chip (here past the first 64 KB bank) limits the check and
// the read to its length, and the log says so before the verdict.
TEST(ParallelOutcome, ChecksCoverTheChipOrSayTheyStopAtTheFilesLength) {
  std::vector<std::uint8_t> chip(262144, 0xFF);
  chip[0x3FFFF] = 0x00;
  Programmer s(SimSetup(6, 0x378, "27C020", chip));
  s.Choose("Eprom 27C020");
  const auto follows = [&s](const std::string& line, const std::string& next) {
    const auto lines = s.From(line);
    return lines.size() >= 2 && lines[1] == next;
  };
  s.core().Click("Blank_button");
  EXPECT_TRUE(s.Logged("Device IS NOT BLANK (ERASED)"));
  EXPECT_TRUE(s.Logged("Address: 3FFFF ][ Device Data: 0"));
  EXPECT_EQ(s.core().ui.Colour("Error_label"), colour::kRed);
  s.core().Click("Error_label");

  const std::size_t size = 65536 + 1000;
  s.Open(std::vector<std::uint8_t>(size, 0x11));
  s.core().Click("Blank_button");
  EXPECT_TRUE(follows("Checked 66536 of 262144 bytes (the loaded file's length)",
                      "Device IS BLANK (ERASED)"));

  const auto data = testing::RandomImage(size + 1, 7);
  std::copy(data.begin(), data.end(), s.Chip().begin());
  auto& code = s.core().buf.CodeBuffer;
  code[size] = 0x5A;  // just past the file: must stay
  s.core().Click("Read_button");
  EXPECT_TRUE(follows("Read 66536 of 262144 bytes (the loaded file's length)",
                      "66536 bytes Read from Device"));
  EXPECT_TRUE(std::equal(data.begin(), data.end() - 1, code.begin()));
  EXPECT_EQ(code[size], 0x5A);
  EXPECT_TRUE(s.core().ui.Enabled("mnuFileSaveCodeAs"));
}

}  // namespace
}  // namespace zambrix
