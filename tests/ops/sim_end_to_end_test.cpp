// Read and blank check through the window's own handlers, on the simulated
// board with datasheet-true chips.
#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <random>

#include "sim/sim_port.h"
#include "support/fakes.h"

namespace zambrix {
namespace {

// A board as the program finds it at start-up, with a chip in the socket.
struct Bench {
  explicit Bench(const std::string& chip, std::vector<std::uint8_t> contents = {}, int model = 6,
                 std::uint16_t base = 0x378) {
    config.model = model;
    config.base = base;
    config.chip = chip.empty() ? nullptr : sim::FindChipSpec(chip);
    config.demo_image = false;
    config.contents = std::move(contents);
    port = std::make_unique<sim::SimPort>(config, clock);
    t = std::make_unique<testing::TestCore>(port.get(), &clock);
    (*t)->shell.Form_Load();
  }
  Core& core() { return *t->core; }
  void Choose(const std::string& name) {
    const auto& rows = core().dev.DeviceTable;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i][0].rfind(name + " ", 0) == 0 || rows[i][0] == name) {
        core().ChooseListIndex("Device", static_cast<int>(i));
        return;
      }
    }
    FAIL() << "no device " << name;
  }
  std::vector<std::string> Log() const { return t->LogLines(); }
  sim::SimConfig config;
  VirtualClock clock{Link::kNsPerIteration};
  std::unique_ptr<sim::SimPort> port;
  std::unique_ptr<testing::TestCore> t;
};

std::vector<std::uint8_t> RandomImage(std::size_t size, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<std::uint8_t> v(size);
  for (auto& b : v) b = static_cast<std::uint8_t>(gen());
  return v;
}

std::vector<std::string> After(const std::vector<std::string>& lines, const std::string& first) {
  auto it = std::find(lines.begin(), lines.end(), first);
  return {it, lines.end()};
}

TEST(SimulatedRead, A27C256ReadsBackByteForByteWithTheSweepsExactTraffic) {
  auto image = RandomImage(32768, 7);
  Bench b("27C256", image);
  ASSERT_EQ(b.core().link.BoardModel, 6);
  b.Choose("Eprom 27C256");
  b.port->Trace().EnableAccessLog(400000);
  b.core().Click("Read_button");

  const auto& code = b.core().buf.CodeBuffer;
  EXPECT_TRUE(std::equal(image.begin(), image.end(), code.begin()));
  unsigned sum = std::accumulate(image.begin(), image.end(), 0u) % 65536;
  char expected[32];
  std::snprintf(expected, sizeof expected, "Device CHKSUMM = $%04X", sum);
  auto lines = After(b.Log(), "32768 bytes Read from Device");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], expected);

  // One low-address load and one two-nibble read per byte; the middle latch once a page.
  std::map<int, int> loads;
  int reads = 0;
  const auto& acc = b.port->Trace().Accesses();
  const auto& link = b.core().link;
  for (std::size_t i = 0; i + 1 < acc.size(); ++i) {
    if (!acc[i].write) {
      reads += acc[i].address == 0x379;
      continue;
    }
    for (int n = 0; n < 5; ++n) {
      if (acc[i].address == 0x37A && acc[i].value == link.RegStrobe[n] && acc[i + 1].write &&
          acc[i + 1].value == link.RegSelect[n]) {
        ++loads[n];
      }
    }
  }
  if (!acc.empty() && !acc.back().write && acc.back().address == 0x379) ++reads;
  // Reset twice and the start address add three loads of latches 1 and 2; the
  // board's probe before the sweep, two reads, leaves latch 2 to be reloaded,
  // the one after it (the last address is FFh there too) does not. The
  // data-line test before the sweep reads its four patterns.
  EXPECT_EQ(loads[2], 32768 + 3 + 1);
  EXPECT_EQ(loads[1], 128 + 3);
  EXPECT_EQ(reads, 2 * 32768 + 2 * 2 + 4 * 2);
  EXPECT_FALSE(b.port->Trace().ChipDamaged());
}

TEST(SimulatedRead, ErasedChipsAndAWholeMegabyte) {
  Bench erased("27C256");
  erased.Choose("Eprom 27C256");
  erased.core().Click("Read_button");
  EXPECT_EQ(After(erased.Log(), "32768 bytes Read from Device").at(1), "Device CHKSUMM = $8000");

  auto image = RandomImage(1048576, 9);
  Bench big("27C080", image);
  big.Choose("Eprom 27C080");
  big.core().Click("Read_button");
  EXPECT_TRUE(std::equal(image.begin(), image.end(), big.core().buf.CodeBuffer.begin()));
  EXPECT_EQ(big.core().ops.LastBank, 15);
  EXPECT_EQ(big.core().ops.LastPage, 255);
  EXPECT_NE(std::find(big.Log().begin(), big.Log().end(), "1048576 bytes Read from Device"), big.Log().end());
}

TEST(SimulatedBlankCheck, ErasedPassesAndTheFirstProgrammedByteIsReported) {
  Bench erased("27C512");
  erased.Choose("Eprom 27C512");
  erased.core().Click("Blank_button");
  EXPECT_EQ(erased.Log().back(), "Device IS BLANK (ERASED)");
  EXPECT_EQ(erased.t->sound.played.back(), "/opt/zambrix/ok.wav");

  std::vector<std::uint8_t> one(262144, 0xFF);
  one[0x12345] = 0x3C;
  Bench b("27C020", one);
  b.Choose("Eprom 27C020");
  b.core().Click("Blank_button");
  auto lines = b.Log();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], "Address: 12345 ][ Device Data: 3C");
  EXPECT_EQ(b.core().ui.Colour("Error_label"), colour::kRed);
  EXPECT_FALSE(b.core().ui.Enabled("Read_button"));

  std::vector<std::uint8_t> last(65536, 0xFF);
  last[65535] = 0x00;
  Bench l("27C512", last);
  l.Choose("Eprom 27C512");
  l.core().Click("Blank_button");
  EXPECT_EQ(l.Log()[l.Log().size() - 2], "Address: FFFF ][ Device Data: 0");
}

}  // namespace
}  // namespace zambrix
