// The code buffer edited in its hex view, and the chip compared with it after
// a verify that does not match, as the operator's keys and clicks reach them.
#include <QAbstractItemModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "gui/differences_window.h"
#include "gui/hex_edit_view.h"
#include "workday_support.h"

namespace zambrix::gui::testing {
namespace {

using zambrix::testing::RandomImage;
using zambrix::testing::ReadWholeFile;
using Edit = HexEditView;

// Typing overwrites bytes in the hex and character columns; the changed bytes
// and the label say so until Save writes them to the file that was opened.
TEST_F(Workday, TypingEditsTheBufferUndoRedoAndSaveToTheOpenedFile) {
  Start("27C256", "Eprom 27C256");
  const auto image = RandomImage(32768, 31);
  p->Open(image);
  const std::string file = (p->dir.path() / "image0.bin").string();
  EXPECT_EQ(Shown("FileNameCodeSize"), "(32768 Bytes)");
  auto& buf = p->core().buf;

  ClickCell(1, Edit::HexColumn(2));  // address 12h
  Type("4a");
  ClickCell(1, Edit::CharColumn(4));
  Type("Z");
  EXPECT_EQ(buf.CodeBuffer[0x12], 0x4A);
  EXPECT_EQ(buf.CodeBuffer[0x14], 'Z');
  EXPECT_EQ(buf.Cursor.address, 0x15);
  EXPECT_EQ(Marked(Edit::ChangedColour()), QStringList({"4A", "J", "5A", "Z"}));
  EXPECT_EQ(Shown("FileNameCodeText"), file + " (changed)");

  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(buf.CodeBuffer[0x14], image[0x14]);
  Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(buf.CodeBuffer[0x14], 'Z');

  // An edit is the operator's own change: Save writes it to the same file.
  const auto asked = Dialogs().shown.size();
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Dialogs().shown.size(), asked);
  const std::string saved = ReadWholeFile(file);
  EXPECT_EQ(std::pair(saved[0x12], saved[0x14]), std::pair('\x4A', 'Z'));
  EXPECT_EQ(Shown("FileNameCodeText"), file);
  EXPECT_TRUE(Marked(Edit::ChangedColour()).isEmpty());
}

// The arrow keys and Ctrl+Tab move the cursor; a close with bytes changed and
// not saved asks first, and No keeps the window with its changes.
TEST_F(Workday, KeysMoveTheCursorAndACloseAsksForUnsavedChanges) {
  Start("27C256", "Eprom 27C256");
  p->Open(std::vector<std::uint8_t>(32768, 0x11));
  auto& buf = p->core().buf;
  ClickCell(0, Edit::HexColumn(0));
  for (Qt::Key k : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left}) Press(k);
  EXPECT_EQ(buf.Cursor.address, 0x11);
  Type("a5");
  Press(Qt::Key_Up);
  Press(Qt::Key_Tab, Qt::ControlModifier);
  Type("q");
  EXPECT_EQ(buf.CodeBuffer[0x11], 0xA5);
  EXPECT_EQ(buf.CodeBuffer[0x02], 'q');

  Dialogs().answers = {MsgAnswer::No, MsgAnswer::No};
  const auto asked = Dialogs().shown.size();
  Trigger("mnuFileExit");
  PostClose(window.get());
  TakePosted();
  EXPECT_EQ(Dialogs().shown.size(), asked + 2);
  EXPECT_EQ(Dialogs().shown.back().title, "Unsaved Changes");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(buf.CodeBuffer[0x11], 0xA5);
  Dialogs().answers = {MsgAnswer::Yes};
  PostClose(window.get());
  TakePosted();
  EXPECT_FALSE(window->isVisible());
}

// A taller window shows more rows from the page on; their cells are clicked
// and typed in as the page's own, and the cursor leaves them for the next page.
TEST_F(Workday, ATallerViewShowsMoreRowsToEdit) {
  Start("27C256", "Eprom 27C256");
  p->Open(std::vector<std::uint8_t>(32768, 0x11));
  auto& buf = p->core().buf;
  const auto rows = [this] {
    TakePosted();  // the page's text is in the view
    return Hex()->document()->blockCount() - 1;
  };
  EXPECT_EQ(rows(), 16);
  window->resize(window->width(), window->height() + 30 * Hex()->fontMetrics().lineSpacing());
  TakePosted();
  const int shown = rows();
  ASSERT_GT(shown, 24);
  EXPECT_EQ(buf.ViewRows, shown);
  ClickCell(20, Edit::HexColumn(3));
  Type("5a");
  EXPECT_EQ(buf.CodeBuffer[0x143], 0x5A);
  EXPECT_EQ(p->core().ui.Value("VScroll1"), 0);
  for (int row = 20; row < shown; ++row) Press(Qt::Key_Down);
  EXPECT_EQ(p->core().ui.Value("VScroll1"), (0x144 + (shown - 20) * 16) / 256);
  // The last page shows no rows past the chip's end.
  p->core().ui.SetValue("VScroll1", 127);
  TakePosted();
  EXPECT_EQ(rows(), 16);
  EXPECT_NE(Shown("BufferDisplay").find("007FF0| 11111111"), std::string::npos);
}

// Go to an address (Ctrl+G), fill a range from the Edit menu (one step to
// undo), and the buffer's check figures logged on request.
TEST_F(Workday, GoToFillAndChecksumOfTheBuffer) {
  Start("27C256", "Eprom 27C256");
  p->Open(std::vector<std::uint8_t>(32768, 0x11));
  auto& buf = p->core().buf;
  Dialogs().inputs = {std::string("7f3Ch"), std::string("zz")};
  Press(Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(std::pair(p->core().ui.Value("VScroll1"), buf.Cursor.address), std::pair(0x7F, 0x7F3C));
  EXPECT_EQ(QApplication::focusWidget(), Hex());
  Type("e");
  EXPECT_EQ(buf.CodeBuffer[0x7F3C], 0xE1);
  Press(Qt::Key_Z, Qt::ControlModifier);
  Press(Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(Dialogs().shown.back().text,
            "\"zz\" is not an address of the Code Buffer (0 to 7FFF).");

  Dialogs().inputs = {std::string("100-1FF=0")};
  Trigger("mnuEditFill");
  EXPECT_TRUE(p->Logged("Buffer Filled with 0 from 100 to 1FF"));
  EXPECT_EQ(std::count(buf.CodeBuffer.begin(), buf.CodeBuffer.begin() + 32768, 0), 256);
  EXPECT_EQ(p->core().ui.Value("VScroll1"), 1);
  Trigger("mnuEditChecksum");
  EXPECT_TRUE(p->Logged("Buffer CHKSUMM = $6F00 (32768 bytes)"));
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(std::count(buf.CodeBuffer.begin(), buf.CodeBuffer.begin() + 32768, 0x11), 32768);
}

// A verify that does not match shows the chip against the buffer at its first
// difference; F3 and Shift+F3 go through them; the list holds every one and is
// saved as text; Esc, then the menu entry's key, acknowledge the alert.
TEST_F(Workday, AFailedVerifyShowsEveryDifference) {
  const auto image = RandomImage(32768, 32);
  auto chip = image;
  for (int a : {0x10, 0x11, 0x7FFF}) chip[static_cast<std::size_t>(a)] ^= 0xFF;
  Start("27C256", "Eprom 27C256", chip);
  p->Open(image);
  window->resize(window->minimumSizeHint());
  TakePosted();
  const int wide = window->width();
  Press(Qt::Key_F8);
  TakePosted();  // the layout's answer to the frame's new caption
  EXPECT_EQ(window->width(), wide) << "the long caption is cut, not widening the window";
  auto& ui = p->core().ui;
  const auto line = [&](int a) {
    const auto i = static_cast<std::size_t>(a);
    return Buffers::DifferenceLine({a, image[i], chip[i]});
  };
  EXPECT_EQ(Shown("Frame3"),
            "Device against Buffer Hex/Ascii Display - difference 1 of 3: " + line(0x10));
  EXPECT_EQ(Marked(Edit::DifferenceColour()).size(), 4);  // two bytes, hex and character
  EXPECT_EQ(
      Shown("sbStatusBar")
          .rfind("Device Memory DOES NOT VERIFY with Buffer Contents - " + line(0x10) + " (after ",
                 0),
      0u);
  Press(Qt::Key_F3);
  Press(Qt::Key_F3);
  EXPECT_EQ(ui.Value("VScroll1"), 127);
  EXPECT_NE(Shown("Frame3").find("difference 3 of 3"), std::string::npos);
  Press(Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(std::pair(ui.Value("VScroll1"), p->core().buf.Cursor.address), std::pair(0, 0x11));

  Trigger("mnuEditDifferences");
  auto* list = window->differences();
  ASSERT_TRUE(list->isVisible());
  const auto* rows = list->table()->model();
  ASSERT_EQ(rows->rowCount(), 3);
  EXPECT_EQ(rows->index(2, 0).data().toString(), "007FFF");
  Dialogs().save_files.push_back((p->dir.path() / "diff.txt").string());
  PostClick(View<QPushButton>("frmDifferences.cmdSave"));
  TakePosted();
  EXPECT_EQ(ReadWholeFile(p->dir.path() / "diff.txt"),
            "Device Eprom 27C256 against Buffer " + (p->dir.path() / "image0.bin").string() +
                ": 3 bytes differ\r\n" + line(0x10) + "\r\n" + line(0x11) + "\r\n" + line(0x7FFF) +
                "\r\n");

  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Press(Qt::Key_Escape);
  EXPECT_TRUE(p->Logged("Error Alert was Turned Off"));
  EXPECT_FALSE(View<QAction>("menuErrorReset")->isEnabled());
  Press(Qt::Key_F8);
  EXPECT_EQ(ui.Colour("Error_label"), colour::kRed);
  Press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_NE(ui.Colour("Error_label"), colour::kRed);
}

}  // namespace
}  // namespace zambrix::gui::testing
