// The Qt services: dialogs answered by the test, file filters, the settings store.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/qt_services.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

// Runs `answer` on the next modal dialog once it is shown.
template <class Dialog>
void AnswerNext(std::function<void(Dialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* modal = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    modal == nullptr ? AnswerNext(answer) : answer(modal);
  });
}
using Box = QMessageBox;

TEST(QtDialogsTest, MessageBoxShowsPlainTextTitleIconAndAnswersCarefully) {
  QtDialogs dialogs;
  AnswerNext<Box>([](Box* box) {
    EXPECT_EQ(box->text(), "<b>1 < 2</b>");  // as it is, never as markup
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("<b>1 < 2</b>", MsgButtons::YesNo, MsgIcon::Question, "ZAMBRIX6"),
            MsgAnswer::Yes);
  // Enter must not say yes before a chip is changed, nor closing the box.
  AnswerNext<Box>([](Box* box) { QTest::keyClick(box, Qt::Key_Return); });
  EXPECT_EQ(dialogs.MessageBox("Program the Device?", MsgButtons::OkCancel, MsgIcon::Question, ""),
            MsgAnswer::Cancel);
  AnswerNext<Box>([](Box* box) { box->done(-1); });
  EXPECT_EQ(dialogs.MessageBox("Sure?", MsgButtons::YesNo, MsgIcon::Question, ""), MsgAnswer::No);
}

TEST(QtDialogsTest, InputBoxGivesTheTextOrNothingWhenCancelled) {
  QtDialogs dialogs;
  AnswerNext<QInputDialog>([](QInputDialog* input) {
    EXPECT_EQ(input->textValue(), "old");
    input->setTextValue("Setup A");
    input->accept();
  });
  EXPECT_EQ(dialogs.InputBox("Name of this setup:", "Save Setup", "old"), "Setup A");
  AnswerNext<QInputDialog>([](QInputDialog* input) { input->reject(); });
  EXPECT_EQ(dialogs.InputBox("Name of this setup:", "Save Setup", ""), std::nullopt);
}

// The file dialogs open in the folder of the name they are given, with its
// file name proposed; a cancelled one gives nothing.
TEST(QtDialogsTest, FileDialogsStartInTheGivenFolder) {
  QtDialogs dialogs;
  QTemporaryDir dir;
  const std::string start = dir.path().toStdString() + "/ZAMBRIX.LOG";
  AnswerNext<QFileDialog>([&dir](QFileDialog* d) {
    EXPECT_EQ(d->directory().absolutePath(), dir.path());
    auto* name = d->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "ZAMBRIX.LOG");
    static_cast<QDialog*>(d)->accept();
  });
  EXPECT_EQ(dialogs.SaveFile({"Save System Log As...", "Text (*.txt)|*.txt", start}), start);
  AnswerNext<QFileDialog>([&dir](QFileDialog* d) {
    EXPECT_EQ(d->directory().absolutePath(), dir.path());
    d->reject();
  });
  EXPECT_EQ(dialogs.OpenFile({"Open Code File", "", dir.path().toStdString() + "/"}), std::nullopt);
}

TEST(QtDialogsTest, FileFiltersTakeQtsForm) {
  EXPECT_EQ(QtFileFilter("Binary (*.bin;*.rom)|*.bin;*.rom|All Files (*.*)|*.*"),
            "Binary (*.bin *.rom);;All Files (*)");
  EXPECT_EQ(QtFileFilter(""), "All Files (*)");
}

TEST(QtSettingsStoreTest, ValuesLandInTheApplicationsFileUnderItsSection) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QtSettingsStore store(dir.path());
  store.Save("ZAMBRIX6", "Settings", "MainLeft", "1500");
  EXPECT_EQ(QtSettingsStore(dir.path()).Get("ZAMBRIX6", "Settings", "MainLeft"), "1500");
  EXPECT_TRUE(QFile::exists(dir.filePath("ZAMBRIX6.ini")));
}

}  // namespace
}  // namespace zambrix::gui::testing
