// A read on the recording back end, for what the simulated board cannot
// show: a sweep over a size no chip has.
#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/link_traffic.h"

namespace zambrix {
namespace {

using testing::TestCore;

void Choose(TestCore& t, const std::string& key, std::int32_t size) {
  t->dev.DeviceKey = key;
  t->dev.DeviceClass = key.substr(0, 1);
  t->buf.CodeSize = size;
}

// The status reads that give the data-line test's four patterns back on a model 5 or 6.
std::vector<std::uint8_t> LinesAnswer(const Link& l) {
  auto raw = [](const auto& table, int want) {
    for (int s = 0; s < 256; ++s) {
      if (table[static_cast<std::size_t>(s)] == want) return static_cast<std::uint8_t>(s);
    }
    return std::uint8_t{0};
  };
  std::vector<std::uint8_t> reads;
  for (int pattern : {0x00, 0xFF, 0x55, 0xAA}) {
    reads.push_back(raw(l.StatusLowNibble, pattern & 0x0F));
    reads.push_back(raw(l.StatusHighNibble, pattern & 0xF0));
  }
  return reads;
}

TEST(ParallelRead, OddSizesReadEachByteOnceAtItsOwnAddressAndStopAtTheSize) {
  TestCore t;
  testing::Install(t, 6);
  Choose(t, "P7", 65536 + 1000);
  t->ui.SetValueQuiet("CheckCode", 1);
  t->buf.CodeBuffer[65536 + 1000] = 0x5A;  // just past the size: must stay
  // The board answers its probe before the sweep, between the banks and after it.
  // Before it, the data lines read back what the data latch drives.
  const std::vector<std::uint8_t> probe{0x00, 0x70}, bank(2 * 65536, 0xFF), rest(2 * 1000, 0xFF);
  const auto lines = LinesAnswer(t->link);
  std::vector<std::uint8_t> script;
  for (const auto* part : {&probe, &lines, &bank, &probe, &rest, &probe})
    script.insert(script.end(), part->begin(), part->end());
  t.recording.ScriptReads(script);
  t->Click("Read_button");
  int reads = 0;
  for (const auto& a : t.recording.Log()) reads += !a.write;
  EXPECT_EQ(reads, 2 * (65536 + 1000) + 3 * 2 + 4 * 2);
  EXPECT_EQ(t->buf.CodeBuffer[65536 + 999], 0xFF);
  EXPECT_EQ(t->buf.CodeBuffer[65536 + 1000], 0x5A);
  EXPECT_EQ(t.LogLines().front(), "66536 bytes Read from Device");
}

}  // namespace
}  // namespace zambrix
