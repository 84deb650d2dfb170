// A real menu opened in the corner of the screen, growing while it shows.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include "tests/support/menu_on_screen.h"
#include "ui/kit/menu_screen_keeper.h"

namespace vorlane {
namespace {

TEST(MenuScreenKeeperX11, AMenuThatGrowsWhileOpenIsMovedBackInside) {
  QMenu menu;
  menu.addAction(QStringLiteral("Vorlane now"));
  MenuScreenKeeper::keep(menu);
  const auto children = menu.children().size();
  MenuScreenKeeper::keep(menu);  // once only
  EXPECT_EQ(menu.children().size(), children);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  menu.popup(area.bottomRight());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
  const QRect opened = menu.geometry();
  ASSERT_TRUE(onScreen(menu));

  // Wider and taller than the room left to its right and below where it opened.
  menu.addAction(QStringLiteral("Continue focus for 5 more minutes, then a break of ten"));
  for (int i = 0; i < 6; ++i) menu.addAction(QStringLiteral("Row %1").arg(i));
  ASSERT_GT(opened.left() + menu.width() - 1, area.right()) << "the menu did not grow past";
  ASSERT_GT(opened.top() + menu.height() - 1, area.bottom());
  EXPECT_TRUE(onScreen(menu));
  // Moved the least: it ends at the corner it opened in.
  EXPECT_EQ(menu.geometry().bottomRight(), area.bottomRight());
}

}  // namespace
}  // namespace vorlane
