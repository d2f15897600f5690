// The about box, the display window, closing the main window and its placement.
#include <QAction>
#include <QFontInfo>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "gui/about_dialog.h"
#include "gui/display_window.h"
#include "gui/widgets.h"
#include "gui_support.h"

namespace zambrix::gui::testing {
namespace {

TEST_F(WindowTest, AboutBoxIsModalFilledByTheCoreAndClosedByEscape) {
  View<QAction>("mnuHelpAbout")->trigger();
  AboutDialog* about = window->about();
  ASSERT_TRUE(about->isVisible());
  EXPECT_TRUE(about->isModal());
  QTest::keyClick(about, Qt::Key_Escape);
  EXPECT_FALSE(about->isVisible());
  EXPECT_FALSE(t->ui.Visible("frmAbout"));
}

TEST_F(WindowTest, DisplayWindowMirrorsItsControlsInAFixedFont) {
  t->ui.SetText("frmDisplay1.BufferDisplay", "\r\n000000| 48656C6C | Hell");
  t->ui.SetVisible("frmDisplay1", true);
  DisplayWindow* display = window->display();
  ASSERT_TRUE(display->isVisible());
  EXPECT_EQ(View<TextView>("frmDisplay1.BufferDisplay")->toPlainText(),
            "\n000000| 48656C6C | Hell");
  EXPECT_TRUE(QFontInfo(View<TextView>("BufferDisplay")->font()).fixedPitch());
  display->close();
  EXPECT_FALSE(t->ui.Visible("frmDisplay1"));
}

TEST_F(WindowTest, FileExitClosesTheWindowsAndStoresThePlacement) {
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  t->ui.SetVisible("frmDisplay1", true);
  View<QAction>("mnuFileExit")->trigger();
  QTRY_VERIFY(!window->isVisible());
  EXPECT_FALSE(window->display()->isVisible());
  const auto width = t.settings.Get("ZAMBRIX6", "Settings", "MainWidth");
  ASSERT_TRUE(width.has_value());
  EXPECT_NEAR(std::stod(*width), window->width() * window->TwipsPerPixel(), 1.0);
}

TEST_F(WindowTest, AMinimisedWindowStoresNothing) {
  window->showMinimized();
  window->close();
  EXPECT_EQ(t->ui.Get("frmMain").window_state, 1);
  EXPECT_FALSE(t.settings.Get("ZAMBRIX6", "Settings", "MainLeft").has_value());
}

TEST_F(WindowTest, PlacementInTwipsButNeverSmallerThanTheLayoutWhichFits1024By768) {
  const QSize least = window->minimumSizeHint();
  EXPECT_LE(least.width(), 1024);
  EXPECT_LE(least.height(), 768 - 40);  // room for the title bar and a panel
  // The first run's default width of 100 twips gives way to the layout.
  window->ApplyPlacement();
  EXPECT_GE(window->width(), least.width());
  EXPECT_GE(window->height(), least.height());
  // What is stored is placed again unchanged: no growth run after run.
  window->StorePlacement();
  const QRect before = window->geometry();
  window->ApplyPlacement();
  EXPECT_EQ(window->geometry(), before);
}

// A placement stored on a screen that is gone comes back whole on this one; a
// maximised window comes back maximised.
TEST_F(WindowTest, PlacementIsClampedToTheScreen) {
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  const double tpp = window->TwipsPerPixel();
  const double far = 1e6, big = 5e5;
  const double stored[][4] = {{far, far, 9000, 6000}, {-far, -far, 9000, 6000}, {0, 0, big, big}};
  for (const auto& s : stored) {
    t->ui.SetGeometry("frmMain", s[0], s[1], s[2], s[3]);
    window->ApplyPlacement();
    // On each axis the window lies inside the screen, or starts at its edge
    // when the screen is smaller than the layout.
    auto inside = [](int at, int size, int from, int span) {
      return size <= span ? at >= from && at + size <= from + span : at == from;
    };
    EXPECT_TRUE(inside(window->x(), window->width(), room.x(), room.width())) << s[0];
    EXPECT_TRUE(inside(window->y(), window->height(), room.y(), room.height())) << s[1];
  }
  t->ui.SetGeometry("frmMain", 300 * tpp, 200 * tpp, 700 * tpp, 500 * tpp);
  t->ui.SetWindowState("frmMain", 2);
  window->ApplyPlacement();
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

}  // namespace
}  // namespace zambrix::gui::testing
