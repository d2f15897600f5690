// JEDEC flash chips against their datasheets, the part driven alone.
#include <gtest/gtest.h>

#include <tuple>

#include "sim/chips/jedec_flash.h"
#include "support/chip_pins.h"

namespace zambrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::kMs;

struct Flash : testing::Part<sim::JedecFlash> {
  explicit Flash(const char* name, Bytes contents = {}, std::uint64_t write_ns = 0)
      : Part(name, std::move(contents)) {
    if (write_ns) chip.SetWriteCycle(write_ns);
  }
  // The unlock and `command` at the short addresses (or the full ones).
  void Command3(std::uint8_t command, bool full = false) {
    full ? Command(command) : Command(command, 0x555, 0x2AA);
  }
  void Erase(std::uint32_t address, std::uint8_t command) {
    Command3(0x80);
    Write(0x555, 0xAA), Write(0x2AA, 0x55), Write(address, command);
  }
  const Bytes& Memory() { return chip.Memory(); }
};

// The first AM29F010/040 revisions decode A14..A0 in command cycles and take 0555h as
// an array address: they never enter ID mode on the short addresses, only on
// the full ones. The EON part puts the continuation code at 0 and 1 and its
// codes at 100h and 101h.
TEST(JedecFlash, TheIdCommandOnShortOrFullAddressesAndReset) {
  struct Id {
    const char* chip;
    int at0, at1;
    bool full;
  };
  for (auto id : {Id{"AM29F040B", 0x01, 0xA4, false}, Id{"AM29F040", 0x00, 0x01, false},
                  Id{"AM29F040", 0x01, 0xA4, true}}) {
    SCOPED_TRACE(id.chip);
    Flash f(id.chip, {0x00, 0x01, 0x02});
    f.Command3(0x90, id.full);
    EXPECT_EQ(f.Read(0), id.at0);
    EXPECT_EQ(f.Read(1), id.at1);
    f.Command3(0xF0);
    EXPECT_EQ(f.Read(1), 0x01);
  }
  Flash f("AM29F040");
  f.Command3(0x90, true);
  EXPECT_EQ(f.Read(2), 0x00);  // sector not protected
  f.Write(0x1234, 0xF0);       // reset at any address
  EXPECT_EQ(f.Read(2), 0xFF);
  Flash eon("EN29F040");
  eon.Command3(0x90);
  EXPECT_EQ(std::tuple(eon.Read(0), eon.Read(0x100), eon.Read(0x101)),
            std::tuple(0x7F, 0x1C, 0x04));
}

// (A byte asked to go from 0 back to 1 is failed by the flash programming tests.)
TEST(JedecFlash, ByteProgramWithDataPollingAndToggle) {
  Flash f("A29040", Bytes(8, 0x0F), 1'000'000);  // 7 us would be over before the first read
  f.Command3(0xA0);
  f.Write(0x6789A, 0x35);
  EXPECT_TRUE(f.chip.Busy());
  const std::uint8_t s1 = f.Read(0x6789A), s2 = f.Read(0x6789A);
  EXPECT_TRUE(f.chip.Busy());
  EXPECT_EQ(s1 & 0x80, 0x80);  // complement of bit 7 of 35h
  EXPECT_NE(s1 & 0x40, s2 & 0x40);
  f.Wait(2 * kMs);
  EXPECT_EQ(f.Read(0x6789A), 0x35);
}

TEST(JedecFlash, ChipAndSectorEraseTakeSecondsAndIgnoreCommandsMeanwhile) {
  Flash f("AM29F010B", Bytes(128 * 1024, 0x00));
  f.Erase(0x555, 0x10);
  EXPECT_EQ(f.Read(0x100) & 0x88, 0x08);  // DQ7 0, DQ3 erase started
  f.Command3(0x90);                       // ignored
  f.Wait(7000 * kMs);
  EXPECT_TRUE(f.chip.Busy());
  f.Wait(1100 * kMs);
  EXPECT_EQ(f.Read(0x100), 0xFF);
  EXPECT_EQ(f.Read(0x1FFFF), 0xFF);
  EXPECT_FALSE(f.chip.InAutoselect());
  Flash s("AM29F040B", Bytes(512 * 1024, 0x00));
  s.Erase(0x70000, 0x30);
  s.Write(0x10000, 0x30);  // within 50 us: added
  s.Wait(2100 * kMs);
  const auto& m = s.Memory();
  for (std::size_t a : {0x70000, 0x7FFFF, 0x1ABCD}) EXPECT_EQ(m[a], 0xFF) << a;
  for (std::size_t a : {0x20000, 0x0FFFF}) EXPECT_EQ(m[a], 0x00) << a;
}

}  // namespace
}  // namespace zambrix
