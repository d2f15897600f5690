// Start-up, shutdown, the menu and toolbar routing, help and the about box.
#pragma once

#include <string>
#include <string_view>

#include "base/services.h"

namespace zambrix {

class Core;

class Shell {
 public:
  explicit Shell(Core& core) : core_(core) {}

  // Declares every control and connects each to its handler (once, before Form_Load).
  void CreateWindow();
  // The start-up sequence and the shutdown.
  void Form_Load();
  void Form_Unload();
  // Says in the log, after start-up, which back end runs (plainly when simulated)
  // and why a port could not be opened.
  void AnnounceBackEnd(const std::string& description, bool simulated, const std::string& problem);
  // The real port behind the port choice in use, for the status bar ("Port
  // 378h is /dev/parport1, a card at D010h"); empty on the simulated board.
  std::string PortInUseText() const;

  void tbToolBar_ButtonClick(std::string_view key);
  void mnuFileExit_Click();
  void mnuToolsOptions_Click();
  void mnuToolsPortDoctor_Click();
  void mnuHelpContents_Click();
  void mnuHelpSearchForHelpOn_Click();
  void mnuHelpAbout_Click();
  void About_Form_Load();
  void About_cmdOK_Click();
  void About_cmdSysInfo_Click();
  void StartSysInfo();
  void Timer1_Timer();

  // True once File / Exit asked the window to close (the view closes it).
  bool ExitRequested() const { return exit_requested_; }
  // Start-up searched every port (no usable remembered board).
  bool StartupSearched = false;
  // Help document shown by the help commands (empty = no help configured).
  std::string HelpFile;
  std::string BackEndDescription;  // the port back end in use, as announced
  bool BackEndSimulated = true;
  // The program that shows system information (none on this platform).
  std::string SysInfoProgram;

  static constexpr int kMajor = 1, kMinor = 0, kRevision = 60;

 private:
  void WireHandlers();
  void WireEditHandlers();
  void ShowHelp();
  Core& core_;
  bool exit_requested_ = false;
};

}  // namespace zambrix
