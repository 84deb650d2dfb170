#pragma once

#include <gtest/gtest.h>

#include <QMenu>
#include <QScreen>

namespace vorlane {

// Whether the menu, as Qt placed it and as the X server has it, lies inside the free area of
// its screen.
inline ::testing::AssertionResult onScreen(const QMenu& menu) {
  const QRect area = menu.screen()->availableGeometry();
  if (!area.contains(menu.geometry())) {
    return ::testing::AssertionFailure()
           << "menu at " << menu.x() << "," << menu.y() << " " << menu.width() << "x"
           << menu.height() << " outside " << area.width() << "x" << area.height();
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vorlane
