// Files the way a desktop offers them: dropped on the window, the last eight
// code files, the folder a dialog used last (also in the next run), and the log
// and the hex view saved under a name the operator chooses.
#include <filesystem>

#include "base/control_names.h"
#include "base/file_io.h"
#include "base/report.h"
#include "base/services.h"
#include "base/window_model.h"
#include "buffers/buffers.h"
#include "devices/device_selection.h"
#include "link/link.h"
#include "ops/operations.h"

namespace zambrix {

namespace {

constexpr std::string_view kFilesSection = "Files";
constexpr std::string_view kFolderKey = "LastFolder";
constexpr std::string_view kTextFilter =
    "Text Files (*.txt;*.log;*.buf)|*.txt;*.log;*.buf|All Files (*.*)|*.*";

std::string RecentKey(int i) { return "Recent" + std::to_string(i + 1); }
std::string RecentEntry(int i) { return control::mnuFileRecent + std::to_string(i + 1); }

}  // namespace

void Buffers::OpenDroppedFile(const std::string& path, bool data_area) {
  if (data_area && ui_.Enabled(control::mnuFileOpenData)) {
    OpenChosen(path, DataFileName, &Buffers::ReadBinaryFileData);
  } else {
    OpenChosen(path, CodeFileName, &Buffers::ReadBinaryFile);
  }
}

void Buffers::LoadRecentFiles() {
  auto& s = *svc_.settings;
  RecentFiles.clear();
  for (int i = 0; i < kRecentFiles; ++i) {
    auto path = s.Get(kAppTitle, kFilesSection, RecentKey(i));
    if (path && !path->empty()) RecentFiles.push_back(*path);
  }
  LastFolder = s.Get(kAppTitle, kFilesSection, kFolderKey).value_or("");
  ShowRecentFiles();
}

// The folder is kept for every file; code files also go to the top of the list.
void Buffers::RememberFile(const std::string& path, bool recent) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path full = fs::absolute(path, ec).lexically_normal();
  LastFolder = full.parent_path().string();
  svc_.settings->Save(kAppTitle, kFilesSection, kFolderKey, LastFolder);
  if (!recent) return;
  std::erase(RecentFiles, full.string());
  RecentFiles.insert(RecentFiles.begin(), full.string());
  if (RecentFiles.size() > static_cast<std::size_t>(kRecentFiles)) RecentFiles.resize(kRecentFiles);
  SaveRecentFiles();
}

void Buffers::SaveRecentFiles() {
  for (int i = 0; i < kRecentFiles; ++i) {
    const auto at = static_cast<std::size_t>(i);
    svc_.settings->Save(kAppTitle, kFilesSection, RecentKey(i),
                        at < RecentFiles.size() ? RecentFiles[at] : "");
  }
  ShowRecentFiles();
}

void Buffers::ShowRecentFiles() {
  auto& ui = ui_;
  for (int i = 0; i < kRecentFiles; ++i) {
    const auto at = static_cast<std::size_t>(i);
    const bool shown = at < RecentFiles.size();
    ui.SetCaption(RecentEntry(i), shown ? "&" + std::to_string(i + 1) + " " + RecentFiles[at] : "");
    ui.SetVisible(RecentEntry(i), shown);
  }
  ui.SetEnabled(control::mnuFileRecent, !RecentFiles.empty());
}

// A file that is gone leaves the list; its log line says why it was not opened.
void Buffers::mnuFileRecent_Click(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= RecentFiles.size()) return;
  const std::string path = RecentFiles[static_cast<std::size_t>(index)];
  OpenChosen(path, CodeFileName, &Buffers::ReadBinaryFile);
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return;
  std::erase(RecentFiles, path);
  SaveRecentFiles();
}

void Buffers::mnuFileSaveLogAs_Click() {
  auto name = AskSaveName("Save System Log As...", "ZAMBRIX.LOG", kTextFilter);
  if (!name || !report_.SaveLogTo(*name)) return;
  RememberFile(*name, false);
  report_.LogMessage("System Log was Saved to " + *name + " file");
}

void Buffers::mnuFileSaveHexViewAs_Click() {
  auto name = AskSaveName("Save Hex View As...", "ZAMBRIX.BUF", kTextFilter);
  if (!name || !SaveDisplayTo(*name)) return;
  RememberFile(*name, false);
  report_.LogMessage("Buffer DIsplay was Saved to " + *name + " file");
  report_.PlayEventSound("OK");
}

}  // namespace zambrix
