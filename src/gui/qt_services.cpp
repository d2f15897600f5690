#include "gui/qt_services.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QTextBrowser>
#include <QUrl>

#include "gui/widgets.h"

#ifdef ZAMBRIX_HAVE_MULTIMEDIA
#include <QSoundEffect>
#endif

namespace zambrix::gui {

namespace {

QString Qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QMessageBox::StandardButtons ButtonsFor(MsgButtons b) {
  switch (b) {
    case MsgButtons::Ok:
      return QMessageBox::Ok;
    case MsgButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon IconFor(MsgIcon i) {
  switch (i) {
    case MsgIcon::None:
      return QMessageBox::NoIcon;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Critical:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// A box closed without a button answers as its most careful button would.
MsgAnswer ClosedAnswer(MsgButtons b) {
  switch (b) {
    case MsgButtons::Ok:
      return MsgAnswer::Ok;
    case MsgButtons::YesNo:
      return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
      return MsgAnswer::Cancel;
  }
  return MsgAnswer::Cancel;
}

// A box narrower than its title gets the title cut in its title bar: it is
// made wide enough for the title and the title bar's buttons.
void FitTitle(QMessageBox& box, const QString& title) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  QFont font = box.font();
  font.setBold(true);
  const int wanted = QFontMetrics(font).horizontalAdvance(title) * 3 / 2 + 160;
  grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

std::optional<std::string> Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace

MsgAnswer QtDialogs::MessageBox(std::string_view text, MsgButtons buttons, MsgIcon icon,
                                std::string_view title) {
  QMessageBox box(IconFor(icon), Qs(title), Qs(text), ButtonsFor(buttons), owner_);
  box.setTextFormat(Qt::PlainText);
  FitTitle(box, Qs(title));
  // The program asks OK / Cancel only before it changes a chip, and Yes / No
  // before it stops an operation: Enter must say neither.
  if (buttons == MsgButtons::OkCancel) box.setDefaultButton(QMessageBox::Cancel);
  if (buttons == MsgButtons::YesNo) box.setDefaultButton(QMessageBox::No);
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MsgAnswer::Ok;
    case QMessageBox::Cancel:
      return MsgAnswer::Cancel;
    case QMessageBox::Yes:
      return MsgAnswer::Yes;
    case QMessageBox::No:
      return MsgAnswer::No;
    default:
      return ClosedAnswer(buttons);
  }
}

std::optional<std::string> QtDialogs::InputBox(std::string_view prompt, std::string_view title,
                                               std::string_view default_text) {
  QInputDialog dialog(owner_);
  dialog.setWindowTitle(Qs(title));
  dialog.setLabelText(Qs(prompt));
  dialog.setTextValue(Qs(default_text));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

std::optional<std::string> QtDialogs::OpenFile(const FileDialogRequest& request) {
  return Chosen(QFileDialog::getOpenFileName(owner_, Qs(request.title), Qs(request.file_name),
                                             QtFileFilter(request.filter)));
}

std::optional<std::string> QtDialogs::SaveFile(const FileDialogRequest& request) {
  return Chosen(QFileDialog::getSaveFileName(owner_, Qs(request.title), Qs(request.file_name),
                                             QtFileFilter(request.filter)));
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Qs(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    QStringList patterns;
    if (i + 1 < parts.size()) {
      for (QString p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
      }
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    // Qt reads the patterns from the parentheses: the description's own go.
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')')))
      description = description.left(open).trimmed();
    if (description.isEmpty()) description = QStringLiteral("Files");
    out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  if (out.isEmpty() || filter.empty()) return QStringLiteral("All Files (*)");
  return out.join(QStringLiteral(";;"));
}

QString QtSettingsStore::FileFor(std::string_view app) const {
  if (!folder_.isEmpty()) return folder_ + QLatin1Char('/') + Qs(app) + QStringLiteral(".ini");
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QLatin1String(kOrganisation),
                   Qs(app))
      .fileName();
}

std::optional<std::string> QtSettingsStore::Get(std::string_view app, std::string_view section,
                                                std::string_view key) {
  QSettings s(FileFor(app), QSettings::IniFormat);
  s.beginGroup(Qs(section));
  const QVariant v = s.value(Qs(key));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void QtSettingsStore::Save(std::string_view app, std::string_view section, std::string_view key,
                           std::string_view value) {
  QSettings s(FileFor(app), QSettings::IniFormat);
  s.beginGroup(Qs(section));
  s.setValue(Qs(key), Qs(value));
  s.endGroup();
  s.sync();
}

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::PlayAsync(const std::string& path) {
  last = path;
#ifdef ZAMBRIX_HAVE_MULTIMEDIA
  for (auto& entry : effects_) entry.second->stop();
  const QString file = QString::fromStdString(path);
  if (!QFileInfo::exists(file)) return;  // a missing file is silent
  auto& effect = effects_[path];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(file));
  }
  effect->play();
#endif
}

QtPlatform::QtPlatform()
    : open_url([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

QtPlatform::~QtPlatform() = default;

std::optional<std::string> QtPlatform::OpenDocument(const std::string& path) {
  const QString file = QString::fromStdString(path);
  if (!QFileInfo::exists(file)) return "File not found: " + path;
  // Without a viewer of the desktop, the program shows the page itself.
  if (!open_url(QUrl::fromLocalFile(file))) ShowBuiltIn(file);
  return std::nullopt;
}

void QtPlatform::ShowBuiltIn(const QString& file) {
  if (!viewer_) {
    viewer_ = std::make_unique<QTextBrowser>();
    viewer_->setObjectName(QStringLiteral("HelpViewer"));
    viewer_->setOpenExternalLinks(true);
    viewer_->resize(760, 600);
  }
  if (!viewer_->isVisible()) PlaceInsideScreen(viewer_.get(), nullptr);
  viewer_->setSource(QUrl::fromLocalFile(file));
  viewer_->setWindowTitle(viewer_->documentTitle().isEmpty() ? QFileInfo(file).fileName()
                                                             : viewer_->documentTitle());
  viewer_->show();
  viewer_->raise();
  viewer_->activateWindow();
}

}  // namespace zambrix::gui
