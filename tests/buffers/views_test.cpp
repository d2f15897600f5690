#include <cstring>

#include "buffer_fixture.h"

namespace zambrix {
namespace {

using testing::BufferTest;

class Views : public BufferTest {
 protected:
  // The rows of a view, without the line breaks in front of them.
  std::vector<std::string> Rows(const std::string& control = "BufferDisplay") {
    std::vector<std::string> rows;
    const std::string& text = t->ui.Text(control);
    for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos;) {
      pos += 2;
      rows.push_back(text.substr(pos, text.find("\r\n", pos) - pos));
    }
    return rows;
  }
  static constexpr char kHello[] = "Hello World!\r\n\0\0";
  static constexpr char kHelloRow[] =
      "000010| 48656C6C 6F20576F 726C6421 0D0A0000 | Hello.World!....";
};

TEST_F(Views, PrintableCharsHoldExactlyTheNinetyOneCharacters) {
  const auto& p = t->buf.PrintableChars;
  EXPECT_EQ(std::count(p.begin(), p.end(), true), 91);
  for (unsigned char c : {' ', '"', '`', '~', '\x7F', '\x80'}) EXPECT_FALSE(p[c]) << int(c);
}

TEST_F(Views, AnAllFFPageShowsSixteenRowsOfFFAndDots) {
  std::fill(t->buf.CodeBuffer.begin(), t->buf.CodeBuffer.begin() + 256, 0xFF);
  t->buf.DisplayCodeMemory();
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[15], "0000F0| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");
  for (const auto& r : rows) EXPECT_EQ(r.size(), 62u);
}

TEST_F(Views, TheHelloRowInTheCodeAndDataViews) {
  std::memcpy(t->buf.CodeBuffer.data() + 16, kHello, 16);
  std::memcpy(t->buf.DataBuffer.data() + 16, kHello, 16);
  t->buf.DisplayCodeMemory();
  EXPECT_EQ(Rows()[1], kHelloRow);
  t->buf.DisplayDataMemory();
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[0], "");  // the title is followed by an empty line
  EXPECT_EQ(rows[2], kHelloRow);
  EXPECT_EQ(t->ui.Text("BufferDisplay").substr(0, 34), "             *** BUFFER DATA ***\r\n");
}

TEST_F(Views, BlankAndBraceFollowTheRuleOfTheirView) {
  std::uint8_t bytes[16] = {0x20, 0x7B, 0x7A, 0x41, 0x22, 0x60, 0x7E, 0x1F,
                            0,    0,    0,    0,    0,    0,    0,    0xFF};
  auto& b = t->buf;
  EXPECT_EQ(b.HexRow(0x123456, bytes, Buffers::CharRule::Buffer),
            "\r\n123456| 207B7A41 22607E1F 00000000 000000FF | .{zA............");
  EXPECT_EQ(b.HexRow(0x123456, bytes, Buffers::CharRule::Chip),
            "\r\n123456| 207B7A41 22607E1F 00000000 000000FF |  .zA\"`..........");
}

TEST_F(Views, ScrollingToDataPage63ShowsTheLastDataAddresses) {
  t->dev.DeviceKey = "MJ";
  t->ui.SetCaption("Show_button", "Show Code");
  t->ChangeValue("VScroll1", 2);  // no mode yet: nothing is shown
  EXPECT_EQ(t->ui.Text("BufferDisplay"), "");
  t->buf.DisplayMode = "Read";
  t->ChangeValue("VScroll1", 63);
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[1].substr(0, 8), "001F80| ");
  EXPECT_EQ(rows[8].substr(0, 8), "001FF0| ");
  EXPECT_EQ(t->link.CurrentAddress, 0x1F80);
  EXPECT_EQ(t->link.AddressMid, 0x1F);
}

TEST_F(Views, APageOutsideABufferShowsTheNearestPageInside) {
  auto& b = t->buf;
  b.CodeBuffer[0x200A00] = 0xAB;
  t->ui.SetValueQuiet("VScroll1", 9000);
  b.DisplayCodeMemory();
  EXPECT_EQ(Rows()[0], "200A00| AB000000 00000000 00000000 00000000 | ................");
  t->ui.SetValueQuiet("VScroll1", 64);
  b.DisplayDataMemory();
  EXPECT_EQ(Rows()[1].substr(0, 6), "001F80");
  t->ui.SetValueQuiet("VScroll1", -5);
  b.DisplayCodeMemory();
  EXPECT_EQ(Rows()[0].substr(0, 6), "000000");
}

TEST_F(Views, ShowTogglesBetweenCodeAndDataForMJ) {
  auto& ui = t->ui;
  t->dev.DeviceKey = "MJ";
  t->buf.CodeSize = 2048;
  t->buf.DataBuffer[0] = 0x44;
  t->buf.CodeBuffer[0] = 0x43;
  ui.SetValueQuiet("VScroll1", 5);
  t->Click("Show_button");  // it read "Show Data": the data view comes up
  EXPECT_EQ(ui.Caption("Show_button"), "Show Code");
  EXPECT_EQ(ui.Max("VScroll1"), 63);
  EXPECT_EQ(ui.Value("VScroll1"), 0);
  EXPECT_EQ(ui.Caption("Frame3"), "Data Buffer Hex/Ascii Display");
  EXPECT_EQ(Rows()[1].substr(0, 10), "000000| 44");
  t->Click("Show_button");
  EXPECT_EQ(ui.Caption("Show_button"), "Show Data");
  EXPECT_EQ(ui.Max("VScroll1"), 7);
  EXPECT_EQ(Rows()[0].substr(0, 10), "000000| 43");
  EXPECT_EQ(t->buf.DisplayMode, "");  // the toggle leaves the mode alone

  t->dev.DeviceKey = "P4";  // any other device: back to the code buffer in read mode
  t->buf.DisplayMode = "DisplayEprom";
  t->Click("Show_button");
  EXPECT_EQ(t->buf.DisplayMode, "Read");
  EXPECT_TRUE(t.recording.Log().empty());  // no chip read on the way
}

TEST_F(Views, EraseFillsExactlyItsRangeAndDisablesProgramming) {
  auto& b = t->buf;
  auto& ui = t->ui;
  b.CodeBuffer[0x100001] = 0x12;
  b.DataBuffer[8193] = 0x34;
  ui.SetValue("CheckCode", 1);
  t->Click("Erase_button");
  EXPECT_TRUE(std::all_of(b.CodeBuffer.begin(), b.CodeBuffer.begin() + 0x100001,
                          [](auto v) { return v == 0xFF; }));
  EXPECT_EQ(b.CodeBuffer[0x100001], 0x12);
  EXPECT_EQ(b.DataBuffer[0], 0x00);
  EXPECT_FALSE(ui.Enabled("Program_button"));
  EXPECT_TRUE(ui.Enabled("menuProgramData"));
  EXPECT_EQ(Rows()[0], "000000| FFFFFFFF FFFFFFFF FFFFFFFF FFFFFFFF | ................");

  ui.SetValue("CheckCode", 0);
  ui.SetValue("CheckData", 1);
  t->Click("menuEraseCode");
  EXPECT_TRUE(std::all_of(b.DataBuffer.begin(), b.DataBuffer.begin() + 8193,
                          [](auto v) { return v == 0xFF; }));
  EXPECT_EQ(b.DataBuffer[8193], 0x34);
  EXPECT_FALSE(ui.Enabled("menuProgramData"));
  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{"Buffer has been Erased", "Buffer has been Erased"}));
}

TEST_F(Views, DoubleClickSavesTheViewToZambrixBuf) {
  t->link.BoardModel = 5;
  t->ui.SetText("BufferDisplay", "AB");
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  t->Click("BufferDisplay:DblClick");
  std::filesystem::current_path(old);
  EXPECT_EQ(ReadAll(PathOf("ZAMBRIX.BUF")),
            "ZAMBRIX BUFFER DISPLAY FILE - MNX RESEARCH INC. www.example.com/zambrix\r\n"
            "The following contents are the contents from Buffer DIsplay\r\n"
            "2026-12-06 12:34:56 StatCode: 131  Model: 5 \r\n" +
                std::string(60, '-') + "\r\nAB\r\n");
  EXPECT_EQ(t.LogLines(),
            (std::vector<std::string>{"Buffer DIsplay was Saved to ZAMBRIX.BUF file"}));
  EXPECT_EQ(t.sound.played, (std::vector<std::string>{"/opt/zambrix/ok.wav"}));

  auto bad = PathOf("missing/ZAMBRIX.BUF");
  EXPECT_FALSE(t->buf.SaveDisplayTo(bad));
  EXPECT_EQ(t.LogLines().back(), "Buffer DIsplay could NOT be Saved to " + bad);
}

TEST_F(Views, Command1ShowsCodePageZeroInTheDisplayWindow) {
  std::memcpy(t->buf.CodeBuffer.data() + 16, kHello, 16);
  t->ui.SetValueQuiet("frmDisplay1.VScroll1", 3);
  t->Click("Command1");
  EXPECT_TRUE(t->ui.Visible("frmDisplay1"));
  auto rows = Rows("frmDisplay1.BufferDisplay");
  ASSERT_EQ(rows.size(), 16u);
  EXPECT_EQ(rows[1], kHelloRow);
  EXPECT_EQ(t->ui.Text("BufferDisplay"), "");
}

}  // namespace
}  // namespace zambrix
