// The start-up settings file and the four named setups.
#pragma once

#include <string>

namespace zambrix {

class Core;

class Setups {
 public:
  explicit Setups(Core& core) : core_(core) {}

  // Start-up settings file "zambrix6.ini".
  void SaveStartupSettings();
  void LoadStartupSettings();
  std::string StartupKeysSeen;
  // Folder that holds "zambrix6.ini" (empty = the program folder, with the
  // per-user configuration folder where that is not writable).
  std::string SettingsDir;
  // "zambrix6.ini", or "zambrix6-sim.ini" on the simulated board, so that a
  // simulated run never replaces the file a run on real hardware reads.
  std::string StartupSettingsFileName() const;

  // Setup menu.
  void Setup_Click();
  void LoadSetup_Click(int n);
  void SaveSetup_Click(int n);

 private:
  bool RememberedBoardAnswers();
  Core& core_;
};

}  // namespace zambrix
