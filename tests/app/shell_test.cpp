#include <gtest/gtest.h>

#include "support/fakes.h"

namespace zambrix {
namespace {

using testing::TestCore;

// What is stored is read; garbage and missing values give the defaults.
TEST(WindowPlacement, StoredValuesAreReadAndGarbageFallsBack) {
  TestCore t;
  t.settings.Save("ZAMBRIX6", "Settings", "MainLeft", "1500");
  t.settings.Save("ZAMBRIX6", "Settings", "MainTop", "abc");
  t.settings.Save("ZAMBRIX6", "Settings", "MainWidth", "12345.5");
  t->shell.Form_Load();
  const auto& f = t->ui.Get("frmMain");
  EXPECT_EQ(std::tuple(f.left, f.top, f.width, f.height), std::tuple(1500, 100, 12345.5, 6500));
}

TEST(WindowPlacement, UnloadStoresUnlessMinimised) {
  TestCore t;
  t->shell.Form_Load();
  t->ui.SetGeometry("frmMain", 300, 400, 15000, 9000);
  t->shell.Form_Unload();
  EXPECT_EQ(t.settings.Get("ZAMBRIX6", "Settings", "MainWidth"), "15000");

  TestCore m;
  m.settings.Save("ZAMBRIX6", "Settings", "MainLeft", "777");
  m->shell.Form_Load();
  m->ui.SetGeometry("frmMain", 1, 2, 3, 4);
  m->ui.SetWindowState("frmMain", 1);
  m->shell.Form_Unload();
  EXPECT_EQ(m.settings.Get("ZAMBRIX6", "Settings", "MainLeft"), "777");
  EXPECT_FALSE(m.settings.Get("ZAMBRIX6", "Settings", "MainTop").has_value());
}

TEST(StartUp, EndsWithTheInitSoundAnEmptyLogAndTheIndicatorsOff) {
  TestCore t;
  t->shell.Form_Load();
  EXPECT_TRUE(t->report.LogText().empty());
  EXPECT_EQ(t.sound.played.back(), "/opt/zambrix/init.wav");
  EXPECT_EQ(t->ui.Caption("PortSelected"), "None");
  EXPECT_EQ(t->ui.Caption("Ready_label"), "NotReady");
  EXPECT_EQ(t->ui.Colour("Ready_label"), colour::kRed);
  for (auto* l : {"Error_label", "Program_label", "DataFlow_label"}) {
    EXPECT_EQ(t->ui.Colour(l), colour::kButtonFace) << l;
  }
}

TEST(Routing, ToolbarKeysAreCaseSensitiveAndUnknownKeysDoNothing) {
  TestCore t;
  t->shell.tbToolBar_ButtonClick("opencode");
  t->shell.tbToolBar_ButtonClick("Camera");
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST(Routing, ToolsOptionsAlwaysSaysNotAvailable) {
  TestCore t;
  t->Click("mnuToolsOptions");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "This menu option is not available.");
  EXPECT_EQ(t.dialogs.shown[0].buttons, MsgButtons::Ok);
}

TEST(Routing, ForwardingMenuEntriesRunTheButtonEvenWhenItIsDisabled) {
  TestCore t;
  t->shell.Form_Load();
  ASSERT_FALSE(t->ui.Enabled("Blank_button"));
  t->dev.DeviceKey = "SC";
  t->dev.DeviceClass = "S";
  t->ui.SetValueQuiet("CheckCode", 1);
  t->Click("menuBlankCheck");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "Please Write Missing Routines at BLANKCODE");
}

TEST(Help, OpensTheManualOrShowsWhy) {
  TestCore t;
  t->Click("mnuHelpContents");
  ASSERT_EQ(t.platform.opened.size(), 1u);
  EXPECT_EQ(t.platform.opened[0], "/opt/zambrix/zambrix5.html");
  EXPECT_TRUE(t.dialogs.shown.empty());

  t.platform.open_error = "No document viewer";
  t->Click("mnuHelpSearchForHelpOn");
  ASSERT_EQ(t.dialogs.shown.size(), 1u);
  EXPECT_EQ(t.dialogs.shown[0].text, "No document viewer");

  t->shell.HelpFile.clear();
  t->Click("mnuHelpContents");
  EXPECT_EQ(t.dialogs.shown.back().text,
            "Unable to display Help Contents. There is no Help associated with this project.");
  EXPECT_EQ(t.dialogs.shown.back().icon, MsgIcon::Information);
  EXPECT_EQ(t.dialogs.shown.back().title, t->ui.Caption("frmMain"));
}

TEST(AboutBox, ShowsTitleVersionAndNoSystemInformation) {
  TestCore t;
  t->Click("mnuHelpAbout");
  EXPECT_TRUE(t->ui.Visible("frmAbout"));
  EXPECT_EQ(t->ui.Caption("frmAbout.lblVersion"), "Version 1.0.60");
  EXPECT_EQ(t->ui.Caption("frmAbout.lblTitle"), "ZAMBRIX6");
  t->Click("frmAbout.cmdSysInfo");
  EXPECT_EQ(t.dialogs.shown.back().text, "System Information Is Unavailable At This Time");
  t->Click("frmAbout.cmdOK");
  EXPECT_FALSE(t->ui.Visible("frmAbout"));
}

TEST(WindowModel, OptionButtonsExcludeEachOtherAndFireOnlyWhenSelected) {
  TestCore t;
  int fired = 0;
  t->ui.SetHandler("HiLow_button(1)", [&] { ++fired; });
  t->ui.SetValue("HiLow_button(1)", 1);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(t->ui.Value("HiLow_button(0)"), 0);
  t->ui.SetValue("HiLow_button(1)", 1);
  EXPECT_EQ(fired, 1);
}

TEST(WindowModel, ListPositionRunsTheHandlerReentrantly) {
  TestCore t;
  t->ui.SetItems("Device", {"a", "N/A - b"});
  std::vector<int> seen;
  t->ui.SetHandler("Device", [&] {
    seen.push_back(t->ui.ListIndex("Device"));
    if (t->ui.ListIndex("Device") == 1) t->ui.SetListIndex("Device", -1);
  });
  t->ChooseListIndex("Device", 1);
  EXPECT_EQ(seen, (std::vector<int>{1, -1}));
}

TEST(WindowModel, NewMaximumPullsThePositionDownWithoutAnEvent) {
  TestCore t;
  int fired = 0;
  t->ui.SetHandler("VScroll1", [&] { ++fired; });
  t->ui.SetMax("VScroll1", 4095);
  t->ui.SetValue("VScroll1", 4000);
  EXPECT_EQ(fired, 1);
  t->ui.SetMax("VScroll1", 3);
  EXPECT_EQ(t->ui.Value("VScroll1"), 3);
  EXPECT_EQ(fired, 1);
}

TEST(WindowModel, PickingTheChosenEntryAgainRunsTheSelectionAgain) {
  TestCore t;
  t->ui.SetItems("Device", {"a", "b"});
  int fired = 0;
  t->ui.SetHandler("Device", [&] { ++fired; });
  t->ChooseListIndex("Device", 1);
  t->ChooseListIndex("Device", 1);
  EXPECT_EQ(fired, 2);
}

}  // namespace
}  // namespace zambrix
