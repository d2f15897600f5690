// Every named control of the main window, the about box and the display window,
// with its design-time caption, tooltip and enabled and visible state.
#include "app/controls.h"

#include "app/reporter.h"

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
  auto& form = b.add("frmMain", ControlKind::Form,
                     std::string(kMainCaptionPrefix) + std::string(Reporter::kWebAddress));
  form.left = 100;
  form.top = 100;
  form.width = 100;
  form.height = 6500;

  b.parent = "frmMain";
  b.add("Frame2", ControlKind::Frame, "Select Device");
  b.parent = "Frame2";
  b.add("Device", ControlKind::ComboBox, "Please Select Device on this List");
  b.parent = "frmMain";
  b.add("PleaseSelect", ControlKind::Label, "Please  Select Device");

  b.add("Frame9", ControlKind::Frame, "Zambrix Hardware Found");
  b.parent = "Frame9";
  b.add("ZambrixHardwareFound", ControlKind::Label, "NO HARDWARE FOUND").fore_colour = colour::kRed;
  b.parent = "frmMain";
  b.add("TestHardware_button", ControlKind::Button, "TestPort", "Test Communication LPT port");

  b.add("Frame4", ControlKind::Frame, "LPT Port Selection");
  b.parent = "Frame4";
  const char* ports[] = {"378h", "278h", "3BCh"};
  for (int i = 0; i < 3; ++i)
    b.add(Indexed("LPTSelection", i), ControlKind::Option, ports[i]).group = "LPTSelection";
  b.add("PortSelected", ControlKind::TextBox, "");
  b.parent = "frmMain";
  b.add("Ready_label", ControlKind::Label, "NotReady").fore_colour = colour::kRed;
  b.add("Error_label", ControlKind::Label, "ERROR").fore_colour = colour::kButtonFace;
  b.add("Program_label", ControlKind::Label, "Program").fore_colour = colour::kButtonFace;
  b.add("DataFlow_label", ControlKind::Label, "DataFlow").fore_colour = colour::kButtonFace;

  b.add("Frame6", ControlKind::Frame, "System Log");
  b.parent = "Frame6";
  b.add("SystemLog", ControlKind::TextBox, "", "Double Click to Save to Zambrix.Log file");
  b.parent = "frmMain";

  b.add("Frame3", ControlKind::Frame, "File Hex Display");
  b.parent = "Frame3";
  b.add("BufferDisplay", ControlKind::TextBox, "", "Double Click to Save to Zambrix.Buf file");
  b.add("VScroll1", ControlKind::ScrollBar);
  b.parent = "frmMain";

  b.add("Show_button", ControlKind::Button, "Show Data");
  b.add("Display_button", ControlKind::Button, "Display", "Display Device's contents on Screen");
  b.add("Erase_button", ControlKind::Button, "Erase Buffer", "Erase Buffer to all \"FF\"");
  b.add("Read_button", ControlKind::Button, "Read ", "Read Whole Device to Buffer");
  b.add("Blank_button", ControlKind::Button, "Blank Chk", "Check Device for Blank (Erased)");
  b.add("Program_button", ControlKind::Button, "Program", "Program Device with Buffer Data");
  b.add("Verify_button", ControlKind::Button, "Verify", "Verify (Compare) Device with File");
  b.add("EraseFlash_button", ControlKind::Button, "Erase Chip", "Erase Flash or Eeprom");

  b.add("Frame8", ControlKind::Frame, "");
  b.parent = "Frame8";
  b.add("CheckCode", ControlKind::CheckBox, "Code");
  b.add("CheckData", ControlKind::CheckBox, "Data");
  b.parent = "frmMain";

  b.add("Frame5", ControlKind::Frame, "Optional Auto Operations").visible = false;
  b.parent = "Frame5";
  b.add("CheckBlankPriorProgramming", ControlKind::CheckBox, "Check Blank Before Programming")
      .visible = false;
  b.add("VerifyAfterProgramming", ControlKind::CheckBox, "Verify Device After Programming")
      .visible = false;
  b.parent = "frmMain";

  b.add("FrameVoltageSelection", ControlKind::Frame, "Select Device Programming Voltage").visible =
      false;
  b.parent = "FrameVoltageSelection";
  const char* volts[] = {"5V", "12.5V", "21V", "25V"};
  const std::string careful =
      "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms.";
  const std::string tips[] = {"", "Most CMOS actual Eproms use this Programming Voltage.", careful,
                              careful};
  for (int i = 0; i < 4; ++i) {
    auto& v = b.add(Indexed("Voltage_button", i), ControlKind::Option, volts[i], tips[i]);
    v.group = "Voltage_button";
    v.enabled = false;
  }
  b.parent = "frmMain";

  b.add("Frame10", ControlKind::Frame, "Hi / Low Byte Programming",
        "All Bytes, Even Bytes or Odd Bytes");
  b.parent = "Frame10";
  const char* hilo[] = {"Both", "Hi Byte", "Low Byte"};
  for (int i = 0; i < 3; ++i)
    b.add(Indexed("HiLow_button", i), ControlKind::Option, hilo[i]).group = "HiLow_button";
  m.SetValueQuiet(Indexed("HiLow_button", 0), 1);
  b.parent = "frmMain";

  auto& slider =
      b.add("Slider1", ControlKind::Slider, "", "Slow Down or Speed Up Programming Speed");
  slider.min = kSliderMin;
  slider.max = kSliderMax;
  slider.value = kSliderDefault;
  b.add("Label4", ControlKind::Label, "Program Speed");
  b.add("ProgressBar1", ControlKind::ProgressBar).max = 100;
  // Usable while an operation runs (the window enables it then).
  b.add("Stop_button", ControlKind::Button, "Stop", "Stop the running operation (Esc)").enabled =
      false;
  b.add("sbStatusBar", ControlKind::StatusBar);

  b.add("tbToolBar", ControlKind::Frame);
  b.parent = "tbToolBar";
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
  b.parent = "frmMain";

  b.add("FileNameCodeLabel", ControlKind::Label, "File Name (Code):");
  b.add("FileNameCodeText", ControlKind::Label, "Click To Select a File");
  b.add("FileNameCodeSize", ControlKind::Label, "(0 Bytes)");
  b.add("FileNameDataLabel", ControlKind::Label, "File Name (Data):");
  b.add("FileNameDataText", ControlKind::Label, "Click To Select a File");
  b.add("FileNameDataSize", ControlKind::Label, "(0 Bytes)");
  b.add("Command1", ControlKind::Button, "Command1");
  b.add("VerifyButton", ControlKind::Button, "Verify").visible = false;  // carries no action
  b.add("Timer1", ControlKind::Timer);

  // Menus.
  b.parent = "frmMain";
  b.menu("mnuFile", "&File");
  b.parent = "mnuFile";
  b.menu("mnuFileOpenCode", "&Open Code...");
  b.menu("mnuFileRecent", "&Recent Files", false);
  b.parent = "mnuFileRecent";
  for (int i = 1; i <= 8; ++i) b.menu("mnuFileRecent" + std::to_string(i), "").visible = false;
  b.parent = "mnuFile";
  b.menu("mnuFileSaveCode", "&Save Code", false);
  b.menu("mnuFileSaveCodeAs", "Save Code &As...", false);
  b.separator("mnuFileBar1");
  b.menu("mnuFileOpenData", "Open Data...", false);
  b.menu("mnuFileSaveData", "Save Data", false);
  b.menu("mnuFileSaveDataAs", "Save Data As...", false);
  b.separator("mnuFileBar2");
  b.menu("mnuFileSaveLogAs", "Save &Log As...");
  b.menu("mnuFileSaveHexViewAs", "Save &Hex View As...");
  b.separator("mnuFileBar3");
  b.menu("mnuFileClose", "&Close");
  b.menu("mnuFileExit", "E&xit");

  b.parent = "frmMain";
  b.menu("mnuEdit", "&Edit");
  b.parent = "mnuEdit";
  b.menu("mnuEditUndo", "&Undo", false);
  b.menu("mnuEditRedo", "&Redo", false);
  b.separator("mnuEditBar1");
  b.menu("mnuEditGoTo", "&Go to Address...");
  b.menu("mnuEditFill", "&Fill Range...");
  b.menu("mnuEditChecksum", "Log Buffer &Checksum");
  b.separator("mnuEditBar2");
  b.menu("mnuEditNextDifference", "&Next Difference", false);
  b.menu("mnuEditPreviousDifference", "&Previous Difference", false);
  b.menu("mnuEditDifferences", "&Differences...", false);

  b.parent = "frmMain";
  b.menu("mnuTools", "&Tools");
  b.parent = "mnuTools";
  b.menu("mnuToolsOptions", "&Options...");
  b.menu("mnuToolsPortDoctor", "&Port Doctor...");
  b.menu("mnuToolsCatalogue", "&Extended Device Catalogue: Off");

  b.parent = "frmMain";
  b.menu("menuCommand", "&Command");
  b.parent = "menuCommand";
  b.menu("menuBlankCheck", "&Blank Check Device for Erased");
  b.separator("menuCommandBar1");
  b.menu("menuProgramCode", "&Program Device Code");
  b.menu("menuReadCode", "&Read Device Code");
  b.menu("menuVerifyCode", "&Verify Device Code");
  b.separator("menuCommandBar2");
  b.menu("menuProgramData", "Pro&gram Device Data");
  b.menu("menuReadData", "Read Dev&ice Data");
  b.menu("menuVerifyData", "Verif&y Device Data");
  b.separator("menuCommandBar3");
  b.menu("menuDisplayCode", "&Display Device CODE");
  b.menu("menuDisplayData", "Disp&lay Device DATA");
  b.separator("menuCommandBar4");
  b.menu("menuEraseCode", "&Erase CODE Buffer (\"FF\") ");
  b.menu("menuEraseData", "Erase DATA B&uffer (\"FF\") ");
  b.menu("menuEraseFlash", "Erase Device &Flash Memory");
  b.separator("menuCommandBar5");
  b.menu("menuTestHardware", "&Test LPT Ports");
  b.separator("menuCommandBar6");
  b.menu("menuFlashShowCodeID", "S&how Flash Code ID#");
  b.separator("menuCommandBar7");
  b.menu("menuErrorReset", "&Acknowledge ERROR Alert", false);

  b.parent = "frmMain";
  b.menu("Setup", "&Setup");
  b.parent = "Setup";
  b.menu("LoadSetup", "&Load Setup");
  b.parent = "LoadSetup";
  for (int i = 1; i <= 4; ++i)
    b.menu("LoadSetup" + std::to_string(i), "Load Setup #&" + std::to_string(i), false);
  b.parent = "Setup";
  b.separator("SetupBar1");
  b.menu("SaveSetup", "&Save Setup");
  b.parent = "SaveSetup";
  for (int i = 1; i <= 4; ++i)
    b.menu("SaveSetup" + std::to_string(i), "Save Setup #&" + std::to_string(i));
  b.parent = "Setup";
  b.separator("SetupBar2");
  b.menu("ForceZambrix4", "Force Set ZAMBRIX-4");
  b.menu("ForceZambrix5", "Force Set ZAMBRIX-5");
  b.menu("ForceZambrix6", "Force Set ZAMBRIX-6");
  b.separator("SetupBar3");
  b.menu("LoopFlashTest", "LoopFlashTest").visible = false;
  b.menu("ResetFlash", "ResetFlash").visible = false;

  b.parent = "frmMain";
  b.menu("mnuHelp", "&Help");
  b.parent = "mnuHelp";
  b.menu("mnuHelpContents", "&Contents");
  b.menu("mnuHelpSearchForHelpOn", "&Search For Help On...");
  b.separator("mnuHelpBar1");
  b.menu("mnuHelpAbout", "&About ");
}

void DeclareAboutBox(WindowModel& m) {
  Builder b{m, ""};
  b.add("frmAbout", ControlKind::Form, "About MNXR ZAMBRIX PROGRAM").visible = false;
  b.parent = "frmAbout";
  b.add("frmAbout.picIcon", ControlKind::Picture);
  b.add("frmAbout.lblTitle", ControlKind::Label, "ZAMBRIX6 BETA Windows Version");
  b.add("frmAbout.lblVersion", ControlKind::Label, "");
  b.add("frmAbout.lblDescription", ControlKind::Label,
        "Eprom, Flash and Eeprom memory programming software to be used with ZAMBRIX-4/5/6 "
        "Hardware board, "
        "available at " +
            std::string(Reporter::kWebAddress));
  b.add("frmAbout.Label1", ControlKind::Label,
        "WINDOWS BETA VERSION.   Please report any bugs or suggestions via email to " +
            std::string(Reporter::kSupportMail));
  b.add("frmAbout.lblDisclaimer", ControlKind::Label,
        "Warning: This software should run perfectly under "
        "Win98/Win98SE/WinME/Win2000/WinXP/WinNT, but in case "
        "of problems under Win2000/XP it may require download and use of the USERPORT utility.  ");
  b.add("frmAbout.cmdOK", ControlKind::Button, "OK");
  b.add("frmAbout.cmdSysInfo", ControlKind::Button, "&System Info...");
}

// The list of every difference a failed verify found.
void DeclareDifferencesWindow(WindowModel& m) {
  Builder b{m, ""};
  b.add("frmDifferences", ControlKind::Form, "Differences").visible = false;
  b.parent = "frmDifferences";
  b.add("frmDifferences.lblSummary", ControlKind::Label, "");
  b.add("frmDifferences.cmdSave", ControlKind::Button, "&Save As...");
  b.add("frmDifferences.cmdClose", ControlKind::Button, "Close");
}

void DeclareDisplayWindow(WindowModel& m) {
  Builder b{m, ""};
  b.add("frmDisplay1", ControlKind::Form, "frmDisplay1").visible = false;
  b.parent = "frmDisplay1";
  b.add("frmDisplay1.BufferDisplay", ControlKind::TextBox, "");
  b.add("frmDisplay1.VScroll1", ControlKind::ScrollBar);
}

}  // namespace

void DeclareControls(WindowModel& m) {
  DeclareMainWindow(m);
  DeclareAboutBox(m);
  DeclareDisplayWindow(m);
  DeclareDifferencesWindow(m);
}

}  // namespace zambrix
