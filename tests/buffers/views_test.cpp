#include <cstring>

#include "buffer_fixture.h"
#include "support/sim_support.h"

namespace zambrix {
namespace {

using namespace testing;
using Lines = std::vector<std::string>;
using Views = BufferTest;

constexpr char kHello[] = "Hello World!\r\n\0\0";
constexpr char kHelloRow[] = "000010| 48656C6C 6F20576F 726C6421 0D0A0000 | Hello.World!....";
// Blank, brace and their neighbours: each view has its own character rule.
constexpr std::uint8_t kMixed[8] = {0x20, 0x7B, 0x7A, 0x41, 0x22, 0x60, 0x7E, 0x1F};
constexpr char kFFRow[] = "| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................";

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
  auto rows = ViewRows();
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[0] + rows[2], kHelloRow);
  EXPECT_EQ(t->ui.Text("BufferDisplay").substr(0, 34), "             *** BUFFER DATA ***\r\n");
  t->ui.SetValueQuiet("frmDisplay1.VScroll1", 3);
  t->Click("Command1");  // always code page 0
  EXPECT_TRUE(t->ui.Visible("frmDisplay1"));
  EXPECT_EQ(ViewRows("frmDisplay1.BufferDisplay").at(1), kHelloRow);
}

TEST_F(Views, DataPage63AndTheMJShowToggle) {
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
  t->buf.DisplayMode = "Read";
  t->ChangeValue("VScroll1", 63);
  auto rows = ViewRows();
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[1].substr(0, 6) + rows[8].substr(0, 6), "001F80001FF0");
  EXPECT_EQ(t->link.CurrentAddress, 0x1F80);
  t->Click("Show_button");
  EXPECT_EQ(std::tuple(ui.Caption("Show_button"), ui.Max("VScroll1")), std::tuple("Show Data", 7));
  EXPECT_EQ(ViewRows()[0].substr(0, 10), "000000| 43");
  t->dev.DeviceKey = "P4";  // any other device: back to the code buffer in read mode
  t->buf.DisplayMode = "DisplayEprom";
  t->Click("Show_button");
  EXPECT_EQ(t->buf.DisplayMode, "Read");
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

// A file of 960 bytes: its last page (300h to 3FFh) is reachable, and the bytes
// past its end show as blanks; the frame names the code buffer again after the
// chip view.
TEST_F(Views, TheLastPartialPageOfAFileIsReachableAndMarked) {
  auto& ui = t->ui;
  Open("mnuFileOpenCode", File("short.bin", std::string(960, 'A')));
  EXPECT_EQ(ui.Max("VScroll1"), 3);
  ui.SetCaption("Frame3", "Device Memory Hex/Ascii Display");
  t->ChangeValue("VScroll1", 3);
  auto rows = ViewRows();
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[11], "0003B0| 41414141 41414141 41414141 41414141 | AAAAAAAAAAAAAAAA");
  EXPECT_EQ(rows[12], "0003C0|                                     |                 ");
  EXPECT_EQ(rows[15].size(), 62u);
  EXPECT_EQ(ui.Caption("Frame3"), "Code Buffer Hex/Ascii Display");
  // A row cut in the middle.
  EXPECT_EQ(t->buf.HexRow(0x10, reinterpret_cast<const std::uint8_t*>(kHello),
                          Buffers::CharRule::Buffer, 5),
            "\r\n000010| 48656C6C 6F                         | Hello           ");
  // A data file shorter than its page.
  t->buf.DataBufferLoaded = 1;
  t->buf.DataSize = 20;
  ui.SetValueQuiet("VScroll1", 0);
  t->buf.DisplayDataMemory();
  EXPECT_EQ(ViewRows()[2], "000010| 00000000                            | ....            ");
  EXPECT_EQ(ui.Caption("Frame3"), "Data Buffer Hex/Ascii Display");
}

// The erased code page shows sixteen all-FF rows.
TEST_F(Views, EraseFillsExactlyItsRangeAndDisablesProgramming) {
  auto& b = t->buf;
  b.CodeSize = 32768;
  b.CodeBuffer[0x100001] = 0x12;
  b.DataBuffer[8193] = 0x34;
  t->ui.SetValue("CheckCode", 1);
  t->Click("Erase_button");
  EXPECT_EQ(std::count(b.CodeBuffer.begin(), b.CodeBuffer.end(), 0xFF), 0x100001);
  EXPECT_EQ(b.CodeBuffer[0x100001], 0x12);
  EXPECT_FALSE(t->ui.Enabled("Program_button"));
  auto rows = ViewRows();
  ASSERT_EQ(rows.size(), 16u);
  for (const auto& r : rows) EXPECT_EQ(r.substr(6), kFFRow);
  EXPECT_EQ(rows[15].substr(0, 6), "0000F0");
  t->ui.SetValue("CheckCode", 0);
  t->ui.SetValue("CheckData", 1);
  t->Click("menuEraseCode");
  EXPECT_EQ(std::count(b.DataBuffer.begin(), b.DataBuffer.end(), 0xFF), 8193);
  EXPECT_EQ(b.DataBuffer[8193], 0x34);
  EXPECT_FALSE(t->ui.Enabled("menuProgramData"));
  EXPECT_EQ(t.LogLines(), (Lines{"Buffer has been Erased", "Buffer has been Erased"}));
}

TEST_F(Views, DoubleClickSavesTheViewToZambrixBuf) {
  t->link.BoardModel = 5;
  t->ui.SetText("BufferDisplay", "AB");
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  t->Click("BufferDisplay:DblClick");
  std::filesystem::current_path(old);
  EXPECT_EQ(ReadWholeFile(dir / "ZAMBRIX.BUF"),
            "ZAMBRIX BUFFER DISPLAY FILE - MNX RESEARCH INC. www.example.com/zambrix\r\n"
            "The following contents are the contents from Buffer DIsplay\r\n"
            "2026-12-06 12:34:56 StatCode: 131  Model: 5 \r\n" +
                std::string(60, '-') + "\r\nAB\r\n");
  EXPECT_EQ(t.LogLines(), Lines{"Buffer DIsplay was Saved to " +
                                 (std::filesystem::canonical(dir.path()) / "ZAMBRIX.BUF").string() +
                                 " file"});
  EXPECT_FALSE(t->buf.SaveDisplayTo(PathOf("missing/ZAMBRIX.BUF")));
  EXPECT_EQ(t.LogLines().back(),
            "Buffer DIsplay could NOT be Saved to " + PathOf("missing/ZAMBRIX.BUF") +
                " - cannot create a file in its folder: No such file or directory");
}

// The chip view on the simulated board: the page of the scroll bar read at its
// address, showing every code from 20h to 7Ah; past the address latches, the last page.
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
  EXPECT_EQ(rows[0], std::string("000000") + kFFRow);
  EXPECT_EQ(rows[1], "000010| 48656C6C 6F20576F 726C6421 0D0A0000 | Hello World!....");
  EXPECT_EQ(rows[2], "000020| 207B7A41 22607E1F FFFFFFFF FFFFFFFF |  .zA\"`..........");
  EXPECT_EQ(t->ui.Caption("Frame3"), "Device Memory Hex/Ascii Display");
  EXPECT_EQ(t.LogLines(), Lines{"Fetching Device Binary Contents to Screen"});
  t->ChangeValue("VScroll1", 0x53);
  EXPECT_EQ(Rows(t->ui.Text("BufferDisplay")).at(15),
            "0053F0| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFF3F | ...............?");
  t->ChangeValue("VScroll1", 70000);
  EXPECT_EQ(Rows(t->ui.Text("BufferDisplay"))[0].substr(0, 6), "FFFF00");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kButtonFace);
}

}  // namespace
}  // namespace zambrix
