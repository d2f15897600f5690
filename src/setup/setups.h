// The start-up settings file and the four named setups.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zambrix {

class Buffers;
class DeviceSelection;
class Link;
class LinkEvents;
class Report;
class WindowModel;
struct Services;
struct SetupLine;

class Setups {
 public:
  Setups(WindowModel& ui, Report& report, Services& svc, Link& link, DeviceSelection& dev,
         Buffers& buf, LinkEvents& board)
      : ui_(ui), report_(report), svc_(svc), link_(link), dev_(dev), buf_(buf), board_(board) {}

  // Start-up settings file "zambrix6.ini".
  void SaveStartupSettings();
  void LoadStartupSettings();
  std::string StartupKeysSeen;
  // Folder that holds "zambrix6.ini" and the setup files (empty = the program
  // folder, with the per-user configuration folder where that is not writable).
  std::string SettingsDir;
  // "zambrix6.ini", or "zambrix6-sim.ini" on the simulated board, so that a
  // simulated run never replaces the file a run on real hardware reads.
  std::string StartupSettingsFileName() const;

  // Setup menu: opening it refreshes the four load entries.
  void Setup_Click();
  void LoadSetup_Click(int n);
  void SaveSetup_Click(int n);
  // Asks for a name and writes the setup file `file_name` ("EPSetup1.INI") into
  // the settings folder; the path written, or nullopt (and a log line).
  std::optional<std::filesystem::path> SaveSetupRot(const std::string& file_name);
  // Reads the setup file `file_name` and applies it line by line; false (and
  // one log line) when the file holds no setup to apply.
  bool LoadSetupRot(const std::string& file_name);
  // The file a setup is read from: "EPSetup1.INI" in any letter case.
  std::optional<std::filesystem::path> FindSetupFile(const std::string& file_name) const;

 private:
  bool RememberedBoardAnswers();
  void ApplySetupLine(const SetupLine& line);
  void ApplyDeviceIndex(const SetupLine& line);
  void ApplyOption(const SetupLine& line);
  void ApplyCheckBox(const SetupLine& line);
  void ApplyPortText(const SetupLine& line);
  void ApplySlider(const SetupLine& line);
  // False when the setup's code file could not be loaded.
  bool RestoreCodeFile(const std::optional<std::string>& file);
  void Refuse(const SetupLine& line, const std::string& reason);
  WindowModel& ui_;
  Report& report_;
  Services& svc_;
  Link& link_;
  DeviceSelection& dev_;
  Buffers& buf_;
  LinkEvents& board_;
};

}  // namespace zambrix
