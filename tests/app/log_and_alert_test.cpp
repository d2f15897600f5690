#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace zambrix {
namespace {

using testing::TestCore;

TEST(SystemLog, EveryEntryStartsWithALineBreakThenTimeAndMarker) {
  TestCore t;
  t->report.LogMessage("first");
  t->report.LogMessage("second");
  EXPECT_EQ(t->report.LogText(), "\r\n12:34:56>  first\r\n12:34:56>  second");
  EXPECT_EQ(t.LogLines(), (std::vector<std::string>{"first", "second"}));
}

// A double click saves the log in the current folder under a header whose
// StatCode sums the log's character codes; a failed save is never called saved.
TEST(LogSave, DoubleClickSavesInTheCurrentFolderAndAFailureSaysSo) {
  testing::TempDir dir;
  TestCore t;
  t->link.BoardModel = 6;
  t->ui.SetText("SystemLog", "A\xFF");
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  t->Click("SystemLog:DblClick");
  std::filesystem::current_path(old);
  EXPECT_EQ(testing::ReadWholeFile(dir / "ZAMBRIX.LOG"),
            "ZAMBRIX SYSTEM LOG FILE - MNX RESEARCH INC. www.example.com/zambrix\r\n"
            "The following contents are the log from the Zambrix Program\r\n"
            "2026-12-06 12:34:56 StatCode: 320  Model: 6 \r\n" +
                std::string(60, '-') + "\r\nA\xFF\r\n");
  const auto saved = (std::filesystem::canonical(dir.path()) / "ZAMBRIX.LOG").string();
  EXPECT_EQ(t.LogLines().back(), "System Log was Saved to " + saved + " file");
  const auto path = (dir / "no-such-folder" / "ZAMBRIX.LOG").string();
  EXPECT_FALSE(t->report.SaveLogTo(path));
  EXPECT_EQ(t.LogLines().back(),
            "System Log could NOT be Saved to " + path +
                " - cannot create a file in its folder: No such file or directory");
}

// Whatever ends an alert (the ERROR click after a second alert, a port test, a
// code file opened, a device chosen) gives back the four buttons as they were
// before the first alert.
TEST(ErrorAlert, EveryWayOutGivesBackTheButtonsTheFirstAlertLocked) {
  const char* buttons[] = {"Program_button", "Verify_button", "Read_button", "Display_button"};
  const std::pair<const char*, std::function<void(TestCore&)>> cases[] = {
      {"alert, alert, ERROR click",
       [](TestCore& t) { t->report.RaiseErrorAlert(), t->Click("Error_label"); }},
      {"alert, TestPort", [](TestCore& t) { t->Click("TestHardware_button"); }},
      {"alert, Open Code",
       [](TestCore& t) {
         t.dialogs.open_files.push_back("/no/file"), t->Click("mnuFileOpenCode");
       }},
      {"alert, device choice",
       [](TestCore& t) { t->ChooseListIndex("Device", t->ui.ListIndex("Device")); }},
  };
  for (const auto& [what, end] : cases) {
    TestCore t;
    t->shell.Form_Load();
    t->ChooseListIndex("Device", 3);  // an EPROM: Read and Display on, Program and Verify off
    std::vector<bool> before;
    for (auto* b : buttons) before.push_back(t->ui.Enabled(b));
    ASSERT_NE(before, std::vector<bool>(4, false));
    t->report.RaiseErrorAlert();
    end(t);
    EXPECT_NE(t->ui.Colour("Error_label"), colour::kRed) << what;
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_EQ(t->ui.Enabled(buttons[i]), before[i]) << what << " " << buttons[i];
    // The next alert saves these states afresh and its ERROR click brings them back.
    t->report.RaiseErrorAlert();
    t->Click("Error_label");
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_EQ(t->ui.Enabled(buttons[i]), before[i]) << what << " again";
  }
}

TEST(ErrorAlert, ClickWhileNotRedDoesNothing) {
  TestCore t;
  t->ui.SetEnabled("Read_button", false);
  t->Click("Error_label");
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_FALSE(t->ui.Enabled("Read_button"));
}

TEST(EventGuard, AnExceptionBecomesALogLineTheAlertAndABoardReset) {
  TestCore t;
  t->ui.SetHandler("Read_button",
                   [] { throw std::out_of_range("index 2100001 outside the code buffer"); });
  t->Click("Read_button");
  EXPECT_EQ(t.LogLines().back(), "*** Operation stopped: index 2100001 outside the code buffer");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t->link.Reg0Value, 0x40);
}

}  // namespace
}  // namespace zambrix
