#include "core/visits/phrase_formatter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vorlane {
namespace {

const Calendar utc("UTC");  // a fixed zone keeps the tests independent of the machine's

Date at(int hour, int minute) { return *utc.date(2026, 3, 14, hour, minute); }

TEST(PhraseFormatter, DefaultPhraseAndBubbleAtBoundaryMinutes) {
  const std::tuple<int, int, const char*, const char*> rows[] = {
      {0, 0, "It's twelve o'clock", "12:00"},        {0, 45, "It's quarter to one", "12:45"},
      {11, 9, "It's eleven oh nine", "11:09"},       {11, 10, "It's eleven ten", "11:10"},
      {11, 15, "It's quarter past eleven", "11:15"}, {11, 30, "It's half past eleven", "11:30"},
      {11, 59, "It's eleven fifty-nine", "11:59"},   {12, 0, "It's twelve o'clock", "12:00"},
      {23, 45, "It's quarter to twelve", "11:45"},
  };
  const PhraseFormatter formatter(std::string(PhraseFormatter::defaultTemplate), utc);
  for (const auto& [hour, minute, phrase, bubble] : rows) {
    EXPECT_EQ(formatter.phrase(at(hour, minute)), phrase);
    EXPECT_EQ(formatter.bubbleText(at(hour, minute)), bubble);
  }
}

TEST(PhraseFormatter, ExpandsTemplatesInItsCalendarsZone) {
  const std::tuple<const char*, int, int, const char*> rows[] = {
      {"{hour} {ampm}", 0, 7, "twelve AM"},
      {"{ampm}", 12, 0, "PM"},
      {"Time: {minute}", 10, 0, "Time: zero"},
      {"", 16, 0, "It's four o'clock"},  // empty speaks the default
      {"{Time} {HOUR} {Minute} {AMPM}", 16, 0, "{Time} {HOUR} {Minute} {AMPM}"},
      {"{time}, {time}!", 16, 15, "quarter past four, quarter past four!"},
      {"{hour}:{minute} {ampm} ({time}) {x}", 13, 5, "one:five PM (one oh five) {x}"},
  };
  for (const auto& [text, hour, minute, expected] : rows) {
    EXPECT_EQ(PhraseFormatter(text, utc).phrase(at(hour, minute)), expected) << '"' << text << '"';
  }
  // 21:00:59 UTC is 16:00:59 in New York in January and 06:00:59 next day in Tokyo.
  const Date instant = *utc.date(2026, 1, 15, 21, 0, 59);
  PhraseFormatter formatter("{time} {ampm}", Calendar("America/New_York"));
  EXPECT_EQ(formatter.phrase(instant), "four o'clock PM");
  formatter.calendar = Calendar("Asia/Tokyo");
  EXPECT_EQ(formatter.phrase(instant), "six o'clock AM");
}

}  // namespace
}  // namespace vorlane
