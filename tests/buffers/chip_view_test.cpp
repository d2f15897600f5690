#include <cstring>

#include "buffer_fixture.h"

namespace zambrix {
namespace {

using testing::TestCore;

// A board of model 5/6 at 378h with a chip in the socket: it latches the data
// register on each strobe and answers the nibble reads with the byte at the
// latched address while chip enable and output enable are both active.
class ChipPort : public PortBackend {
 public:
  explicit ChipPort(std::vector<std::uint8_t> memory) : memory_(std::move(memory)) {}
  void PortOut(std::uint16_t address, std::uint8_t value) override {
    if (address == kBase) data_ = value;
    if (address != kBase + 2) return;
    control_ = value;
    for (std::size_t n = 0; n < kStrobe.size(); ++n) {
      if (value == kStrobe[n]) latch_[n] = data_;
    }
  }
  std::uint8_t PortIn(std::uint16_t address) override {
    if (address != kBase + 1) return 0xFF;
    const bool enabled = (latch_[3] & 0x80) == 0 && (latch_[0] & 0x40) == 0;
    const std::size_t at =
        static_cast<std::size_t>(((latch_[3] & 0x0F) << 16) | (latch_[1] << 8) | latch_[2]);
    const std::uint8_t byte = enabled ? memory_[at % memory_.size()] : 0xFF;
    if (!enabled) ++disabled_reads;
    const int nibble = control_ == kNibbleLow ? (byte & 15) : (byte >> 4);
    return static_cast<std::uint8_t>(nibble << 3);
  }
  bool IsSimulated() const override { return true; }
  std::string Describe() const override { return "chip port"; }
  int disabled_reads = 0;

 private:
  static constexpr std::uint16_t kBase = 0x378;
  static constexpr std::array<int, 5> kStrobe = {4, 12, 6, 14, 0};
  static constexpr int kNibbleLow = 5;
  std::vector<std::uint8_t> memory_;
  std::array<int, 5> latch_{};
  int data_ = 0;
  int control_ = 0;
};

void BoardModel6(TestCore& t) {
  auto& link = t->link;
  link.InitControlTables();
  link.BuildReadTables();
  link.PortAddress = 0x378;
  link.BoardModel = 6;
  link.ApplyBoardModel();
  t->dev.DeviceClass = "P";
  t->dev.DeviceKey = "P4";
  t->ui.SetValue("CheckCode", 1);
}

std::vector<std::string> Rows(const std::string& text) {
  std::vector<std::string> rows;
  for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos;) {
    pos += 2;
    rows.push_back(text.substr(pos, text.find("\r\n", pos) - pos));
  }
  return rows;
}

TEST(ChipView, ShowsTheScriptedPageWithTheChipCharacterRule) {
  TestCore t;
  BoardModel6(t);
  std::uint8_t page[256];
  std::memset(page, 0xFF, sizeof page);
  std::memcpy(page + 16, "Hello World!\r\n\0\0", 16);
  page[32] = 0x20;
  page[33] = 0x7B;
  std::vector<std::uint8_t> reads;
  for (std::uint8_t b : page) {
    reads.push_back(static_cast<std::uint8_t>((b & 15) << 3));  // low nibble on status bits 3..6
    reads.push_back(static_cast<std::uint8_t>((b >> 4) << 3));
  }
  t.recording.ScriptReads(reads);
  t->Click("Display_button");
  auto rows = Rows(t->ui.Text("BufferDisplay"));
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[0], "000000| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
  EXPECT_EQ(rows[1], "000010| 48656C6C 6F20576F 726C6421 0D0A0000 | Hello World!....");
  EXPECT_EQ(rows[2], "000020| 207BFFFF FFFFFFFF FFFFFFFF FFFFFFFF |  ...............");
  int status_reads = 0;
  for (const auto& a : t.recording.Log()) status_reads += (!a.write && a.address == 0x379) ? 1 : 0;
  EXPECT_EQ(status_reads, 512);
  EXPECT_GE(t.virtual_clock.NowNs(), 500'000'000u);  // the settle wait before the reads
  EXPECT_EQ(t->buf.DisplayMode, "DisplayEprom");
  EXPECT_EQ(t->ui.Caption("Frame3"), "Device Memory Hex/Ascii Display");
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{"Fetching Device Binary Contents to Screen"}));
  EXPECT_EQ(t->ui.Colour("DataFlow_label"), colour::kButtonFace);
}

TEST(ChipView, ScrollingReadsEachPageAtItsAddressWithTheChipEnabled) {
  std::vector<std::uint8_t> memory(32768);
  for (std::size_t i = 0; i < memory.size(); ++i)
    memory[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  ChipPort port(memory);
  TestCore t(&port);
  BoardModel6(t);
  t->ui.SetMax("VScroll1", 127);
  t->Click("Display_button");
  t->ChangeValue("VScroll1", 0x53);
  auto rows = Rows(t->ui.Text("BufferDisplay"));
  ASSERT_EQ(rows.size(), 16u);
  for (int r = 0; r < 16; ++r) {
    const std::int32_t address = 0x5300 + r * 16;
    EXPECT_EQ(rows[static_cast<std::size_t>(r)],
              t->buf.HexRow(address, memory.data() + address, Buffers::CharRule::Chip).substr(2));
  }
  EXPECT_EQ(port.disabled_reads, 0);
  EXPECT_EQ(t->buf.PageBuffer[255], memory[0x53FF]);
  EXPECT_EQ(t->link.CurrentAddress, 0x5400);  // stepped past the page
}

TEST(ChipView, DisplayNeedsTheCodeBoxAndAChipItCanRead) {
  TestCore t;
  BoardModel6(t);
  t->ui.SetValue("CheckCode", 0);
  t->Click("Display_button");
  EXPECT_TRUE(t.LogLines().empty());
  t->ui.SetValue("CheckCode", 1);
  t->dev.DeviceClass = "M";
  t->dev.DeviceKey = "MJ";
  t->Click("Display_button");
  EXPECT_EQ(t.dialogs.shown.at(0).text, "Please Write AT90S2313 Code Display ROutine");
  EXPECT_EQ(t.dialogs.shown.at(0).title, "Routine Not Ready");
  EXPECT_TRUE(t.recording.Log().empty());  // nothing read from the board
}

TEST(ChipView, APageBeyondTheAddressLatchesIsClampedNotAFault) {
  TestCore t;
  BoardModel6(t);
  t->buf.DisplayMode = "DisplayEprom";
  t->ChangeValue("VScroll1", 70000);
  EXPECT_EQ(Rows(t->ui.Text("BufferDisplay"))[0].substr(0, 6), "FFFF00");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
}

}  // namespace
}  // namespace zambrix
