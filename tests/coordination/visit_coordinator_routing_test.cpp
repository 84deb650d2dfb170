// Opening the feature windows.
#include <gtest/gtest.h>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

class RoutingTest : public CoordinatorTest {};

TEST_F(RoutingTest, TheReflectionOpensTheHistoryWhileTheCoordinatorLives) {
  buildAndStart();
  coordinator->showFocusHistory();
  EXPECT_EQ(windows.focusHistory->shows, 1);
  coordinator->showWeeklyReflection();
  ASSERT_EQ(windows.reflection->shows, 1);
  ASSERT_TRUE(windows.reflection->manageHistory);
  windows.reflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 2);
  coordinator.reset();
  windows.reflection->manageHistory();
  EXPECT_EQ(windows.focusHistory->shows, 2);
}

TEST_F(RoutingTest, WindowsWithoutAControllerAreNotOpened) {
  auto given = dependencies();
  given.windows = {};
  build(std::move(given));
  coordinator->start();
  coordinator->showFocusHistory();
  coordinator->showWeeklyReflection();
  EXPECT_EQ(windows.focusHistory->shows + windows.reflection->shows, 0);
}

}  // namespace
}  // namespace vorlane
