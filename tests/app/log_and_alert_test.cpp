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

TEST(SystemLog, StatCodeSumsCharacterCodes) {
  TestCore t;
  EXPECT_EQ(t->report.StatCode(), 0);
  t->ui.SetText("SystemLog", "A");
  EXPECT_EQ(t->report.StatCode(), 65);
  t->ui.SetText("SystemLog", "\r\n\xFF");
  EXPECT_EQ(t->report.StatCode(), 13 + 10 + 255);
}

TEST(SystemLog, PrintedNumbersHaveALeadingAndTrailingBlank) {
  EXPECT_EQ(PrintedNumber(0), " 0 ");
  EXPECT_EQ(PrintedNumber(-3), "-3 ");
  EXPECT_EQ(PrintedNumber(1234567), " 1234567 ");
}

struct LogSave : ::testing::Test {
  testing::TempDir dir_;
};

TEST_F(LogSave, EmptyLogWritesHeaderStatCodeZeroAndEmptyLastLine) {
  TestCore t;
  auto path = (dir_ / "ZAMBRIX.LOG").string();
  ASSERT_TRUE(t->report.SaveLogTo(path));
  EXPECT_EQ(testing::ReadWholeFile(path),
            "ZAMBRIX SYSTEM LOG FILE - MNX RESEARCH INC. www.example.com/zambrix\r\n"
            "The following contents are the log from the Zambrix Program\r\n"
            "2026-12-06 12:34:56 StatCode: 0  Model: 0 \r\n" +
                std::string(60, '-') + "\r\n\r\n");
}

TEST_F(LogSave, DoubleClickSavesInTheCurrentFolderAndSaysSo) {
  TestCore t;
  t->link.BoardModel = 6;
  t->ui.SetText("SystemLog", "A");
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  t->Click("SystemLog:DblClick");
  std::filesystem::current_path(old);
  auto text = testing::ReadWholeFile(dir_ / "ZAMBRIX.LOG");
  EXPECT_NE(text.find(" StatCode: 65  Model: 6 \r\n"), std::string::npos);
  EXPECT_EQ(t.LogLines().back(),
            "System Log was Saved to " + (std::filesystem::canonical(dir_.path()) / "ZAMBRIX.LOG").string() +
                " file");
}

TEST_F(LogSave, AFailedWriteIsLoggedAndNeverCalledSaved) {
  TestCore t;
  auto path = (dir_ / "no-such-folder" / "ZAMBRIX.LOG").string();
  EXPECT_FALSE(t->report.SaveLogTo(path));
  EXPECT_EQ(t.LogLines().back(),
            "System Log could NOT be Saved to " + path +
                " - cannot create a file in its folder: No such file or directory");
}

TEST(Sounds, KeysMapCaseSensitivelyWithErrorAsDefault) {
  TestCore t;
  for (auto [key, file] : std::vector<std::pair<std::string, std::string>>{{"INIT", "init.wav"},
                                                                           {"ERROR", "error.wav"},
                                                                           {"DONE", "done.wav"},
                                                                           {"SLIDE", "slide.wav"},
                                                                           {"OK", "ok.wav"},
                                                                           {"ok", "error.wav"},
                                                                           {"", "error.wav"}}) {
    t->report.PlayEventSound(key);
    EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/" + file) << key;
  }
}

TEST(ErrorAlert, ResetRestoresTheSavedButtonStates) {
  TestCore t;
  auto& ui = t->ui;
  ui.SetEnabled("Program_button", true);
  ui.SetEnabled("Verify_button", false);
  ui.SetEnabled("Read_button", true);
  ui.SetEnabled("Display_button", true);
  t->report.ProgramLightOn();
  t->report.DataFlowLightOn();
  t->report.RaiseErrorAlert();
  EXPECT_EQ(ui.Colour("Program_label"), colour::kButtonFace);  // the error light turns the others off
  EXPECT_EQ(ui.Colour("DataFlow_label"), colour::kButtonFace);
  EXPECT_EQ(t->report.SavedButtonStates(), (std::array<std::string, 4>{"True", "False", "True", "True"}));
  for (auto* b : {"Program_button", "Verify_button", "Read_button", "Display_button"}) EXPECT_FALSE(ui.Enabled(b));
  ui.SetValueQuiet("ProgressBar1", 40);

  t->Click("Error_label");
  EXPECT_TRUE(ui.Enabled("Program_button"));
  EXPECT_FALSE(ui.Enabled("Verify_button"));
  EXPECT_TRUE(ui.Enabled("Read_button"));
  EXPECT_TRUE(ui.Enabled("Display_button"));
  EXPECT_EQ(ui.Colour("Error_label"), colour::kButtonFace);
  EXPECT_EQ(ui.Value("ProgressBar1"), 0);
  EXPECT_EQ(t.LogLines().back(), "Error Alert was Turned Off");
}

// Whatever ends an alert (the ERROR click after a second alert, a port test, a
// code file opened, a device chosen) gives back the four buttons as they were
// before the first alert.
TEST(ErrorAlert, EveryWayOutGivesBackTheButtonsTheFirstAlertLocked) {
  const char* buttons[] = {"Program_button", "Verify_button", "Read_button", "Display_button"};
  struct Case {
    const char* what;
    std::function<void(TestCore&)> end;
  } cases[] = {
      {"alert, alert, ERROR click",
       [](TestCore& t) {
         t->report.RaiseErrorAlert();
         t->Click("Error_label");
       }},
      {"alert, TestPort", [](TestCore& t) { t->Click("TestHardware_button"); }},
      {"alert, Open Code",
       [](TestCore& t) {
         t.dialogs.open_files.push_back("/nonexistent/file.bin");
         t->Click("mnuFileOpenCode");
       }},
      {"alert, device choice", [](TestCore& t) { t->ChooseListIndex("Device", t->ui.ListIndex("Device")); }},
  };
  for (const auto& c : cases) {
    TestCore t;
    t->shell.Form_Load();
    t->ChooseListIndex("Device", 3);  // an EPROM: Read and Display on, Program and Verify off
    std::vector<bool> before;
    for (auto* b : buttons) before.push_back(t->ui.Enabled(b));
    ASSERT_NE(before, std::vector<bool>(4, false));
    t->report.RaiseErrorAlert();
    c.end(t);
    EXPECT_NE(t->ui.Colour("Error_label"), colour::kRed) << c.what;
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(t->ui.Enabled(buttons[i]), before[i]) << c.what << " " << buttons[i];
    // The next alert saves these states afresh and its ERROR click brings them back.
    t->report.RaiseErrorAlert();
    t->Click("Error_label");
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(t->ui.Enabled(buttons[i]), before[i]) << c.what << " again";
  }
}

TEST(ErrorAlert, ClickWhileNotRedDoesNothing) {
  TestCore t;
  t->ui.SetEnabled("Read_button", false);
  t->Click("Error_label");
  EXPECT_TRUE(t.LogLines().empty());
  EXPECT_FALSE(t->ui.Enabled("Read_button"));
  EXPECT_TRUE(t.recording.Log().empty());
}

TEST(EventGuard, AnExceptionBecomesALogLineTheAlertAndABoardReset) {
  TestCore t;
  t->ui.SetHandler("Read_button", [] { throw std::out_of_range("index 2100001 outside the code buffer"); });
  t->Click("Read_button");
  EXPECT_EQ(t.LogLines().back(), "*** Operation stopped: index 2100001 outside the code buffer");
  EXPECT_EQ(t->ui.Colour("Error_label"), colour::kRed);
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/error.wav");
  EXPECT_EQ(t->link.Reg0Value, 0x40);
}

}  // namespace
}  // namespace zambrix
