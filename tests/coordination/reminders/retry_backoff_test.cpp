#include "coordination/reminders/retry_backoff.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(RetryBackoff, WaitsDoubleFromTheShortestToTheLongestAndStartOverAfterASuccess) {
  const Date start(1000);
  RetryBackoff backoff(30, 100);
  EXPECT_TRUE(backoff.isDue(start));
  const struct {
    const char* name;
    double failedAfter;  // seconds after the start
    double notDueAfter, dueAfter;
  } rows[] = {
      {"first failure", 0, 29.9, 30},
      {"second doubles", 30, 89.9, 90},
      {"third reaches the longest", 90, 189.9, 190},
      {"and stays there", 190, 289.9, 290},
  };
  for (const auto& row : rows) {
    backoff.failed(start + row.failedAfter);
    EXPECT_FALSE(backoff.isDue(start + row.notDueAfter)) << row.name;
    EXPECT_TRUE(backoff.isDue(start + row.dueAfter)) << row.name;
  }
  EXPECT_TRUE(backoff.isDue(start + 189)) << "a clock set back ends the wait";
  backoff.succeeded();
  EXPECT_TRUE(backoff.isDue(start + 191));
  backoff.failed(start + 191);
  EXPECT_FALSE(backoff.isDue(start + 220.9)) << "after a success the shortest wait again";
  EXPECT_TRUE(backoff.isDue(start + 221));
}

}  // namespace
}  // namespace vorlane
