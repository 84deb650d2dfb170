#include "core/scheduling/phrase_formatter.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// A fixed zone keeps the tests independent of the machine's.
const Calendar utc("UTC");

Date at(int hour, int minute, int second = 0) {
  return *utc.date(2026, 3, 14, hour, minute, second);
}

TEST(PhraseFormatter, DefaultTemplateAtBoundaryMinutes) {
  struct Row {
    const char* name;
    int hour;
    int minute;
    const char* phrase;
    const char* bubble;
  };
  const Row rows[] = {
      {"midnight", 0, 0, "It's twelve o'clock", "12:00"},
      {"just after midnight", 0, 7, "It's twelve oh seven", "12:07"},
      {"quarter to one after midnight", 0, 45, "It's quarter to one", "12:45"},
      {"eleven sharp", 11, 0, "It's eleven o'clock", "11:00"},
      {"first single-digit minute", 11, 1, "It's eleven oh one", "11:01"},
      {"last single-digit minute", 11, 9, "It's eleven oh nine", "11:09"},
      {"ten past has no oh", 11, 10, "It's eleven ten", "11:10"},
      {"quarter past", 11, 15, "It's quarter past eleven", "11:15"},
      {"half past", 11, 30, "It's half past eleven", "11:30"},
      {"quarter to noon", 11, 45, "It's quarter to twelve", "11:45"},
      {"last minute before noon", 11, 59, "It's eleven fifty-nine", "11:59"},
      {"noon", 12, 0, "It's twelve o'clock", "12:00"},
      {"after noon single digit", 12, 5, "It's twelve oh five", "12:05"},
      {"quarter past noon", 12, 15, "It's quarter past twelve", "12:15"},
      {"half past noon", 12, 30, "It's half past twelve", "12:30"},
      {"quarter to one wraps the dial", 12, 45, "It's quarter to one", "12:45"},
      {"afternoon", 16, 0, "It's four o'clock", "4:00"},
      {"compound minute", 9, 22, "It's nine twenty-two", "9:22"},
      {"round tens", 9, 40, "It's nine forty", "9:40"},
      {"evening one", 13, 20, "It's one twenty", "1:20"},
      {"late single digit", 23, 5, "It's eleven oh five", "11:05"},
      {"late half past", 23, 30, "It's half past eleven", "11:30"},
      {"late quarter to", 23, 45, "It's quarter to twelve", "11:45"},
  };
  PhraseFormatter formatter(std::string(PhraseFormatter::defaultTemplate), utc);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(formatter.phrase(at(row.hour, row.minute)), row.phrase);
    EXPECT_EQ(formatter.bubbleText(at(row.hour, row.minute)), row.bubble);
  }
}

TEST(PhraseFormatter, ExpandsTemplates) {
  struct Row {
    const char* name;
    const char* templateText;
    int hour;
    int minute;
    const char* expected;
  };
  const Row rows[] = {
      {"hour and am after midnight", "{hour} {ampm}", 0, 7, "twelve AM"},
      {"noon is PM", "{ampm}", 12, 0, "PM"},
      {"before noon is AM", "{ampm}", 11, 59, "AM"},
      {"late evening is PM", "{ampm}", 23, 59, "PM"},
      {"minute zero in words", "Time: {minute}", 10, 0, "Time: zero"},
      {"empty template speaks the default", "", 16, 0, "It's four o'clock"},
      {"spaces are not empty", "   ", 16, 0, "   "},
      {"placeholders are case-sensitive", "{Time} {HOUR} {Minute} {AMPM}", 16, 0,
       "{Time} {HOUR} {Minute} {AMPM}"},
      {"repeated placeholder", "{time}, {time}!", 16, 15,
       "quarter past four, quarter past four!"},
      {"every placeholder and an unknown one", "{hour}:{minute} {ampm} ({time}) {unknown}",
       13, 5, "one:five PM (one oh five) {unknown}"},
      {"doubled braces keep the outer pair", "{{hour}}", 3, 0, "{three}"},
      {"unclosed placeholder stays", "{hour", 3, 0, "{hour"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PhraseFormatter formatter(row.templateText, utc);
    EXPECT_EQ(formatter.phrase(at(row.hour, row.minute)), row.expected);
  }
}

TEST(PhraseFormatter, ReadsTheTimeInItsCalendarsZoneAndIgnoresSeconds) {
  // 21:00:59 UTC is 16:00:59 in New York in January.
  Date instant = *utc.date(2026, 1, 15, 21, 0, 59);
  PhraseFormatter newYork("{time} {ampm}", Calendar("America/New_York"));
  EXPECT_EQ(newYork.phrase(instant), "four o'clock PM");
  EXPECT_EQ(newYork.bubbleText(instant), "4:00");

  PhraseFormatter formatter("{time}", utc);
  EXPECT_EQ(formatter.phrase(instant), "nine o'clock");
  formatter.calendar = Calendar("Asia/Tokyo");  // 06:00 the next morning
  EXPECT_EQ(formatter.phrase(instant), "six o'clock");
  formatter.template_ = "";
  EXPECT_EQ(formatter.phrase(instant), "It's six o'clock");
}

TEST(PhraseFormatter, TwelveHourDial) {
  const std::pair<int, int> rows[] = {{0, 12}, {1, 1}, {11, 11}, {12, 12}, {13, 1}, {23, 11}};
  for (auto [hour24, expected] : rows) {
    EXPECT_EQ(PhraseFormatter::twelveHour(hour24), expected) << "hour " << hour24;
  }
}

TEST(PhraseFormatter, NumberWords) {
  const std::pair<std::int64_t, const char*> rows[] = {
      {0, "zero"},
      {1, "one"},
      {13, "thirteen"},
      {19, "nineteen"},
      {20, "twenty"},
      {21, "twenty-one"},
      {30, "thirty"},
      {45, "forty-five"},
      {59, "fifty-nine"},
      {60, "60"},
      {100, "100"},
      {-1, "-1"},
      {-5, "-5"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (auto [n, expected] : rows) {
    EXPECT_EQ(PhraseFormatter::words(n), expected) << "n " << n;
  }
}

}  // namespace
}  // namespace vorlane
