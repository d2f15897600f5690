// Verify through the window's handlers, and the whole-chip comparisons behind
// the command line's verify --all and check.
#include <gtest/gtest.h>

#include "program_window_support.h"

namespace zambrix {
namespace {

using testing::Programmer;
using testing::RandomImage;

// A match gives the sum of the chip's bytes, kept to 16 bits (32 rounds of
// 0..FFh are F000h); the first difference is reported and ends the compare.
TEST(Verify, AMatchGivesTheChecksumAndTheFirstDifferenceEndsTheCompare) {
  std::vector<std::uint8_t> image(8192);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
  Programmer p("27C64", image);
  p.Choose("Eprom 27C64");
  p.Open(image);
  p.core().Click("Verify_button");
  EXPECT_EQ(p.From("Device Contents MATCHES with Buffer Contents"),
            (std::vector<std::string>{"Device Contents MATCHES with Buffer Contents",
                                      "Device CHKSUMM = $F000"}));
  p.Chip()[0x1A1] = 0x21, p.Chip()[0x7FF] = 0x00;
  p.core().Click("Verify_button");
  EXPECT_TRUE(p.Logged("Address: 1A1 ][ Buffer Data: A1 ][ Device Data: 21"));
  EXPECT_FALSE(p.Logged("Address: 7FF ][ Buffer Data: FF ][ Device Data: 0"));
  EXPECT_EQ(p.core().ops.VerifyFailed, 1);
  EXPECT_EQ(p.port->Board().Latch(0), 0x40);  // reset by the report
}

TEST(Verify, EveryDifferenceIsListedAsRangesWithTheirCounts) {
  auto image = RandomImage(32768, 23);
  auto chip = image;
  for (int a : {0x10, 0x12, 0x1F, 0x4000}) chip[static_cast<std::size_t>(a)] ^= 0x01;
  chip[0x7FFF] ^= 0x80;
  Programmer p("27C256", chip);
  p.Choose("Eprom 27C256");
  p.Open(image);
  std::vector<Operations::AddressRange> ranges;
  ASSERT_TRUE(p.core().ops.VerifyAllDifferences(ranges));
  ASSERT_EQ(ranges.size(), 3u);
  EXPECT_TRUE(p.Logged("Differs at 10-1F: 3 bytes"));
  EXPECT_TRUE(p.Logged("5 bytes differ in 3 ranges"));
  EXPECT_TRUE(p.core().report.AlertOn()) << "a difference raises the error alert";
}

TEST(Verify, TheWriteCheckTellsBytesToProgramFromBytesThatNeedAnErase) {
  std::vector<std::uint8_t> chip(8192, 0xFF);
  chip[0] = 0x0F;      // the image wants 0x0F: in place
  chip[1] = 0xF0;      // the image wants 0x0F: needs 1s back
  chip[2] = 0x7F;      // the image wants 0x3F: programmable
  chip[0x100] = 0x00;  // the image wants 0xFF: needs an erase
  std::vector<std::uint8_t> image(8192, 0xFF);
  image[0] = 0x0F;
  image[1] = 0x0F;
  image[2] = 0x3F;
  image[3] = 0x00;
  Programmer p("27C64", chip);
  p.Choose("Eprom 27C64");
  p.Open(image);
  Operations::WriteCheck r;
  ASSERT_TRUE(p.core().ops.CheckWritable(r));
  EXPECT_EQ(r.compared, 8192);
  EXPECT_EQ(r.to_program, 2);
  EXPECT_EQ(r.already, 8192 - 4);
  ASSERT_EQ(r.need_erase.size(), 2u);
  EXPECT_EQ(r.need_erase[0].first, 1);
  EXPECT_EQ(r.need_erase[1].first, 0x100);
  EXPECT_EQ(p.Chip(), chip);  // nothing written
  EXPECT_TRUE(p.Logged("2 bytes cannot be programmed without erasing the Device first"));
}

// For the window: after the first difference the chip is read once more and
// every difference kept with both bytes; a verify that matches reads the chip
// once, exactly as without the list.
TEST(Verify, TheWindowsListHoldsEveryDifferenceAndAMatchReadsTheChipOnce) {
  const auto image = RandomImage(32768, 24);
  auto chip = image;
  for (int a : {0x10, 0x11, 0x7FFF}) chip[static_cast<std::size_t>(a)] ^= 0x5A;
  Programmer p("27C256", chip);
  p.Choose("Eprom 27C256");
  p.Open(image);
  auto& buf = p.core().buf;
  buf.ListDifferences = true;
  p.core().Click("Verify_button");
  ASSERT_EQ(buf.Differences.size(), 3u);
  for (const auto& d : buf.Differences) {
    const auto at = static_cast<std::size_t>(d.address);
    EXPECT_EQ(std::pair(d.buffer, d.device), std::pair(image[at], chip[at])) << d.address;
  }
  EXPECT_EQ(buf.Differences.back().address, 0x7FFF);
  EXPECT_TRUE(
      p.Logged("3 bytes differ from Buffer Contents: F3 and Shift+F3 show them, "
               "Edit - Differences lists them"));
  EXPECT_EQ(buf.DisplayMode, "Differences");
  EXPECT_EQ(p.port->Board().Latch(0), 0x40);

  const auto accesses = [&image](bool listed) {
    Programmer q("27C256", image);
    q.Choose("Eprom 27C256");
    q.Open(image);
    q.core().buf.ListDifferences = listed;
    const auto n = q.Accesses("Verify_button");
    EXPECT_TRUE(q.Logged("Device Contents MATCHES with Buffer Contents"));
    return n;
  };
  EXPECT_EQ(accesses(true), accesses(false));
}

}  // namespace
}  // namespace zambrix
