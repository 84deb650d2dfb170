// Where a menu that grew past its screen's free area is moved back to.

#include "ui/kit/menu_screen_keeper.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(MenuScreenKeeper, MovedTheLeastIntoTheArea) {
  const QRect area(0, 24, 1280, 776);  // a panel along the top
  const struct {
    const char* what;
    QRect rect, inside;
  } cases[] = {
      {"inside already", QRect(100, 100, 300, 400), QRect(100, 100, 300, 400)},
      {"past the right edge", QRect(1100, 100, 230, 400), QRect(1050, 100, 230, 400)},
      {"past the bottom", QRect(100, 500, 300, 318), QRect(100, 482, 300, 318)},
      {"past both", QRect(1200, 700, 200, 200), QRect(1080, 600, 200, 200)},
      {"under the panel", QRect(-20, 0, 300, 400), QRect(0, 24, 300, 400)},
      {"taller than the area", QRect(100, 300, 300, 900), QRect(100, 24, 300, 900)},
      {"wider than the area", QRect(400, 100, 1400, 300), QRect(0, 100, 1400, 300)},
  };
  for (const auto& c : cases) EXPECT_EQ(movedInside(c.rect, area), c.inside) << c.what;
}

}  // namespace
}  // namespace vorlane
