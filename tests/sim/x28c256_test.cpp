// The X28C256 and AT29C256 models against their datasheets, the part driven
// alone.
#include <gtest/gtest.h>

#include <tuple>

#include "sim/chips/page_eeprom.h"
#include "support/chip_pins.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::kMs;
using testing::kUs;

struct Part : testing::Part<sim::PageEeprom> {
  using testing::Part<sim::PageEeprom>::Part;
  void Load(std::uint32_t page, const Bytes& data, int from = 0, int to = 63) {
    for (int i = from; i <= to; ++i) Write(page * 64 + std::uint32_t(i), data[std::size_t(i)]);
  }
};

Bytes PageData(int seed) {
  Bytes v(64);
  for (int i = 0; i < 64; ++i) v[std::size_t(i)] = std::uint8_t(seed * 31 + i * 5);
  return v;
}

TEST(X28C256, PageWritesStoreAfterTheWriteCycleWithDataPollingMeanwhile) {
  Part x("X28C256");
  const auto data = PageData(1);
  x.Load(3, data);
  x.Wait(150 * kUs);  // past the byte-load time: the write cycle runs
  const std::uint8_t first = x.Read(3 * 64 + 63), second = x.Read(3 * 64 + 63);
  EXPECT_TRUE(x.chip.Busy());
  EXPECT_EQ(first & 0x80, ~data[63] & 0x80);  // DATA polling: bit 7 inverted
  EXPECT_NE(first & 0x40, second & 0x40);     // toggle bit
  x.Load(4, PageData(2));                     // ignored while busy
  x.Wait(10 * kMs);                           // the 10 ms maximum write cycle
  for (int i = 0; i < 64; ++i) EXPECT_EQ(x.Read(3 * 64 + i), data[std::size_t(i)]);
  EXPECT_EQ(x.Read(4 * 64), 0xFF);
}

// (Turning it off with six bytes is done by every protected programming run.)
TEST(X28C256, ProtectionOnWithThreeBytesAndPrefixedWritesMeanwhile) {
  Part x("X28C256");
  x.Command(0xA0);
  x.Wait(20 * kMs);
  EXPECT_EQ(x.chip.Memory()[0x5555], 0xFF);  // command bytes are not stored
  EXPECT_TRUE(x.chip.Protected());
  x.Load(0, PageData(1));  // a plain write: ignored
  x.Wait(20 * kMs);
  EXPECT_EQ(x.chip.Memory()[0], 0xFF);
  EXPECT_EQ(x.chip.DummyCycles(), 1);
  x.Command(0xA0);  // a prefixed one: stored
  x.Load(0, PageData(1));
  x.Wait(20 * kMs);
  EXPECT_EQ(x.chip.Memory()[5], PageData(1)[5]);
  EXPECT_TRUE(x.chip.Protected());
}

// A byte later than 100 us after the one before finds the page closed and its
// write cycle running, and is ignored (which the part reports).
TEST(X28C256, ByteLoadLimitEndsThePageWhenBytesComeTooSlowly) {
  Part x("X28C256");
  x.Write(7 * 64, 0x12, 150 * kUs);
  x.Write(7 * 64 + 1, 0x34);
  x.Wait(20 * kMs);
  EXPECT_EQ(x.chip.Memory()[7 * 64], 0x12);
  EXPECT_EQ(x.chip.Memory()[7 * 64 + 1], 0xFF);
  const auto late = x.chip.TakeViolations();
  ASSERT_EQ(late.size(), 1u);
  EXPECT_EQ(late[0].rule, "tBLC");
}

TEST(AT29C256, ProductIdAndSectorWrites) {
  Bytes image(32768, 0x00);
  image[0] = 0x11, image[1] = 0x22;
  Part x("AT29C256", image);
  x.Command(0x90);
  x.Wait(10 * kMs);
  EXPECT_EQ(std::tuple(x.Read(0), x.Read(1)), std::tuple(0x1F, 0xDC));
  x.Command(0xF0);
  x.Wait(10 * kMs);
  EXPECT_EQ(x.Read(1), 0x22);
  x.Load(2, Bytes(64, 0x5A), 10, 12);
  x.Wait(11 * kMs);
  EXPECT_EQ(x.Read(2 * 64 + 10), 0x5A);
  EXPECT_EQ(x.Read(2 * 64 + 9), 0xFF);  // not loaded: erased with the sector
  EXPECT_EQ(x.Read(3 * 64), 0x00);
}

}  // namespace
}  // namespace zambrix
