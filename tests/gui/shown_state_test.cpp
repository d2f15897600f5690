// What the window shows and offers stays true: the buffer's name, the keys of
// locked commands, the questions before a chip or a file is written, the board
// and the saved setups.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "setup/setup_file.h"
#include "workday_support.h"

namespace zambrix::gui::testing {
namespace {

namespace fs = std::filesystem;
using zambrix::testing::Programmer;
using zambrix::testing::RandomImage;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::WriteWholeFile;

// A window over a programmer on the simulated board, shown and active so that
// its keys reach it.
class ShownState : public Workday {
 protected:
  void Click(const std::string& button) {
    QTest::mouseClick(View<QPushButton>(button), Qt::LeftButton);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(window.get(), key, mods);
  }
  bool Lit(const std::string& lamp) const {
    return p->core().ui.Colour(lamp) != colour::kButtonFace;
  }
  std::size_t Asked() const { return p->t->dialogs.shown.size(); }
};

// After a read or an erase the label says what the buffer holds and Ctrl+S asks
// for a name: the file that was opened is never written over with other bytes.
TEST_F(ShownState, TheBufferNameFollowsWhatItHolds) {
  Start("27C256", "Eprom 27C256");
  const auto image = RandomImage(32768, 4);
  p->Open(image);
  const fs::path opened = p->dir.path() / "image0.bin";
  Click("Read_button");
  EXPECT_EQ(Shown("FileNameCodeText"), "read from Eprom 27C256");
  Key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(p->t->dialogs.shown.back().kind, "save");  // cancelled by the script
  EXPECT_EQ(ReadWholeFile(opened), std::string(image.begin(), image.end()));
  Click("Erase_button");
  EXPECT_EQ(Shown("FileNameCodeText"), "erased");
  p->t->dialogs.save_files.push_back((p->dir.path() / "erased.bin").string());
  View<QAction>("tbToolBar.Buttons(2)")->trigger();
  EXPECT_EQ(ReadWholeFile(p->dir.path() / "erased.bin"), std::string(32768, '\xFF'));
  EXPECT_EQ(ReadWholeFile(opened), std::string(image.begin(), image.end()));
}

// The log and the hex view keep their fixed names but never replace a file this
// run did not write: a numbered copy is written beside it, and saved again.
TEST_F(ShownState, FixedNameSavesKeepFilesTheyDidNotWrite) {
  Start("27C256", "Eprom 27C256");
  const zambrix::testing::TempDir folder;
  const fs::path here = fs::canonical(folder.path());
  WriteWholeFile(here / "ZAMBRIX.LOG", "theirs");
  WriteWholeFile(here / "ZAMBRIX.BUF", "theirs");
  const auto old = fs::current_path();
  fs::current_path(here);
  for (int i = 0; i < 2; ++i) {
    QTest::mouseDClick(View<TextView>("SystemLog")->viewport(), Qt::LeftButton);
    QTest::mouseDClick(View<TextView>("BufferDisplay")->viewport(), Qt::LeftButton);
  }
  fs::current_path(old);
  EXPECT_EQ(ReadWholeFile(here / "ZAMBRIX.LOG"), "theirs");
  EXPECT_EQ(ReadWholeFile(here / "ZAMBRIX.BUF"), "theirs");
  EXPECT_FALSE(fs::exists(here / "ZAMBRIX-2.LOG"));
  EXPECT_NE(ReadWholeFile(here / "ZAMBRIX-1.BUF").find("Buffer DIsplay"), std::string::npos);
  const auto lines = p->Log();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "System Log was Saved to " + (here / "ZAMBRIX-1.LOG").string() + " file"),
            2);
  EXPECT_TRUE(
      p->Logged("Buffer DIsplay was Saved to " + (here / "ZAMBRIX-1.BUF").string() + " file"));
}

// After a failed programming the error alert locks Program, Verify, Read and
// Display, their menu entries and keys with them; the Program light goes off
// with ERROR, whatever turns the alert off.
TEST_F(ShownState, TheErrorAlertLocksTheKeysOfItsCommands) {
  sim::SimFaults faults;
  faults.dead_byte = 0x10;
  Start("27C256", "Eprom 27C256", {}, faults);
  p->Open(RandomImage(32768, 9));
  Click("Program_button");
  ASSERT_TRUE(p->Logged("*** Programming Failure ***"));
  EXPECT_TRUE(Lit("Program_label"));  // with ERROR, as the failure report gives it
  const auto asked = Asked();
  const auto lines = p->Log().size();
  for (Qt::Key key : {Qt::Key_F5, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9}) Key(key);
  EXPECT_EQ(Asked(), asked) << "no safety question";
  EXPECT_EQ(p->Log().size(), lines) << "no command ran";
  EXPECT_FALSE(View<QAction>("menuProgramCode")->isEnabled());
  p->Open(RandomImage(32768, 10));  // the open turns ERROR off
  EXPECT_FALSE(Lit("Error_label"));
  EXPECT_FALSE(Lit("Program_label"));
  EXPECT_TRUE(View<QAction>("menuProgramCode")->isEnabled());
}

// Cancel in the name prompt saves nothing; the Save entries show the names
// stored in their slots. (An empty name: the setup files' tests.)
TEST_F(ShownState, SavingASetupCancelsAndTheSaveEntriesShowTheStoredNames) {
  Start("27C256", "Eprom 27C256");
  p->core().setup.SettingsDir = p->dir.str();
  auto& inputs = p->t->dialogs.inputs;
  inputs = {std::nullopt, std::string("Boot")};
  for (int i = 0; i < 2; ++i) View<QAction>("SaveSetup1")->trigger();
  EXPECT_TRUE(p->Logged("Saving Setup EPSetup1.INI was Canceled by Operator"));
  emit window->findChild<QMenu*>("Setup")->aboutToShow();
  EXPECT_EQ(View<QAction>("SaveSetup1")->text(), "Save Setup #&1: Boot");
  EXPECT_EQ(View<QAction>("SaveSetup2")->text(), "Save Setup #&2");
}

// A setup whose code file is missing says so and leaves the label on what the
// buffer holds; its port text does not choose the port over its option lines.
TEST_F(ShownState, ARestoredSetupSaysWhatItDidNotLoad) {
  Start("27C256", "Eprom 27C256");
  p->core().setup.SettingsDir = p->dir.str();
  std::array<std::string, kSetupLines> values = {"Base",  "/no/such/file.bin",
                                                 "10",    "False",
                                                 "True",  "False",
                                                 "False", "0",
                                                 "0",     "True",
                                                 "False", "False",
                                                 "3BCh",  "True",
                                                 "False", "False",
                                                 "50",    "1",
                                                 "0"};
  WriteWholeFile(p->dir.path() / "EPSetup3.INI", SetupText(values));
  const std::string label = Shown("FileNameCodeText");
  emit window->findChild<QMenu*>("Setup")->aboutToShow();
  View<QAction>("LoadSetup3")->trigger();
  EXPECT_TRUE(p->Logged("The setup's code file /no/such/file.bin was NOT loaded"));
  EXPECT_TRUE(p->Logged("SETUP RESTORED FROM EPSetup3.INI without its code file"));
  EXPECT_EQ(Shown("FileNameCodeText"), label);
  EXPECT_EQ(p->core().link.PortAddress, 0x378);
  EXPECT_EQ(Shown("PortSelected"), "378h");
}

// A board that stops answering during a read shows as lost, as a detection that
// found nothing would; the toolbar's Save and File / Save Code agree.
TEST_F(ShownState, TheHardwareLabelAndBothFormsOfACommandStayTrue) {
  sim::SimFaults faults;
  faults.vanish_after = 700000;
  Start("27C080", "Eprom 27C080", {}, faults);
  EXPECT_EQ(Shown("ZambrixHardwareFound"), "MODEL 6 - PC port 378h");
  Click("Read_button");
  ASSERT_TRUE(p->core().ops.BoardLost);
  EXPECT_EQ(Shown("ZambrixHardwareFound"), "NO HARDWARE FOUND");
  EXPECT_EQ(Shown("Ready_label"), "NotReady");

  p->Open(RandomImage(1000, 2));
  p->Choose("Eprom 27C256");
  EXPECT_TRUE(View<QAction>("mnuFileSaveCode")->isEnabled());
  EXPECT_EQ(View<QAction>("tbToolBar.Buttons(2)")->isEnabled(),
            View<QAction>("mnuFileSaveCode")->isEnabled());
}

}  // namespace
}  // namespace zambrix::gui::testing
