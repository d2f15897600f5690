// The core's services on Qt: real dialogs, the per-user settings store, the
// sound player and opening documents with the desktop's viewer.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "app/posix_platform.h"
#include "base/services.h"

class QSoundEffect;
class QTextBrowser;
class QUrl;

namespace zambrix::gui {

class QtDialogs : public Dialogs {
 public:
  // Dialogs belong to this window (the main window once it exists).
  void SetOwner(QWidget* owner) { owner_ = owner; }

  MsgAnswer MessageBox(std::string_view text, MsgButtons buttons, MsgIcon icon,
                       std::string_view title) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view default_text) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;

 private:
  QPointer<QWidget> owner_;
};

// "All Files (*.*)|*.*" (description|pattern pairs, patterns split by ";") in
// the form a Qt file dialog takes: "All Files (*)". "*.*" means every file.
QString QtFileFilter(const std::string& filter);

// Values under the user's configuration folder: application "ZAMBRIX6",
// section "Settings", key "MainLeft" go to zambrix/ZAMBRIX6.ini, group
// [Settings]. A folder can be given (tests).
class QtSettingsStore : public SettingsStore {
 public:
  explicit QtSettingsStore(QString folder = {}) : folder_(std::move(folder)) {}
  std::optional<std::string> Get(std::string_view app, std::string_view section,
                                 std::string_view key) override;
  void Save(std::string_view app, std::string_view section, std::string_view key,
            std::string_view value) override;
  // Where the values of an application are kept.
  QString FileFor(std::string_view app) const;

  static constexpr const char* kOrganisation = "zambrix";

 private:
  QString folder_;
};

// Plays wave files asynchronously; a new sound stops the one still playing; a
// missing file is silent. Without Qt Multimedia it plays nothing.
class QtSoundPlayer : public SoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  void PlayAsync(const std::string& path) override;
  std::string last;  // the file asked for last

 private:
#ifdef ZAMBRIX_HAVE_MULTIMEDIA
  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
#endif
};

// Platform services: the clock texts and the program folder as on any POSIX
// system; documents open with the desktop's viewer, or in a built-in browser
// when no viewer can be started.
class QtPlatform : public PosixPlatform {
 public:
  QtPlatform();
  ~QtPlatform() override;
  std::optional<std::string> OpenDocument(const std::string& path) override;
  // The built-in viewer, once it was needed.
  QTextBrowser* BuiltInViewer() const { return viewer_.get(); }
  // Hands a document to the desktop's viewer; false when none could be started.
  std::function<bool(const QUrl&)> open_url;

 private:
  void ShowBuiltIn(const QString& file);
  std::unique_ptr<QTextBrowser> viewer_;
};

}  // namespace zambrix::gui
