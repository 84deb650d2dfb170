// Percentages and plain numbers in the user's locale.
#include "foundation/number_formatter.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vorlane {
namespace {

using Style = NumberFormatter::Style;

TEST(NumberFormatter, WritesPercentAndDecimalAsTheLocaleDoes) {
  const struct {
    const char* name;
    const char* locale;
    Style style;
    double value;
    std::string expected;
  } rows[] = {
      {"US percent", "en_US", Style::percent, 0.55, "55%"},
      {"German percent has a no-break space", "de_DE", Style::percent, 0.55, "55\u00A0%"},
      {"whole percent, half to even down", "en_US", Style::percent, 0.125, "12%"},
      {"whole percent, half to even up", "en_US", Style::percent, 0.135, "14%"},
      {"all of it", "en_US", Style::percent, 1.0, "100%"},
      {"none of it", "en_US", Style::percent, 0.0, "0%"},
      {"whole number has no fraction", "en_US", Style::decimal, 4.0, "4"},
      {"US decimal point", "en_US", Style::decimal, 4.5, "4.5"},
      {"German decimal comma", "de_DE", Style::decimal, 4.5, "4,5"},
      {"British decimal", "en_GB", Style::decimal, 7.25, "7.25"},
      {"at most three fraction digits", "en_US", Style::decimal, 1.23456, "1.235"},
      {"US grouping", "en_US", Style::decimal, 1234.5, "1,234.5"},
      {"German grouping", "de_DE", Style::decimal, 1234.5, "1.234,5"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const NumberFormatter formatter(Calendar("UTC", row.locale), row.style);
    EXPECT_EQ(formatter.format(row.value), row.expected);
  }
}

TEST(NumberFormatter, AValueThatIsNotFiniteStillGivesText) {
  for (const Style style : {Style::percent, Style::decimal}) {
    const NumberFormatter formatter(Calendar("UTC", "en_US"), style);
    EXPECT_FALSE(formatter.format(std::numeric_limits<double>::quiet_NaN()).empty());
    EXPECT_FALSE(formatter.format(std::numeric_limits<double>::infinity()).empty());
  }
}

}  // namespace
}  // namespace vorlane
