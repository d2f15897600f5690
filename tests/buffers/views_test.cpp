#include <cstring>

#include "buffer_fixture.h"
#include "support/sim_support.h"

namespace zambrix {
namespace {

using namespace testing;
using Views = BufferTest;

constexpr char kHello[] = "Hello World!\r\n\0\0";
constexpr char kHelloRow[] = "000010| 48656C6C 6F20576F 726C6421 0D0A0000 | Hello.World!....";
// Blank, brace and their neighbours: each view has its own character rule.
constexpr std::uint8_t kMixed[8] = {0x20, 0x7B, 0x7A, 0x41, 0x22, 0x60, 0x7E, 0x1F};

// The code view, the data view (a title and an empty line first) and the
// display window. Buffer views show the characters of PrintableChars.
TEST_F(Views, TheHelloRowInTheCodeAndDataViewsAndTheWindow) {
  std::memcpy(t->buf.CodeBuffer.data() + 16, kHello, 16);
  std::memcpy(t->buf.DataBuffer.data() + 16, kHello, 16);
  std::memcpy(t->buf.CodeBuffer.data() + 32, kMixed, 8);
  t->buf.CodeSize = 256;
  t->buf.DisplayCodeMemory();
  EXPECT_EQ(ViewRows()[1], kHelloRow);
  EXPECT_EQ(ViewRows()[2], "000020| 207B7A41 22607E1F 00000000 00000000 | .{zA............");
  t->buf.DisplayDataMemory();
  EXPECT_EQ(ViewRows().at(2), kHelloRow);
  t->ui.SetValueQuiet("frmDisplay1.VScroll1", 3);
  t->Click("Command1");  // always code page 0
  EXPECT_EQ(ViewRows("frmDisplay1.BufferDisplay").at(1), kHelloRow);
}

TEST_F(Views, TheMJShowToggle) {
  auto& ui = t->ui;
  t->dev.DeviceKey = "MJ";
  t->buf.CodeSize = 2048;
  t->buf.DataBuffer[0] = 0x44;
  t->buf.CodeBuffer[0] = 0x43;
  ui.SetValueQuiet("VScroll1", 5);
  t->Click("Show_button");  // it read "Show Data": the data view comes up at page 0
  EXPECT_EQ(std::tuple(ui.Caption("Show_button"), ui.Max("VScroll1"), ui.Value("VScroll1")),
            std::tuple("Show Code", 63, 0));
  EXPECT_EQ(ViewRows()[1].substr(0, 10), "000000| 44");
  t->Click("Show_button");
  EXPECT_EQ(std::tuple(ui.Caption("Show_button"), ui.Max("VScroll1")), std::tuple("Show Data", 7));
  EXPECT_TRUE(t.recording.Log().empty());  // no chip read on the way
}

// A page past the end of a buffer shows the last page inside it.
TEST_F(Views, APageOutsideABufferShowsTheNearestPageInside) {
  t->buf.CodeBuffer[0x200A00] = 0xAB;
  t->buf.CodeSize = static_cast<std::int32_t>(Buffers::kCodeBufferSize);
  t->ui.SetValueQuiet("VScroll1", 9000);
  t->buf.DisplayCodeMemory();
  EXPECT_EQ(ViewRows()[0].substr(0, 10), "200A00| AB");
  t->ui.SetValueQuiet("VScroll1", 64);
  t->buf.DisplayDataMemory();
  EXPECT_EQ(ViewRows()[1].substr(0, 6), "001F80");
}

TEST_F(Views, EraseFillsExactlyItsRangeAndDisablesProgramming) {
  auto& b = t->buf;
  b.CodeSize = 32768;
  b.CodeBuffer[0x100001] = 0x12;
  b.DataBuffer[0] = 0x34;
  t->ui.SetValue("CheckCode", 1);
  t->Click("Erase_button");
  EXPECT_EQ(std::count(b.CodeBuffer.begin(), b.CodeBuffer.end(), 0xFF), 0x100001);
  EXPECT_EQ(b.CodeBuffer[0x100001], 0x12);
  EXPECT_FALSE(t->ui.Enabled("Program_button"));
  EXPECT_EQ(ViewRows().at(15), "0000F0| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
  EXPECT_EQ(b.DataBuffer[0], 0x34);  // the data buffer is not chosen
}

TEST_F(Views, DoubleClickSavesTheViewToZambrixBuf) {
  t->link.BoardModel = 5;
  t->ui.SetText("BufferDisplay", "AB");
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  t->Click("BufferDisplay:DblClick");
  std::filesystem::current_path(old);
  const std::string saved = ReadWholeFile(dir / "ZAMBRIX.BUF");
  EXPECT_EQ(saved.rfind("ZAMBRIX BUFFER DISPLAY FILE - ", 0), 0u) << saved;
  EXPECT_TRUE(
      saved.ends_with("StatCode: 131  Model: 5 \r\n" + std::string(60, '-') + "\r\nAB\r\n"));
  EXPECT_FALSE(t->buf.SaveDisplayTo(PathOf("missing/ZAMBRIX.BUF")));
}

// The chip view on the simulated board: the page of the scroll bar read at its
// address, with the chip view's own character rule.
TEST(ChipView, ReadsThePageOfTheScrollBarFromTheChip) {
  std::vector<std::uint8_t> memory(32768, 0xFF);
  std::memcpy(memory.data() + 16, kHello, 16);
  std::memcpy(memory.data() + 32, kMixed, 8);
  memory[0x53FF] = 0x3F;
  SimRig rig(SimSetup(6, 0x378, "27C256", memory), "P4");
  auto& t = rig.t;
  t->ui.SetValue("CheckCode", 1);  // the code area is the chip
  t->ui.SetMax("VScroll1", 127);
  t->Click("Display_button");
  auto rows = Rows(t->ui.Text("BufferDisplay"));
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[1], "000010| 48656C6C 6F20576F 726C6421 0D0A0000 | Hello World!....");
  EXPECT_EQ(rows[2], "000020| 207B7A41 22607E1F FFFFFFFF FFFFFFFF |  .zA\"`..........");
  t->ChangeValue("VScroll1", 0x53);
  EXPECT_EQ(Rows(t->ui.Text("BufferDisplay")).at(15),
            "0053F0| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFF3F | ...............?");
}

}  // namespace
}  // namespace zambrix
