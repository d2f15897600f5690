// Every named control of the main window, the about box and the display window,
// with its design-time caption, tooltip and enabled and visible state.
#include "app/controls.h"

#include "app/reporter.h"
#include "base/control_names.h"

namespace zambrix {

namespace {

struct Builder {
  WindowModel& m;
  std::string parent;

  Control& add(std::string name, ControlKind kind, std::string caption = {},
               std::string tooltip = {}) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.tooltip = std::move(tooltip);
    c.parent = parent;
    return m.Add(std::move(c));
  }
  Control& menu(std::string name, std::string caption, bool enabled = true) {
    auto& c = add(std::move(name), ControlKind::Menu, std::move(caption));
    c.enabled = enabled;
    return c;
  }
  void separator(const std::string& name) { add(name, ControlKind::MenuSeparator); }
};

void DeclareMainWindow(WindowModel& m) {
  Builder b{m, ""};
  auto& form = b.add(control::frmMain, ControlKind::Form,
                     std::string(kMainCaptionPrefix) + std::string(kWebAddress));
  form.left = 100;
  form.top = 100;
  form.width = 100;
  form.height = 6500;

  b.parent = control::frmMain;
  b.add(control::Frame2, ControlKind::Frame, "Select Device");
  b.parent = control::Frame2;
  b.add(control::Device, ControlKind::ComboBox, "Please Select Device on this List");
  b.parent = control::frmMain;
  b.add(control::PleaseSelect, ControlKind::Label, "Please  Select Device");

  b.add(control::Frame9, ControlKind::Frame, "Zambrix Hardware Found");
  b.parent = control::Frame9;
  b.add(control::ZambrixHardwareFound, ControlKind::Label, "NO HARDWARE FOUND").fore_colour =
      colour::kRed;
  b.parent = control::frmMain;
  b.add(control::TestHardware_button, ControlKind::Button, "TestPort",
        "Test Communication LPT port");

  b.add(control::Frame4, ControlKind::Frame, "LPT Port Selection");
  b.parent = control::Frame4;
  const char* ports[] = {"378h", "278h", "3BCh"};
  for (int i = 0; i < 3; ++i)
    b.add(Indexed(control::LPTSelection, i), ControlKind::Option, ports[i]).group =
        control::LPTSelection;
  b.add(control::PortSelected, ControlKind::TextBox, "");
  b.parent = control::frmMain;
  b.add(control::Ready_label, ControlKind::Label, "NotReady").fore_colour = colour::kRed;
  b.add(control::Error_label, ControlKind::Label, "ERROR").fore_colour = colour::kButtonFace;
  b.add(control::Program_label, ControlKind::Label, "Program").fore_colour = colour::kButtonFace;
  b.add(control::DataFlow_label, ControlKind::Label, "DataFlow").fore_colour = colour::kButtonFace;

  b.add(control::Frame6, ControlKind::Frame, "System Log");
  b.parent = control::Frame6;
  b.add(control::SystemLog, ControlKind::TextBox, "", "Double Click to Save to Zambrix.Log file");
  b.parent = control::frmMain;

  b.add(control::Frame3, ControlKind::Frame, "File Hex Display");
  b.parent = control::Frame3;
  b.add(control::BufferDisplay, ControlKind::TextBox, "",
        "Double Click to Save to Zambrix.Buf file");
  b.add(control::VScroll1, ControlKind::ScrollBar);
  b.parent = control::frmMain;

  b.add(control::Show_button, ControlKind::Button, "Show Data");
  b.add(control::Display_button, ControlKind::Button, "Display",
        "Display Device's contents on Screen");
  b.add(control::Erase_button, ControlKind::Button, "Erase Buffer", "Erase Buffer to all \"FF\"");
  b.add(control::Read_button, ControlKind::Button, "Read ", "Read Whole Device to Buffer");
  b.add(control::Blank_button, ControlKind::Button, "Blank Chk", "Check Device for Blank (Erased)");
  b.add(control::Program_button, ControlKind::Button, "Program", "Program Device with Buffer Data");
  b.add(control::Verify_button, ControlKind::Button, "Verify", "Verify (Compare) Device with File");
  b.add(control::EraseFlash_button, ControlKind::Button, "Erase Chip", "Erase Flash or Eeprom");

  b.add(control::Frame8, ControlKind::Frame, "");
  b.parent = control::Frame8;
  b.add(control::CheckCode, ControlKind::CheckBox, "Code");
  b.add(control::CheckData, ControlKind::CheckBox, "Data");
  b.parent = control::frmMain;

  b.add(control::Frame5, ControlKind::Frame, "Optional Auto Operations").visible = false;
  b.parent = control::Frame5;
  b.add(control::CheckBlankPriorProgramming, ControlKind::CheckBox,
        "Check Blank Before Programming")
      .visible = false;
  b.add(control::VerifyAfterProgramming, ControlKind::CheckBox, "Verify Device After Programming")
      .visible = false;
  b.parent = control::frmMain;

  b.add(control::FrameVoltageSelection, ControlKind::Frame, "Select Device Programming Voltage")
      .visible = false;
  b.parent = control::FrameVoltageSelection;
  const char* volts[] = {"5V", "12.5V", "21V", "25V"};
  const std::string careful =
      "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms.";
  const std::string tips[] = {"", "Most CMOS actual Eproms use this Programming Voltage.", careful,
                              careful};
  for (int i = 0; i < 4; ++i) {
    auto& v = b.add(Indexed(control::Voltage_button, i), ControlKind::Option, volts[i], tips[i]);
    v.group = control::Voltage_button;
    v.enabled = false;
  }
  b.parent = control::frmMain;

  b.add(control::Frame10, ControlKind::Frame, "Hi / Low Byte Programming",
        "All Bytes, Even Bytes or Odd Bytes");
  b.parent = control::Frame10;
  const char* hilo[] = {"Both", "Hi Byte", "Low Byte"};
  for (int i = 0; i < 3; ++i)
    b.add(Indexed(control::HiLow_button, i), ControlKind::Option, hilo[i]).group =
        control::HiLow_button;
  m.SetValueQuiet(Indexed(control::HiLow_button, 0), 1);
  b.parent = control::frmMain;

  auto& slider =
      b.add(control::Slider1, ControlKind::Slider, "", "Slow Down or Speed Up Programming Speed");
  slider.min = kSliderMin;
  slider.max = kSliderMax;
  slider.value = kSliderDefault;
  b.add(control::Label4, ControlKind::Label, "Program Speed");
  b.add(control::ProgressBar1, ControlKind::ProgressBar).max = 100;
  // Usable while an operation runs (the window enables it then).
  b.add(control::Stop_button, ControlKind::Button, "Stop", "Stop the running operation (Esc)")
      .enabled = false;
  b.add(control::sbStatusBar, ControlKind::StatusBar);

  b.add(control::tbToolBar, ControlKind::Frame);
  b.parent = control::tbToolBar;
  struct Tool {
    const char* key;
    const char* tip;
    const char* image;
  } tools[] = {{"OpenCode", "Open File into Code Buffer", "Open"},
               {"SaveCode", "Save Code Buffer Into File", "Save"},
               {"", "", ""},
               {"OpenData", "Open File into Data Buffer", "Open"},
               {"SaveData", "Save Data Buffer into File", "Save"}};
  for (int i = 0; i < 5; ++i) {
    auto& t = b.add("tbToolBar.Buttons(" + std::to_string(i + 1) + ")", ControlKind::ToolButton,
                    tools[i].image, tools[i].tip);
    t.key = tools[i].key;
  }
  b.parent = control::frmMain;

  b.add(control::FileNameCodeLabel, ControlKind::Label, "File Name (Code):");
  b.add(control::FileNameCodeText, ControlKind::Label, "Click To Select a File");
  b.add(control::FileNameCodeSize, ControlKind::Label, "(0 Bytes)");
  b.add(control::FileNameDataLabel, ControlKind::Label, "File Name (Data):");
  b.add(control::FileNameDataText, ControlKind::Label, "Click To Select a File");
  b.add(control::FileNameDataSize, ControlKind::Label, "(0 Bytes)");
  b.add(control::Command1, ControlKind::Button, control::Command1);
  b.add(control::VerifyButton, ControlKind::Button, "Verify").visible = false;  // carries no action
  b.add(control::Timer1, ControlKind::Timer);

  // Menus.
  b.parent = control::frmMain;
  b.menu(control::mnuFile, "&File");
  b.parent = control::mnuFile;
  b.menu(control::mnuFileOpenCode, "&Open Code...");
  b.menu(control::mnuFileRecent, "&Recent Files", false);
  b.parent = control::mnuFileRecent;
  for (int i = 1; i <= 8; ++i)
    b.menu(control::mnuFileRecent + std::to_string(i), "").visible = false;
  b.parent = control::mnuFile;
  b.menu(control::mnuFileSaveCode, "&Save Code", false);
  b.menu(control::mnuFileSaveCodeAs, "Save Code &As...", false);
  b.separator(control::mnuFileBar1);
  b.menu(control::mnuFileOpenData, "Open Data...", false);
  b.menu(control::mnuFileSaveData, "Save Data", false);
  b.menu(control::mnuFileSaveDataAs, "Save Data As...", false);
  b.separator(control::mnuFileBar2);
  b.menu(control::mnuFileSaveLogAs, "Save &Log As...");
  b.menu(control::mnuFileSaveHexViewAs, "Save &Hex View As...");
  b.separator(control::mnuFileBar3);
  b.menu(control::mnuFileClose, "&Close");
  b.menu(control::mnuFileExit, "E&xit");

  b.parent = control::frmMain;
  b.menu(control::mnuEdit, "&Edit");
  b.parent = control::mnuEdit;
  b.menu(control::mnuEditUndo, "&Undo", false);
  b.menu(control::mnuEditRedo, "&Redo", false);
  b.separator(control::mnuEditBar1);
  b.menu(control::mnuEditGoTo, "&Go to Address...");
  b.menu(control::mnuEditFill, "&Fill Range...");
  b.menu(control::mnuEditChecksum, "Log Buffer &Checksum");
  b.separator(control::mnuEditBar2);
  b.menu(control::mnuEditNextDifference, "&Next Difference", false);
  b.menu(control::mnuEditPreviousDifference, "&Previous Difference", false);
  b.menu(control::mnuEditDifferences, "&Differences...", false);

  b.parent = control::frmMain;
  b.menu(control::mnuTools, "&Tools");
  b.parent = control::mnuTools;
  b.menu(control::mnuToolsOptions, "&Options...");
  b.menu(control::mnuToolsPortDoctor, "&Port Doctor...");
  b.menu(control::mnuToolsCatalogue, "&Extended Device Catalogue: Off");

  b.parent = control::frmMain;
  b.menu(control::menuCommand, "&Command");
  b.parent = control::menuCommand;
  b.menu(control::menuBlankCheck, "&Blank Check Device for Erased");
  b.separator(control::menuCommandBar1);
  b.menu(control::menuProgramCode, "&Program Device Code");
  b.menu(control::menuReadCode, "&Read Device Code");
  b.menu(control::menuVerifyCode, "&Verify Device Code");
  b.separator(control::menuCommandBar2);
  b.menu(control::menuProgramData, "Pro&gram Device Data");
  b.menu(control::menuReadData, "Read Dev&ice Data");
  b.menu(control::menuVerifyData, "Verif&y Device Data");
  b.separator(control::menuCommandBar3);
  b.menu(control::menuDisplayCode, "&Display Device CODE");
  b.menu(control::menuDisplayData, "Disp&lay Device DATA");
  b.separator(control::menuCommandBar4);
  b.menu(control::menuEraseCode, "&Erase CODE Buffer (\"FF\") ");
  b.menu(control::menuEraseData, "Erase DATA B&uffer (\"FF\") ");
  b.menu(control::menuEraseFlash, "Erase Device &Flash Memory");
  b.separator(control::menuCommandBar5);
  b.menu(control::menuTestHardware, "&Test LPT Ports");
  b.separator(control::menuCommandBar6);
  b.menu(control::menuFlashShowCodeID, "S&how Flash Code ID#");
  b.separator(control::menuCommandBar7);
  b.menu(control::menuErrorReset, "&Acknowledge ERROR Alert", false);

  b.parent = control::frmMain;
  b.menu(control::Setup, "&Setup");
  b.parent = control::Setup;
  b.menu(control::LoadSetup, "&Load Setup");
  b.parent = control::LoadSetup;
  for (int i = 1; i <= 4; ++i)
    b.menu(control::LoadSetup + std::to_string(i), "Load Setup #&" + std::to_string(i), false);
  b.parent = control::Setup;
  b.separator(control::SetupBar1);
  b.menu(control::SaveSetup, "&Save Setup");
  b.parent = control::SaveSetup;
  for (int i = 1; i <= 4; ++i)
    b.menu(control::SaveSetup + std::to_string(i), "Save Setup #&" + std::to_string(i));
  b.parent = control::Setup;
  b.separator(control::SetupBar2);
  b.menu(control::ForceZambrix4, "Force Set ZAMBRIX-4");
  b.menu(control::ForceZambrix5, "Force Set ZAMBRIX-5");
  b.menu(control::ForceZambrix6, "Force Set ZAMBRIX-6");
  b.separator(control::SetupBar3);
  b.menu(control::LoopFlashTest, control::LoopFlashTest).visible = false;
  b.menu(control::ResetFlash, control::ResetFlash).visible = false;

  b.parent = control::frmMain;
  b.menu(control::mnuHelp, "&Help");
  b.parent = control::mnuHelp;
  b.menu(control::mnuHelpContents, "&Contents");
  b.menu(control::mnuHelpSearchForHelpOn, "&Search For Help On...");
  b.separator(control::mnuHelpBar1);
  b.menu(control::mnuHelpAbout, "&About ");
}

void DeclareAboutBox(WindowModel& m) {
  Builder b{m, ""};
  b.add(control::frmAbout, ControlKind::Form, "About MNXR ZAMBRIX PROGRAM").visible = false;
  b.parent = control::frmAbout;
  b.add(control::frmAbout_picIcon, ControlKind::Picture);
  b.add(control::frmAbout_lblTitle, ControlKind::Label, "ZAMBRIX6 BETA Windows Version");
  b.add(control::frmAbout_lblVersion, ControlKind::Label, "");
  b.add(control::frmAbout_lblDescription, ControlKind::Label,
        "Eprom, Flash and Eeprom memory programming software to be used with ZAMBRIX-4/5/6 "
        "Hardware board, "
        "available at " +
            std::string(kWebAddress));
  b.add(control::frmAbout_Label1, ControlKind::Label,
        "WINDOWS BETA VERSION.   Please report any bugs or suggestions via email to " +
            std::string(kSupportMail));
  b.add(control::frmAbout_lblDisclaimer, ControlKind::Label,
        "Warning: This software should run perfectly under "
        "Win98/Win98SE/WinME/Win2000/WinXP/WinNT, but in case "
        "of problems under Win2000/XP it may require download and use of the USERPORT utility.  ");
  b.add(control::frmAbout_cmdOK, ControlKind::Button, "OK");
  b.add(control::frmAbout_cmdSysInfo, ControlKind::Button, "&System Info...");
}

// The list of every difference a failed verify found.
void DeclareDifferencesWindow(WindowModel& m) {
  Builder b{m, ""};
  b.add(control::frmDifferences, ControlKind::Form, "Differences").visible = false;
  b.parent = control::frmDifferences;
  b.add(control::frmDifferences_lblSummary, ControlKind::Label, "");
  b.add(control::frmDifferences_cmdSave, ControlKind::Button, "&Save As...");
  b.add(control::frmDifferences_cmdClose, ControlKind::Button, "Close");
}

void DeclareDisplayWindow(WindowModel& m) {
  Builder b{m, ""};
  b.add(control::frmDisplay1, ControlKind::Form, control::frmDisplay1).visible = false;
  b.parent = control::frmDisplay1;
  b.add(control::frmDisplay1_BufferDisplay, ControlKind::TextBox, "");
  b.add(control::frmDisplay1_VScroll1, ControlKind::ScrollBar);
}

}  // namespace

void DeclareControls(WindowModel& m) {
  DeclareMainWindow(m);
  DeclareAboutBox(m);
  DeclareDisplayWindow(m);
  DeclareDifferencesWindow(m);
}

}  // namespace zambrix
