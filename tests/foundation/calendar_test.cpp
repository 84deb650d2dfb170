#include "foundation/calendar.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");

Date utc(int year, int month, int day, int hour, int minute = 0, int second = 0) {
  return *Calendar("UTC").date(year, month, day, hour, minute, second);
}

TEST(Calendar, SkippedWallTimeResolvesToNextExistingTime) {
  const std::optional<Date> placed = newYork.date(2026, 3, 8, 2, 30);
  ASSERT_TRUE(placed);
  EXPECT_EQ(*placed, utc(2026, 3, 8, 7, 0));  // 03:00 EDT
}

TEST(Calendar, RepeatedWallTimeResolvesToFirstOccurrence) {
  const std::optional<Date> placed = newYork.date(2026, 11, 1, 1, 30);
  ASSERT_TRUE(placed);
  EXPECT_EQ(*placed, utc(2026, 11, 1, 5, 30));  // 01:30 EDT
}

TEST(Calendar, WeekHoldingSpringForwardIsAnHourShort) {
  EXPECT_EQ(newYork.weekInterval(utc(2026, 3, 10, 12)).duration(), 601200.0);
}

}  // namespace
}  // namespace vorlane
