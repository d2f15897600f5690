// The Qt services: message boxes and the input box answered by the test, file
// filters, the settings store and the sound player.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "gui/qt_services.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

// Runs `answer` on the next modal dialog once it is shown.
void AnswerNextDialog(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      AnswerNextDialog(answer);
      return;
    }
    answer(modal);
  });
}

TEST(QtDialogsTest, MessageBoxShowsTextTitleIconAndAnswers) {
  QtDialogs dialogs;
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  AnswerNextDialog([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(
      dialogs.MessageBox("Program the Device?", MsgButtons::YesNo, MsgIcon::Question, "ZAMBRIX6"),
      MsgAnswer::No);
  EXPECT_EQ(text, "Program the Device?");
  EXPECT_EQ(title, "ZAMBRIX6");
  EXPECT_EQ(icon, QMessageBox::Question);

  AnswerNextDialog(
      [](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(dialogs.MessageBox("Sure?", MsgButtons::YesNoCancel, MsgIcon::None, ""),
            MsgAnswer::Yes);
  // Text is shown as it is, never as markup.
  AnswerNextDialog([&](QWidget* w) {
    text = static_cast<QMessageBox*>(w)->text();
    EXPECT_EQ(static_cast<QMessageBox*>(w)->textFormat(), Qt::PlainText);
    static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("<b>1 < 2</b>", MsgButtons::Ok, MsgIcon::None, ""), MsgAnswer::Ok);
  EXPECT_EQ(text, "<b>1 < 2</b>");
}

TEST(QtDialogsTest, OkCancelDefaultsToCancelAndClosingIsTheCarefulAnswer) {
  QtDialogs dialogs;
  AnswerNextDialog([](QWidget* w) {
    auto* box = static_cast<QMessageBox*>(w);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
              box->button(QMessageBox::Cancel));
    box->defaultButton()->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Program the Device?", MsgButtons::OkCancel, MsgIcon::Question,
                               "Safety Question"),
            MsgAnswer::Cancel);
  AnswerNextDialog([](QWidget* w) { static_cast<QMessageBox*>(w)->done(-1); });
  EXPECT_EQ(dialogs.MessageBox("Sure?", MsgButtons::YesNo, MsgIcon::Question, ""), MsgAnswer::No);
}

TEST(QtDialogsTest, InputBoxGivesTheTextOrNothingWhenCancelled) {
  QtDialogs dialogs;
  AnswerNextDialog([](QWidget* w) {
    auto* input = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->labelText(), "Name of this setup:");
    EXPECT_EQ(input->textValue(), "old");
    input->setTextValue("Setup A");
    input->accept();
  });
  EXPECT_EQ(dialogs.InputBox("Name of this setup:", "Save Setup", "old"), "Setup A");
  AnswerNextDialog([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(dialogs.InputBox("Name of this setup:", "Save Setup", ""), std::nullopt);
}

TEST(QtDialogsTest, FileFiltersTakeQtsForm) {
  EXPECT_EQ(QtFileFilter("All Files (*.*)|*.*"), "All Files (*)");
  EXPECT_EQ(QtFileFilter("Binary (*.bin;*.rom)|*.bin;*.rom|All Files (*.*)|*.*"),
            "Binary (*.bin *.rom);;All Files (*)");
  EXPECT_EQ(QtFileFilter("Hex files|*.hex"), "Hex files (*.hex)");
  EXPECT_EQ(QtFileFilter(""), "All Files (*)");
}

TEST(QtSettingsStoreTest, ValuesLandInTheApplicationsFileUnderItsSection) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QtSettingsStore store(dir.path());
  EXPECT_EQ(store.Get("ZAMBRIX6", "Settings", "MainLeft"), std::nullopt);
  store.Save("ZAMBRIX6", "Settings", "MainLeft", "1500");
  store.Save("ZAMBRIX6", "Settings", "MainHeight", "6500");
  EXPECT_EQ(store.Get("ZAMBRIX6", "Settings", "MainLeft"), "1500");
  EXPECT_EQ(QtSettingsStore(dir.path()).Get("ZAMBRIX6", "Settings", "MainHeight"), "6500");
  QFile file(dir.filePath("ZAMBRIX6.ini"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains("[Settings]"));
  EXPECT_TRUE(text.contains("MainLeft=1500"));
  // The default store sits in the user's configuration folder.
  EXPECT_TRUE(QtSettingsStore().FileFor("ZAMBRIX6").endsWith("zambrix/ZAMBRIX6.ini"));
}

TEST(QtSoundPlayerTest, AMissingFileIsSilent) {
  QtSoundPlayer sound;
  sound.PlayAsync("/nonexistent/ok.wav");
  EXPECT_EQ(sound.last, "/nonexistent/ok.wav");
}

}  // namespace
}  // namespace zambrix::gui::testing
