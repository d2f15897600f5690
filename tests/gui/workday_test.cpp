// Files dropped and remembered, keys, the device list, the layout on a small
// screen and what the window says while and after an operation runs.
#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>

#include "buffers/digests.h"
#include "gui/display_window.h"
#include "gui/qt_services.h"
#include "workday_support.h"

namespace zambrix::gui::testing {
namespace {

using zambrix::testing::RandomImage;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::WriteWholeFile;

bool Inside(const QWidget* w) {
  return QGuiApplication::primaryScreen()->availableGeometry().contains(w->frameGeometry());
}

// A file dropped on the window opens as the code file, in the format of its
// name (Intel HEX, S-records); on the data area as the data file. Recent Files offers it again, and
// the log and the hex view are saved under names the operator chooses.
TEST_F(Workday, DroppedFilesRecentFilesAndSavesUnderAName) {
  Start("27C256", "Eprom 27C256");
  const auto hex = p->dir.path() / "four.hex";
  WriteWholeFile(hex, ":0400000041424344F2\n:00000001FF\n");
  ASSERT_TRUE(PostDrop(Hex(), Hex()->rect().center(), QString::fromStdString(hex.string())));
  EXPECT_TRUE(p->Logged("File " + hex.string() + " - was read into Buffer. 4 bytes long."));
  EXPECT_EQ(std::string(p->core().buf.CodeBuffer.begin(), p->core().buf.CodeBuffer.begin() + 4),
            "ABCD");
  auto* recent = View<QAction>("mnuFileRecent1");
  EXPECT_TRUE(recent->isVisible());
  EXPECT_EQ(recent->text().toStdString(), "&1 " + hex.string());

  // A device with a data memory shows the data area.
  auto& ui = p->core().ui;
  ui.SetVisible("FileNameDataText", true);
  ui.SetEnabled("mnuFileOpenData", true);
  const auto data = p->dir.path() / "data.bin";
  WriteWholeFile(data, "xyz");
  auto* area = View<QWidget>("FileNameDataText");
  ASSERT_TRUE(PostDrop(area, area->rect().center(), QString::fromStdString(data.string())));
  EXPECT_EQ(p->core().buf.DataFileName, data.string());

  const auto lines = p->Log().size();
  recent->trigger();
  EXPECT_GT(p->Log().size(), lines);
  EXPECT_EQ(p->core().buf.CodeFileName, hex.string());

  Dialogs().save_files = {(p->dir.path() / "run.log").string(),
                          (p->dir.path() / "page.txt").string()};
  Trigger("mnuFileSaveLogAs");
  Trigger("mnuFileSaveHexViewAs");
  EXPECT_EQ(ReadWholeFile(p->dir.path() / "run.log").rfind("ZAMBRIX SYSTEM LOG FILE", 0), 0u);
  EXPECT_NE(ReadWholeFile(p->dir.path() / "page.txt").find("000000| 41424344"), std::string::npos);
  EXPECT_TRUE(
      p->Logged("Buffer DIsplay was Saved to " + (p->dir.path() / "page.txt").string() + " file"));

  // S-records by their extension too.
  const auto srec = p->dir.path() / "five.s19";
  WriteWholeFile(srec, "S107000045464748DE\nS9030000FC\n");
  ASSERT_TRUE(PostDrop(Hex(), Hex()->rect().center(), QString::fromStdString(srec.string())));
  EXPECT_EQ(std::string(p->core().buf.CodeBuffer.begin(), p->core().buf.CodeBuffer.begin() + 4),
            "EFGH");
  EXPECT_EQ(p->core().buf.CodeFileName, srec.string());
}

// The open list fits the screen with a scroll bar; typing a part number finds
// its entry in the open list and in the closed box.
TEST_F(Workday, TheDeviceListFitsTheScreenAndFindsPartNumbers) {
  Start("27C256", "");
  auto* box = View<QComboBox>("Device");
  box->setFocus();
  Press(Qt::Key_Down, Qt::AltModifier);
  QWidget* popup = box->view()->window();
  ASSERT_TRUE(popup->isVisible());
  EXPECT_TRUE(Inside(popup));
  EXPECT_TRUE(box->view()->verticalScrollBar()->isVisible());
  PostText(popup, "29f040");
  TakePosted();
  EXPECT_EQ(box->view()->currentIndex().data().toString().trimmed(), "N/A - Flash AMD AM29F040");
  PostText(popup, "x28");  // after a pause: a new search
  QTest::qWait(QApplication::keyboardInputInterval() + 50);
  PostText(popup, "x28");
  TakePosted();
  PostKey(popup, Qt::Key_Return);
  TakePosted();
  EXPECT_EQ(p->core().dev.SelectedDeviceName, "Eeprom XICOR X28C256");

  for (const auto& [typed, entry] :
       {std::pair("24c16", "Eeprom 24C16 Serial (8 pins)"), std::pair("27c256", "Eprom 27C256")}) {
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    Type(typed);
    QTRY_COMPARE(p->core().dev.SelectedDeviceName, std::string(entry));
  }
}

// The Command menu's entries have their own access keys; Erase Chip has a
// key; each option group is one Tab stop with arrows
// inside it.
TEST_F(Workday, KeysOfTheCommandsAndTheOptionGroups) {
  Start("X28C256", "Eeprom XICOR X28C256", std::vector<std::uint8_t>(32768, 0x42));
  QSet<QChar> keys;
  int entries = 0;
  for (QAction* a : window->findChild<QMenu*>("menuCommand")->actions()) {
    if (a->isSeparator()) continue;
    ++entries;
    const qsizetype at = a->text().indexOf('&');
    ASSERT_GE(at, 0) << a->text().toStdString();
    keys.insert(a->text()[at + 1].toLower());
  }
  EXPECT_EQ(keys.size(), entries);

  // Erase Chip asks the safety question first; Cancel leaves the chip as it was.
  Dialogs().answers.push_back(MsgAnswer::Cancel);
  Press(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  const auto& asked = Dialogs().shown.back();
  EXPECT_EQ(std::tuple(asked.text, asked.title, asked.buttons),
            std::tuple(std::string("Erase the Device?"), std::string("Safety Question"),
                       MsgButtons::OkCancel));
  EXPECT_EQ(p->Chip()[0], 0x42);
  Press(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(p->Chip()[0], 0xFF);

  auto* both = View<QRadioButton>("HiLow_button(0)");
  both->setFocus();
  Press(Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget()->objectName().left(12), "HiLow_button");
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), both);
  Press(Qt::Key_Right);
  EXPECT_EQ(p->core().ui.Value("HiLow_button(1)"), 1);
  EXPECT_EQ(QApplication::focusWidget(), View<QRadioButton>("HiLow_button(1)"));
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), View<QRadioButton>("HiLow_button(1)"));
}

// The window fits a 1024 x 600 screen; the hex view and the log take the room
// of a larger one; the display window, the manual and the safety question
// open whole.
TEST_F(Workday, TheLayoutFitsSmallScreensAndGrowsOnLargeOnes) {
  Start("27C256", "Eprom 27C256");
  const QSize least = window->minimumSizeHint();
  EXPECT_LE(least.width(), 1024 - 10);
  EXPECT_LE(least.height(), 600 - 40) << "a title bar and a panel";
  window->resize(least);
  TakePosted();
  const QSize hex = Hex()->size(), log = View<QWidget>("SystemLog")->size();
  window->resize(least + QSize(300, 200));
  TakePosted();
  EXPECT_GT(Hex()->width(), hex.width());
  EXPECT_GT(Hex()->height(), hex.height());
  EXPECT_GT(View<QWidget>("SystemLog")->height(), log.height());

  PostClick(View<QPushButton>("Command1"));
  TakePosted();
  ASSERT_TRUE(window->display()->isVisible());
  EXPECT_TRUE(Inside(window->display()));
  QtPlatform platform;
  platform.open_url = [](const QUrl&) { return false; };
  // Without a viewer of the desktop, the manual opens in the built-in browser.
  const std::string manual = (p->dir.path() / "manual.html").string();
  WriteWholeFile(manual, "<html><title>Manual</title><p>Read a chip</p></html>");
  EXPECT_EQ(platform.OpenDocument(manual), std::nullopt);
  EXPECT_TRUE(platform.BuiltInViewer()->toPlainText().contains("Read a chip"));
  EXPECT_TRUE(Inside(platform.BuiltInViewer()));
  EXPECT_NE(platform.OpenDocument(manual + ".gone"), std::nullopt);

  QtDialogs dialogs;
  int wide = 0, needed = 0;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    wide = box->width();
    QFont bold = box->font();
    bold.setBold(true);
    needed = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 120;
    box->reject();
  });
  dialogs.MessageBox("Program the Device?", MsgButtons::OkCancel, MsgIcon::Question,
                     "Safety Question");
  EXPECT_GE(wide, needed);
}

// While a read runs the bar shows the time left; afterwards the status bar
// keeps the result line with the time taken, and the log the read's check
// figures after its checksum line.
TEST_F(Workday, TimeLeftWhileReadingAndTheResultAfterwards) {
  const auto image = RandomImage(65536, 5);
  Start("27C512", "Eprom 27C512", image);
  qint64 ms = 0;
  window->binder().run_report().now_ms = [&ms] { return ms += 40; };
  window->binder().SetPaintPacing(0, 0);
  QStringList said;
  window->binder().on_paint = [&] { said << View<QProgressBar>("ProgressBar1")->format(); };
  Press(Qt::Key_F5);
  window->binder().on_paint = nullptr;
  EXPECT_FALSE(said.filter(QRegularExpression("^%p% - about \\d+:\\d\\d left$")).isEmpty())
      << said.join('|').toStdString();
  EXPECT_EQ(View<QProgressBar>("ProgressBar1")->format(), "%p%");
  const std::string result = Shown("sbStatusBar");
  EXPECT_EQ(result.rfind("65536 bytes Read from Device in ", 0), 0u) << result;
  EXPECT_EQ(result.substr(result.size() - 2), " s");

  const auto log = p->Log();
  const auto sum = std::find_if(log.begin(), log.end(), [](const std::string& l) {
    return l.starts_with("Device CHKSUMM = $");
  });
  ASSERT_GE(std::distance(sum, log.end()), 3);
  const Digests d = Digests::Of(image);
  EXPECT_EQ(std::vector<std::string>(sum + 1, sum + 3),
            (std::vector<std::string>{"Device CRC-32 = " + d.crc32, "Device SHA-1 = " + d.sha1}));
}

}  // namespace
}  // namespace zambrix::gui::testing
