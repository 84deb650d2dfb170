#include "core/scheduling/phrase_formatter.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// A fixed zone keeps the tests independent of the machine's.
const Calendar utc("UTC");

Date at(int hour, int minute) { return *utc.date(2026, 3, 14, hour, minute); }

TEST(PhraseFormatter, DefaultPhraseAndBubbleAtBoundaryMinutes) {
  struct Row {
    int hour, minute;
    const char* phrase;
    const char* bubble;
  };
  const Row rows[] = {
      {0, 0, "It's twelve o'clock", "12:00"},     {0, 7, "It's twelve oh seven", "12:07"},
      {0, 45, "It's quarter to one", "12:45"},    {11, 1, "It's eleven oh one", "11:01"},
      {11, 9, "It's eleven oh nine", "11:09"},    {11, 10, "It's eleven ten", "11:10"},
      {11, 15, "It's quarter past eleven", "11:15"}, {11, 30, "It's half past eleven", "11:30"},
      {11, 45, "It's quarter to twelve", "11:45"}, {11, 59, "It's eleven fifty-nine", "11:59"},
      {12, 0, "It's twelve o'clock", "12:00"},    {12, 45, "It's quarter to one", "12:45"},
      {16, 0, "It's four o'clock", "4:00"},       {9, 22, "It's nine twenty-two", "9:22"},
      {9, 40, "It's nine forty", "9:40"},         {13, 20, "It's one twenty", "1:20"},
      {23, 5, "It's eleven oh five", "11:05"},    {23, 45, "It's quarter to twelve", "11:45"},
  };
  PhraseFormatter formatter(std::string(PhraseFormatter::defaultTemplate), utc);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.hour << ":" << row.minute);
    EXPECT_EQ(formatter.phrase(at(row.hour, row.minute)), row.phrase);
    EXPECT_EQ(formatter.bubbleText(at(row.hour, row.minute)), row.bubble);
  }
}

TEST(PhraseFormatter, ExpandsTemplates) {
  struct Row {
    const char* templateText;
    int hour, minute;
    const char* expected;
  };
  const Row rows[] = {
      {"{hour} {ampm}", 0, 7, "twelve AM"},
      {"{ampm}", 12, 0, "PM"},
      {"{ampm}", 11, 59, "AM"},
      {"Time: {minute}", 10, 0, "Time: zero"},
      {"", 16, 0, "It's four o'clock"},  // empty speaks the default
      {"   ", 16, 0, "   "},
      {"{Time} {HOUR} {Minute} {AMPM}", 16, 0, "{Time} {HOUR} {Minute} {AMPM}"},
      {"{time}, {time}!", 16, 15, "quarter past four, quarter past four!"},
      {"{hour}:{minute} {ampm} ({time}) {x}", 13, 5, "one:five PM (one oh five) {x}"},
      {"{{hour}}", 3, 0, "{three}"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PhraseFormatter(row.templateText, utc).phrase(at(row.hour, row.minute)),
              row.expected)
        << '"' << row.templateText << '"';
  }
}

TEST(PhraseFormatter, ReadsTheTimeInItsCalendarsZoneAndIgnoresSeconds) {
  // 21:00:59 UTC is 16:00:59 in New York in January and 06:00:59 next day in Tokyo.
  Date instant = *utc.date(2026, 1, 15, 21, 0, 59);
  PhraseFormatter formatter("{time} {ampm}", Calendar("America/New_York"));
  EXPECT_EQ(formatter.phrase(instant), "four o'clock PM");
  EXPECT_EQ(formatter.bubbleText(instant), "4:00");
  formatter.calendar = Calendar("Asia/Tokyo");
  EXPECT_EQ(formatter.phrase(instant), "six o'clock AM");
}

TEST(PhraseFormatter, TwelveHourDialAndNumberWords) {
  for (auto [hour24, expected] : {std::pair{0, 12}, {1, 1}, {12, 12}, {13, 1}, {23, 11}}) {
    EXPECT_EQ(PhraseFormatter::twelveHour(hour24), expected) << hour24;
  }
  const std::pair<std::int64_t, const char*> words[] = {
      {0, "zero"},         {13, "thirteen"}, {19, "nineteen"}, {20, "twenty"},
      {21, "twenty-one"},  {45, "forty-five"}, {59, "fifty-nine"}, {60, "60"},
      {-5, "-5"},          {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
  };
  for (auto [n, expected] : words) EXPECT_EQ(PhraseFormatter::words(n), expected) << n;
}

}  // namespace
}  // namespace vorlane
