// The names of the window's controls, as the window model, the units that
// drive it and the front ends spell them. A name the compiler knows cannot be
// misspelt. The indexed controls (LPTSelection(0), Voltage_button(2)) and the
// numbered ones (mnuFileRecent1, LoadSetup3) add their index to the name here.
#pragma once

namespace zambrix::control {

inline constexpr char Blank_button[] = "Blank_button";
inline constexpr char BufferDisplay[] = "BufferDisplay";
inline constexpr char CheckBlankPriorProgramming[] = "CheckBlankPriorProgramming";
inline constexpr char CheckCode[] = "CheckCode";
inline constexpr char CheckData[] = "CheckData";
inline constexpr char Command1[] = "Command1";
inline constexpr char DataFlow_label[] = "DataFlow_label";
inline constexpr char Device[] = "Device";
inline constexpr char Display_button[] = "Display_button";
inline constexpr char EraseFlash_button[] = "EraseFlash_button";
inline constexpr char Erase_button[] = "Erase_button";
inline constexpr char Error_label[] = "Error_label";
inline constexpr char FileNameCodeLabel[] = "FileNameCodeLabel";
inline constexpr char FileNameCodeSize[] = "FileNameCodeSize";
inline constexpr char FileNameCodeText[] = "FileNameCodeText";
inline constexpr char FileNameDataLabel[] = "FileNameDataLabel";
inline constexpr char FileNameDataSize[] = "FileNameDataSize";
inline constexpr char FileNameDataText[] = "FileNameDataText";
inline constexpr char ForceZambrix4[] = "ForceZambrix4";
inline constexpr char ForceZambrix5[] = "ForceZambrix5";
inline constexpr char ForceZambrix6[] = "ForceZambrix6";
inline constexpr char Frame10[] = "Frame10";
inline constexpr char Frame2[] = "Frame2";
inline constexpr char Frame3[] = "Frame3";
inline constexpr char Frame4[] = "Frame4";
inline constexpr char Frame5[] = "Frame5";
inline constexpr char Frame6[] = "Frame6";
inline constexpr char Frame8[] = "Frame8";
inline constexpr char Frame9[] = "Frame9";
inline constexpr char FrameVoltageSelection[] = "FrameVoltageSelection";
inline constexpr char HiLow_button[] = "HiLow_button";
inline constexpr char LPTSelection[] = "LPTSelection";
inline constexpr char Label4[] = "Label4";
inline constexpr char LoadSetup[] = "LoadSetup";
inline constexpr char LoopFlashTest[] = "LoopFlashTest";
inline constexpr char PleaseSelect[] = "PleaseSelect";
inline constexpr char PortSelected[] = "PortSelected";
inline constexpr char Program_button[] = "Program_button";
inline constexpr char Program_label[] = "Program_label";
inline constexpr char ProgressBar1[] = "ProgressBar1";
inline constexpr char Read_button[] = "Read_button";
inline constexpr char Ready_label[] = "Ready_label";
inline constexpr char ResetFlash[] = "ResetFlash";
inline constexpr char SaveSetup[] = "SaveSetup";
inline constexpr char Setup[] = "Setup";
inline constexpr char SetupBar1[] = "SetupBar1";
inline constexpr char SetupBar2[] = "SetupBar2";
inline constexpr char SetupBar3[] = "SetupBar3";
inline constexpr char Show_button[] = "Show_button";
inline constexpr char Slider1[] = "Slider1";
inline constexpr char Stop_button[] = "Stop_button";
inline constexpr char SystemLog[] = "SystemLog";
inline constexpr char TestHardware_button[] = "TestHardware_button";
inline constexpr char Timer1[] = "Timer1";
inline constexpr char VScroll1[] = "VScroll1";
inline constexpr char VerifyAfterProgramming[] = "VerifyAfterProgramming";
inline constexpr char VerifyButton[] = "VerifyButton";
inline constexpr char Verify_button[] = "Verify_button";
inline constexpr char Voltage_button[] = "Voltage_button";
inline constexpr char ZambrixHardwareFound[] = "ZambrixHardwareFound";
inline constexpr char frmAbout[] = "frmAbout";
inline constexpr char frmAbout_Label1[] = "frmAbout.Label1";
inline constexpr char frmAbout_cmdOK[] = "frmAbout.cmdOK";
inline constexpr char frmAbout_cmdSysInfo[] = "frmAbout.cmdSysInfo";
inline constexpr char frmAbout_lblDescription[] = "frmAbout.lblDescription";
inline constexpr char frmAbout_lblDisclaimer[] = "frmAbout.lblDisclaimer";
inline constexpr char frmAbout_lblTitle[] = "frmAbout.lblTitle";
inline constexpr char frmAbout_lblVersion[] = "frmAbout.lblVersion";
inline constexpr char frmAbout_picIcon[] = "frmAbout.picIcon";
inline constexpr char frmDifferences[] = "frmDifferences";
inline constexpr char frmDifferences_cmdClose[] = "frmDifferences.cmdClose";
inline constexpr char frmDifferences_cmdSave[] = "frmDifferences.cmdSave";
inline constexpr char frmDifferences_lblSummary[] = "frmDifferences.lblSummary";
inline constexpr char frmDisplay1[] = "frmDisplay1";
inline constexpr char frmDisplay1_BufferDisplay[] = "frmDisplay1.BufferDisplay";
inline constexpr char frmDisplay1_VScroll1[] = "frmDisplay1.VScroll1";
inline constexpr char frmMain[] = "frmMain";
inline constexpr char menuBlankCheck[] = "menuBlankCheck";
inline constexpr char menuCommand[] = "menuCommand";
inline constexpr char menuCommandBar1[] = "menuCommandBar1";
inline constexpr char menuCommandBar2[] = "menuCommandBar2";
inline constexpr char menuCommandBar3[] = "menuCommandBar3";
inline constexpr char menuCommandBar4[] = "menuCommandBar4";
inline constexpr char menuCommandBar5[] = "menuCommandBar5";
inline constexpr char menuCommandBar6[] = "menuCommandBar6";
inline constexpr char menuCommandBar7[] = "menuCommandBar7";
inline constexpr char menuDisplayCode[] = "menuDisplayCode";
inline constexpr char menuDisplayData[] = "menuDisplayData";
inline constexpr char menuEraseCode[] = "menuEraseCode";
inline constexpr char menuEraseData[] = "menuEraseData";
inline constexpr char menuEraseFlash[] = "menuEraseFlash";
inline constexpr char menuErrorReset[] = "menuErrorReset";
inline constexpr char menuFlashShowCodeID[] = "menuFlashShowCodeID";
inline constexpr char menuProgramCode[] = "menuProgramCode";
inline constexpr char menuProgramData[] = "menuProgramData";
inline constexpr char menuReadCode[] = "menuReadCode";
inline constexpr char menuReadData[] = "menuReadData";
inline constexpr char menuTestHardware[] = "menuTestHardware";
inline constexpr char menuVerifyCode[] = "menuVerifyCode";
inline constexpr char menuVerifyData[] = "menuVerifyData";
inline constexpr char mnuEdit[] = "mnuEdit";
inline constexpr char mnuEditBar1[] = "mnuEditBar1";
inline constexpr char mnuEditBar2[] = "mnuEditBar2";
inline constexpr char mnuEditChecksum[] = "mnuEditChecksum";
inline constexpr char mnuEditDifferences[] = "mnuEditDifferences";
inline constexpr char mnuEditFill[] = "mnuEditFill";
inline constexpr char mnuEditGoTo[] = "mnuEditGoTo";
inline constexpr char mnuEditNextDifference[] = "mnuEditNextDifference";
inline constexpr char mnuEditPreviousDifference[] = "mnuEditPreviousDifference";
inline constexpr char mnuEditRedo[] = "mnuEditRedo";
inline constexpr char mnuEditUndo[] = "mnuEditUndo";
inline constexpr char mnuFile[] = "mnuFile";
inline constexpr char mnuFileBar1[] = "mnuFileBar1";
inline constexpr char mnuFileBar2[] = "mnuFileBar2";
inline constexpr char mnuFileBar3[] = "mnuFileBar3";
inline constexpr char mnuFileClose[] = "mnuFileClose";
inline constexpr char mnuFileExit[] = "mnuFileExit";
inline constexpr char mnuFileOpenCode[] = "mnuFileOpenCode";
inline constexpr char mnuFileOpenData[] = "mnuFileOpenData";
inline constexpr char mnuFileRecent[] = "mnuFileRecent";
inline constexpr char mnuFileSaveCode[] = "mnuFileSaveCode";
inline constexpr char mnuFileSaveCodeAs[] = "mnuFileSaveCodeAs";
inline constexpr char mnuFileSaveData[] = "mnuFileSaveData";
inline constexpr char mnuFileSaveDataAs[] = "mnuFileSaveDataAs";
inline constexpr char mnuFileSaveHexViewAs[] = "mnuFileSaveHexViewAs";
inline constexpr char mnuFileSaveLogAs[] = "mnuFileSaveLogAs";
inline constexpr char mnuHelp[] = "mnuHelp";
inline constexpr char mnuHelpAbout[] = "mnuHelpAbout";
inline constexpr char mnuHelpBar1[] = "mnuHelpBar1";
inline constexpr char mnuHelpContents[] = "mnuHelpContents";
inline constexpr char mnuHelpSearchForHelpOn[] = "mnuHelpSearchForHelpOn";
inline constexpr char mnuTools[] = "mnuTools";
inline constexpr char mnuToolsCatalogue[] = "mnuToolsCatalogue";
inline constexpr char mnuToolsOptions[] = "mnuToolsOptions";
inline constexpr char mnuToolsPortDoctor[] = "mnuToolsPortDoctor";
inline constexpr char sbStatusBar[] = "sbStatusBar";
inline constexpr char tbToolBar[] = "tbToolBar";

}  // namespace zambrix::control

namespace zambrix {

// Speed slider: 0 (slowest) to 100 (fastest, all delay counts 2). At the default
// the EPROM program pulses come near their datasheet widths and EEPROM page
// bytes arrive within the byte-load limit (docs/timing.md).
constexpr int kSliderMin = 0;
constexpr int kSliderMax = 100;
constexpr int kSliderDefault = 50;

}  // namespace zambrix
