#include "app/shell.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "app/controls.h"
#include "app/core.h"
#include "base/control_names.h"
#include "link/doctor.h"

namespace zambrix {

namespace {

constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kCatalogueKey = "ExtendedCatalogue";

// A stored placement value; one that is not a number falls back to the default.
double ReadPlacement(SettingsStore& s, std::string_view key, double fallback) {
  auto text = s.Get(kAppTitle, kSettingsSection, key);
  if (!text) return fallback;
  const char* b = text->c_str();
  while (*b == ' ') ++b;
  char* end = nullptr;
  float v = std::strtof(b, &end);
  if (end == b || !std::isfinite(v)) return fallback;
  while (*end == ' ') ++end;
  if (*end != '\0') return fallback;
  return v;
}

std::string PlacementText(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.0f", v);
  return buf;
}

}  // namespace

void Shell::CreateWindow() {
  DeclareControls(core_.ui);
  WireHandlers();
  HelpFile = (std::filesystem::path(core_.svc.platform->DataFolder()) / "zambrix5.html").string();
}

void Shell::WireHandlers() {
  auto& ui = core_.ui;
  auto& board = core_.board;
  auto& dev = core_.dev;
  auto& buf = core_.buf;
  auto& ops = core_.ops;
  auto& setup = core_.setup;
  auto& report = core_.report;

  ui.SetHandler(control::Device, [&dev] { dev.Device_Click(); });
  for (int i = 0; i < 4; ++i)
    ui.SetHandler(Indexed(control::Voltage_button, i), [&dev, i] { dev.Voltage_button_Click(i); });
  for (int i = 0; i < 3; ++i)
    ui.SetHandler(Indexed(control::LPTSelection, i), [&board] { board.LPTSelection_Click(); });
  ui.SetHandler(control::TestHardware_button, [&board] { board.TestHardware_button_Click(); });
  ui.SetHandler(control::Slider1, [&board] { board.Slider1_Change(); });
  ui.SetHandler(control::Error_label, [&report] { report.Error_label_Click(); });
  ui.SetHandler("SystemLog:DblClick", [&report] { report.SystemLog_DblClick(); });

  ui.SetHandler(control::VScroll1, [&buf] { buf.VScroll1_Change(); });
  ui.SetHandler("BufferDisplay:DblClick", [&buf] { buf.BufferDisplay_DblClick(); });
  ui.SetHandler(control::Show_button, [&buf] { buf.Show_button_Click(); });
  ui.SetHandler(control::Display_button, [&buf] { buf.Display_button_Click(); });
  ui.SetHandler(control::Erase_button, [&buf] { buf.Erase_button_Click(); });
  ui.SetHandler(control::Command1, [&buf] { buf.Command1_Click(); });
  ui.SetHandler(control::FileNameCodeText, [&buf] { buf.FileNameCodeText_Click(); });

  ui.SetHandler(control::Read_button, [&ops] { ops.Read_button_Click(); });
  ui.SetHandler(control::Blank_button, [&ops] { ops.Blank_button_Click(); });
  ui.SetHandler(control::Program_button, [&ops] { ops.Program_button_Click(); });
  ui.SetHandler(control::Verify_button, [&ops] { ops.Verify_button_Click(); });
  ui.SetHandler(control::EraseFlash_button, [&ops] { ops.EraseFlash_button_Click(); });

  for (int i = 1; i <= 5; ++i) {
    auto name = "tbToolBar.Buttons(" + std::to_string(i) + ")";
    ui.SetHandler(name, [this, name] { tbToolBar_ButtonClick(core_.ui.Get(name).key); });
  }

  // Menus. The forwarding entries run the button's action even when the button
  // itself is disabled; only the menu entry's own enabled state guards them.
  ui.SetHandler(control::mnuFileOpenCode, [&buf] { buf.mnuFileOpenCode_Click(); });
  ui.SetHandler(control::mnuFileSaveCode, [&buf] { buf.mnuFileSaveCode_Click(); });
  ui.SetHandler(control::mnuFileSaveCodeAs, [&buf] { buf.mnuFileSaveCodeAs_Click(); });
  ui.SetHandler(control::mnuFileOpenData, [&buf] { buf.mnuFileOpenData_Click(); });
  ui.SetHandler(control::mnuFileSaveData, [&buf] { buf.mnuFileSaveData_Click(); });
  ui.SetHandler(control::mnuFileSaveDataAs, [&buf] { buf.mnuFileSaveDataAs_Click(); });
  ui.SetHandler(control::mnuFileClose, [&buf] { buf.mnuFileClose_Click(); });
  ui.SetHandler(control::mnuFileExit, [this] { mnuFileExit_Click(); });
  ui.SetHandler(control::mnuFileSaveLogAs, [&buf] { buf.mnuFileSaveLogAs_Click(); });
  ui.SetHandler(control::mnuFileSaveHexViewAs, [&buf] { buf.mnuFileSaveHexViewAs_Click(); });
  for (int i = 1; i <= Buffers::kRecentFiles; ++i)
    ui.SetHandler(control::mnuFileRecent + std::to_string(i),
                  [&buf, i] { buf.mnuFileRecent_Click(i - 1); });
  WireEditHandlers();
  ui.SetHandler(control::mnuToolsOptions, [this] { mnuToolsOptions_Click(); });
  ui.SetHandler(control::mnuToolsPortDoctor, [this] { mnuToolsPortDoctor_Click(); });

  ui.SetHandler(control::menuBlankCheck, [&ops] { ops.Blank_button_Click(); });
  ui.SetHandler(control::menuReadCode, [&ops] { ops.Read_button_Click(); });
  ui.SetHandler(control::menuVerifyCode, [&ops] { ops.Verify_button_Click(); });
  ui.SetHandler(control::menuDisplayCode, [&buf] { buf.Display_button_Click(); });
  ui.SetHandler(control::menuEraseCode, [&buf] { buf.Erase_button_Click(); });
  ui.SetHandler(control::menuTestHardware, [&board] { board.TestHardware_button_Click(); });
  // Entries whose captions name a button's operation run that operation.
  ui.SetHandler(control::menuProgramCode, [&ops] { ops.Program_button_Click(); });
  ui.SetHandler(control::menuEraseFlash, [&ops] { ops.EraseFlash_button_Click(); });
  ui.SetHandler(control::menuProgramData, [&ops] { ops.Program_button_Click(); });
  ui.SetHandler(control::menuReadData, [&ops] { ops.Read_button_Click(); });
  ui.SetHandler(control::menuVerifyData, [&ops] { ops.Verify_button_Click(); });
  ui.SetHandler(control::menuDisplayData, [&buf] { buf.Display_button_Click(); });
  ui.SetHandler(control::menuEraseData, [&buf] { buf.Erase_button_Click(); });
  ui.SetHandler(control::menuFlashShowCodeID, [&ops] { ops.menuFlashShowCodeID_Click(); });
  ui.SetHandler(control::menuErrorReset, [&report] { report.Error_label_Click(); });

  ui.SetHandler(control::Setup, [&setup] { setup.Setup_Click(); });
  for (int i = 1; i <= 4; ++i) {
    ui.SetHandler(control::LoadSetup + std::to_string(i),
                  [&setup, i] { setup.LoadSetup_Click(i); });
    ui.SetHandler(control::SaveSetup + std::to_string(i),
                  [&setup, i] { setup.SaveSetup_Click(i); });
  }
  ui.SetHandler(control::ForceZambrix4, [&board] { board.ForceZambrix4_Click(); });
  ui.SetHandler(control::ForceZambrix5, [&board] { board.ForceZambrix5_Click(); });
  ui.SetHandler(control::ForceZambrix6, [&board] { board.ForceZambrix6_Click(); });
  ui.SetHandler(control::LoopFlashTest, [&ops] { ops.LoopFlashTest_Click(); });
  ui.SetHandler(control::ResetFlash, [&ops] { ops.ResetFlash_Click(); });

  ui.SetHandler(control::mnuHelpContents, [this] { mnuHelpContents_Click(); });
  ui.SetHandler(control::mnuHelpSearchForHelpOn, [this] { mnuHelpSearchForHelpOn_Click(); });
  ui.SetHandler(control::mnuHelpAbout, [this] { mnuHelpAbout_Click(); });
  ui.SetHandler(control::mnuToolsCatalogue, [this] { core_.dev.mnuToolsCatalogue_Click(); });
  ui.SetHandler(control::frmAbout_cmdOK, [this] { About_cmdOK_Click(); });
  ui.SetHandler(control::frmAbout_cmdSysInfo, [this] { About_cmdSysInfo_Click(); });
  ui.SetHandler(control::Timer1, [this] { Timer1_Timer(); });
}

void Shell::WireEditHandlers() {
  auto& ui = core_.ui;
  auto& buf = core_.buf;
  ui.SetHandler(control::mnuEditUndo, [&buf] { buf.mnuEditUndo_Click(); });
  ui.SetHandler(control::mnuEditRedo, [&buf] { buf.mnuEditRedo_Click(); });
  ui.SetHandler(control::mnuEditGoTo, [&buf] { buf.mnuEditGoTo_Click(); });
  ui.SetHandler(control::mnuEditFill, [&buf] { buf.mnuEditFill_Click(); });
  ui.SetHandler(control::mnuEditChecksum, [&buf] { buf.mnuEditChecksum_Click(); });
  ui.SetHandler(control::mnuEditNextDifference, [&buf] { buf.mnuEditNextDifference_Click(); });
  ui.SetHandler(control::mnuEditPreviousDifference,
                [&buf] { buf.mnuEditPreviousDifference_Click(); });
  ui.SetHandler(control::mnuEditDifferences, [&buf] { buf.mnuEditDifferences_Click(); });
  ui.SetHandler(control::frmDifferences_cmdSave, [&buf] { buf.frmDifferences_cmdSave_Click(); });
  ui.SetHandler(control::frmDifferences_cmdClose, [&buf] { buf.frmDifferences_cmdClose_Click(); });
}

void Shell::Form_Load() {
  auto& ui = core_.ui;
  auto& link = core_.link;
  auto& report = core_.report;

  link.BoardModel = 0;
  auto& s = *core_.svc.settings;
  const auto& form = ui.Get(control::frmMain);
  double left = ReadPlacement(s, "MainLeft", 100);
  double top = ReadPlacement(s, "MainTop", 100);
  double width = ReadPlacement(s, "MainWidth", 100);
  double height = ReadPlacement(s, "MainHeight", 6500);
  (void)form;
  ui.SetGeometry(control::frmMain, left, top, width, height);
  const auto& f3 = ui.Get(control::Frame3);
  ui.SetGeometry(control::Frame3, f3.left, 72, 481, 241);  // pixels of the client area
  link.DelayFactorShort = 5;
  link.DelayFactorMedium = 100;
  link.DelayFactorLong = 500;
  core_.dev.ResetDeviceControls();
  link.BuildReadTables();
  core_.buf.BuildPrintableChars();
  ui.SetCaption(control::ZambrixHardwareFound, "NO HARDWARE FOUND !!!");
  ui.SetColour(control::Ready_label, colour::kRed);
  ui.SetCaption(control::Ready_label, "NotReady");
  ui.SetText(control::PortSelected, "None");
  for (int i = 0; i < 3; ++i) ui.SetValueQuiet(Indexed(control::LPTSelection, i), 0);
  link.FoundPortAddress = 0;
  link.PortAddress = 0;
  link.InitControlTables();
  core_.setup.LoadStartupSettings();
  StartupSearched = link.PortAddress == 0;
  if (StartupSearched) core_.board.TestHardware_button_Click();
  link.ApplyBoardModel();
  report.DataFlowLightOff();
  report.ProgramLightOff();
  report.ErrorLightOff();
  report.ClearLog();
  ui.SetMax(control::VScroll1, 0);
  core_.dev.SetExtendedCatalogue(s.Get(kAppTitle, kSettingsSection, kCatalogueKey) == "1");
  core_.dev.FillDeviceTable();
  core_.dev.FillDeviceList();
  core_.buf.LoadRecentFiles();
  link.Reset();
  report.PlayEventSound("INIT");
}

void Shell::Form_Unload() {
  auto& ui = core_.ui;
  core_.link.Reset();
  ui.SetVisible(control::frmDisplay1, false);
  ui.SetVisible(control::frmDifferences, false);
  ui.SetVisible(control::frmAbout, false);
  const auto& f = ui.Get(control::frmMain);
  auto& s = *core_.svc.settings;
  s.Save(kAppTitle, kSettingsSection, kCatalogueKey, core_.dev.ExtendedCatalogue ? "1" : "0");
  if (f.window_state == 1) return;  // minimised: the previous placement stays
  s.Save(kAppTitle, kSettingsSection, "MainLeft", PlacementText(f.left));
  s.Save(kAppTitle, kSettingsSection, "MainTop", PlacementText(f.top));
  s.Save(kAppTitle, kSettingsSection, "MainWidth", PlacementText(f.width));
  s.Save(kAppTitle, kSettingsSection, "MainHeight", PlacementText(f.height));
}

void Shell::AnnounceBackEnd(const std::string& description, bool simulated,
                            const std::string& problem) {
  BackEndDescription = description;
  BackEndSimulated = simulated;
  auto& report = core_.report;
  if (!problem.empty()) report.LogMessage("Parallel port not usable: " + problem);
  if (simulated) {
    report.LogMessage("SIMULATED BOARD - no chip is touched: " + description);
    return;
  }
  report.LogMessage("Board access through " + description);
  // Each port choice says which real port it is, in the log and its tool tip.
  const auto bound = core_.svc.port ? core_.svc.port->Bindings() : std::vector<PortBinding>{};
  for (const auto& b : bound) report.LogMessage(BindingLine(b));
  // No port at all (refused): the log has said why.
  for (int i = 0; i < 3 && !bound.empty(); ++i) {
    const std::uint16_t choice = kPortChoices[i];
    auto it = std::find_if(bound.begin(), bound.end(),
                           [choice](const PortBinding& b) { return b.choice == choice; });
    core_.ui.SetTooltip(Indexed(control::LPTSelection, i),
                        it != bound.end() ? DescribeBinding(*it) : "No parallel port of this PC");
  }
}

std::string Shell::PortInUseText() const {
  if (core_.svc.port == nullptr || core_.svc.port->IsSimulated()) return {};
  const int base = core_.link.PortAddress;
  if (!IsPortChoice(static_cast<unsigned>(base))) return "No port selected";
  for (const auto& b : core_.svc.port->Bindings()) {
    if (b.choice == base) return BindingLine(b);
  }
  return "Port " + HexAddress(static_cast<unsigned>(base)) + ": no parallel port of this PC";
}

void Shell::tbToolBar_ButtonClick(std::string_view key) {
  auto& buf = core_.buf;
  // Errors are ignored here: the handler goes on with its next statement.
  try {
    if (key == "OpenCode") {
      buf.mnuFileOpenCode_Click();
    } else if (key == "OpenData") {
      buf.mnuFileOpenData_Click();
    } else if (key == "SaveCode") {
      buf.mnuFileSaveCode_Click();
    } else if (key == "SaveData") {
      buf.mnuFileSaveData_Click();
    }
  } catch (const std::exception&) {
  }
}

void Shell::mnuFileExit_Click() {
  if (core_.buf.MayLoseEdits()) exit_requested_ = true;
}

void Shell::mnuToolsOptions_Click() {
  core_.svc.dialogs->MessageBox("This menu option is not available.", MsgButtons::Ok, MsgIcon::None,
                                kAppTitle);
}

// Why a real board is or is not reachable; the port this program holds is named
// rather than claimed a second time.
void Shell::mnuToolsPortDoctor_Click() {
  auto env = DoctorEnv::Real();
  if (!BackEndSimulated) {
    env.in_use = BackEndDescription;
    if (core_.svc.port) env.in_use_bindings = core_.svc.port->Bindings();
  }
  std::string text;
  for (const auto& line : DiagnosePorts(env).lines) text += line + "\n";
  core_.svc.dialogs->MessageBox(text, MsgButtons::Ok, MsgIcon::Information, "Port Doctor");
}

void Shell::ShowHelp() {
  if (HelpFile.empty()) {
    core_.svc.dialogs->MessageBox(
        "Unable to display Help Contents. There is no Help associated with this project.",
        MsgButtons::Ok, MsgIcon::Information, core_.ui.Caption(control::frmMain));
    return;
  }
  auto error = core_.svc.platform->OpenDocument(HelpFile);
  if (error) core_.svc.dialogs->MessageBox(*error, MsgButtons::Ok, MsgIcon::None, kAppTitle);
}

void Shell::mnuHelpContents_Click() { ShowHelp(); }
void Shell::mnuHelpSearchForHelpOn_Click() { ShowHelp(); }

void Shell::mnuHelpAbout_Click() {
  About_Form_Load();
  core_.ui.SetVisible(control::frmAbout, true);
}

void Shell::About_Form_Load() {
  core_.ui.SetCaption(control::frmAbout_lblVersion, "Version " + std::to_string(kMajor) + "." +
                                                        std::to_string(kMinor) + "." +
                                                        std::to_string(kRevision));
  core_.ui.SetCaption(control::frmAbout_lblTitle, std::string(kAppTitle));
}

void Shell::About_cmdOK_Click() { core_.ui.SetVisible(control::frmAbout, false); }
void Shell::About_cmdSysInfo_Click() { StartSysInfo(); }

void Shell::StartSysInfo() {
  // This platform has no system information program unless one is configured.
  if (SysInfoProgram.empty() || !core_.svc.platform->StartProgram(SysInfoProgram)) {
    core_.svc.dialogs->MessageBox("System Information Is Unavailable At This Time", MsgButtons::Ok,
                                  MsgIcon::None, kAppTitle);
  }
}

void Shell::Timer1_Timer() { core_.ui.SetEnabled(control::Timer1, false); }

}  // namespace zambrix
