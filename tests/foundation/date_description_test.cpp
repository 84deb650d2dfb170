#include "foundation/date_description.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorlane {
namespace {

TEST(DateDescription, WritesUtcWithWholeSecondsRoundedDown) {
  const struct {
    const char* name;
    Date date;
    const char* expected;
  } rows[] = {
      {"reference date", Date(0), "2001-01-01 00:00:00 +0000"},
      {"fraction dropped", Date::fromUnix(1772978709.999), "2026-03-08 14:05:09 +0000"},
      {"before the reference rounds down", Date(-0.5), "2000-12-31 23:59:59 +0000"},
      {"not finite", Date(std::numeric_limits<double>::quiet_NaN()), "invalid date"},
      {"beyond year 9999", Date(1e15), "invalid date"},
  };
  for (const auto& row : rows) EXPECT_EQ(describeDate(row.date), row.expected) << row.name;
}

}  // namespace
}  // namespace vorlane
