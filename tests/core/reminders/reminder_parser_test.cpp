#include "core/reminders/reminder_parser.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_set>
#include <variant>
#include <vector>

#include "foundation/calendar.h"
#include "foundation/json.h"
#include "foundation/random.h"
#include "foundation/text.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {
namespace {

using Kind = ReminderParser::ErrorCase;

const Calendar newYork("America/New_York", "en_US");
const ReminderParser parser(newYork);

Date local(int month, int day, int hour, int minute, int second = 0) {
  return *newYork.date(2026, month, day, hour, minute, second);
}

// Monday 2026-03-02, 10:00 EST.
const Date mondayTen = local(3, 2, 10, 0);

Date monday(int hour, int minute) { return local(3, 2, hour, minute); }
Date tuesday(int hour, int minute) { return local(3, 3, hour, minute); }

VisitTrigger oneOff(Date date) { return VisitTrigger::oneOff(date); }
VisitTrigger recurring(RecurrenceDays days, int hour, int minute) {
  return VisitTrigger::recurring(Recurrence(std::move(days), hour, minute));
}
VisitTrigger countdown(double seconds) { return VisitTrigger::countdown(seconds); }

// What a parse gave: a reminder or an error.
struct Outcome {
  std::optional<Reminder> reminder;
  std::optional<Kind> error;
};

Outcome parse(std::string_view text, Date now = mondayTen) {
  try {
    return {parser.parse(text, now), std::nullopt};
  } catch (const ReminderParser::ParseError& error) {
    return {std::nullopt, error.value()};
  }
}

struct Row {
  const char* name;
  std::string text;
  VisitTrigger trigger;
  std::string phrase;
  Date now = mondayTen;
};

TEST(ReminderParser, SchedulesAndPhrases) {
  const Date ten = mondayTen;
  std::vector<Row> rows = {
      // Clock times: a time already passed today goes to tomorrow.
      {"pm later today", "4pm standup", oneOff(monday(16, 0)), "standup"},
      {"am passed, space before am", "9 am standup", oneOff(tuesday(9, 0)), "standup"},
      {"minutes with a colon", "9:30am yoga", oneOff(tuesday(9, 30)), "yoga"},
      {"minutes with a point, upper case", "9.30 PM call", oneOff(monday(21, 30)), "call"},
      {"12pm is noon", "12pm lunch", oneOff(monday(12, 0)), "lunch"},
      {"12am is midnight", "12am backup", oneOff(tuesday(0, 0)), "backup"},
      {"24-hour time", "21:05 call", oneOff(monday(21, 5)), "call"},
      {"24-hour time with one hour digit", "call 7:05", oneOff(tuesday(7, 5)), "call"},
      {"time at the end", "water plants 11am", oneOff(monday(11, 0)), "water plants"},
      {"12-hour beats an earlier 24-hour", "14:00 or 3pm", oneOff(monday(15, 0)), "14:00 or"},
      {"a one-digit minute leaves its hour", "9:5pm x", oneOff(monday(17, 0)), "9: x"},
      {"typed at exactly that time", "10:00 mail", oneOff(tuesday(10, 0)), "mail", ten},
      {"typed half a second before", "10:00 mail", oneOff(monday(10, 0)), "mail", ten - 0.5},
      {"late evening, midnight", "12am backup", oneOff(tuesday(0, 0)), "backup", monday(23, 59)},
      {"across a month end", "8am x", oneOff(local(4, 1, 8, 0)), "x", local(3, 31, 9, 0)},
      // Countdowns (every unit spelling is below).
      {"in the middle", "stretch in 10m please", countdown(600), "stretch please"},
      {"days and times after it stay", "in 10m weekdays 9am call", countdown(600),
       "weekdays 9am call"},
      {"zero", "in 0m now", countdown(0), "now"},
      {"largest count", "in 9223372036854775807h x", countdown(9223372036854775807.0 * 3600), "x"},
      // Lower-cased, not case-folded: the long s matches "s" but is no "s" afterwards.
      {"long s counts as minutes", "in 5\u017F tea", countdown(300), "tea"},
      {"unreadable count falls through", "in \u0665m call 4pm", oneOff(monday(16, 0)),
       "in \u0665m call"},
      {"too large count falls through", "in 99999999999999999999m call 4pm", oneOff(monday(16, 0)),
       "in 99999999999999999999m call"},
      // Recurring days.
      {"weekdays", "weekdays 9:30am yoga", recurring(RecurrenceDays::weekdays(), 9, 30), "yoga"},
      {"Weekday", "Weekday 7am walk", recurring(RecurrenceDays::weekdays(), 7, 0), "walk"},
      {"every weekday", "every weekday at 8am run", recurring(RecurrenceDays::weekdays(), 8, 0),
       "run"},
      {"every day", "Every DAY 21:00 pills", recurring(RecurrenceDays::daily(), 21, 0), "pills"},
      {"daily after the time", "9pm journal DAILY", recurring(RecurrenceDays::daily(), 21, 0),
       "journal"},
      {"every weekdays keeps every", "every weekdays 9am up",
       recurring(RecurrenceDays::weekdays(), 9, 0), "every up"},
      {"weekdays before daily", "daily weekdays 9am x", recurring(RecurrenceDays::weekdays(), 9, 0),
       "daily x"},
      {"every day before daily", "daily every day 9am x", recurring(RecurrenceDays::daily(), 9, 0),
       "daily x"},
      {"a days word inside a word is none", "everyday 9am x", oneOff(tuesday(9, 0)), "everyday x"},
      // Filler words and spacing.
      {"remind me to, then at", "remind me to at 4pm call mom", oneOff(monday(16, 0)), "call mom"},
      {"remind me without to", "remind me 4pm call mom", oneOff(monday(16, 0)), "call mom"},
      {"a chain of fillers", "say and to for on at 4pm hi", oneOff(monday(16, 0)), "hi"},
      {"fillers in any case", "Remind Me To 4pm Stretch", oneOff(monday(16, 0)), "Stretch"},
      {"filler words later stay", "call me at 4pm", oneOff(monday(16, 0)), "call me at"},
      {"a word starting like a filler", "4pm tomato atlas", oneOff(monday(16, 0)), "tomato atlas"},
      {"runs of spaces and tabs", "4pm  call\t\tmom \n now", oneOff(monday(16, 0)), "call mom now"},
      {"no-break and ideographic spaces", "4pm\u3000call\u00A0\u00A0mom", oneOff(monday(16, 0)),
       "call mom"},
      {"filler after the countdown went", "in 5m to stretch", countdown(300), "stretch"},
      {"a long s folds to s in a filler", "\u017Fay 4pm call", oneOff(monday(16, 0)), "call"},
      {"a space under a combining mark stays", "4pm a \u0301b", oneOff(monday(16, 0)), "a \u0301b"},
      // Unusual text.
      {"invalid UTF-8 is replaced", "\xFF 4pm x\xC3", oneOff(monday(16, 0)), "\uFFFD x\uFFFD"},
      {"emoji", "\U0001F412 4pm feed \U0001F34C", oneOff(monday(16, 0)),
       "\U0001F412 feed \U0001F34C"},
      {"right-to-left text", "\u05D4\u05EA 4pm \u0627\u062A", oneOff(monday(16, 0)),
       "\u05D4\u05EA \u0627\u062A"},
      {"NUL", std::string("4pm a\0b", 7), oneOff(monday(16, 0)), std::string("a\0b", 3)},
      // New York: 2026-03-08 02:00 becomes 03:00; 2026-11-01 02:00 becomes 01:00 again.
      {"gap, typed before", "2:30am p", oneOff(local(3, 8, 3, 0)), "p", local(3, 8, 1, 0)},
      {"gap, the day before", "2:30am p", oneOff(local(3, 8, 3, 0)), "p", local(3, 7, 9, 0)},
      // The next day has 02:30, so the reminder keeps the time as typed.
      {"gap, typed after", "2:30am p", oneOff(local(3, 9, 2, 30)), "p", local(3, 8, 3, 0)},
      {"recurring gap time kept as typed", "daily 2:30am p",
       recurring(RecurrenceDays::daily(), 2, 30), "p", local(3, 8, 10, 0)},
      {"repeated time takes its first pass", "1:30am p", oneOff(Date::fromUnix(1793511000)), "p",
       local(11, 1, 0, 30)},
      {"repeated time typed in its second hour", "1:30am p", oneOff(local(11, 2, 1, 30)), "p",
       Date::fromUnix(1793513400)},  // 01:10 EST
  };
  const std::pair<const char*, double> units[] = {
      {"m", 60},      {"MIN", 60}, {"mins", 60},  {"minutes", 60}, {"s", 1},       {"secs", 1},
      {"seconds", 1}, {"h", 3600}, {"hrs", 3600}, {"hour", 3600},  {"hours", 3600}};
  for (const auto& [unit, seconds] : units) {
    for (const char* space : {"", " "}) {
      rows.push_back({unit, std::string("IN 5") + space + unit + " go home", countdown(5 * seconds),
                      "go home"});
    }
  }
  for (const Row& row : rows) {
    const Outcome outcome = parse(row.text, row.now);
    ASSERT_TRUE(outcome.reminder) << row.name << ": error " << static_cast<int>(*outcome.error);
    EXPECT_EQ(outcome.reminder->phrase, row.phrase) << row.name;
    EXPECT_TRUE(outcome.reminder->trigger == row.trigger)
        << row.name << ": " << json::dump(outcome.reminder->trigger.toJson());
    EXPECT_EQ(outcome.reminder->createdAt, row.now) << row.name;
  }
}

// Regression: "tomorrow 11am dentist" was stored for 11:00 today, saying "tomorrow dentist".
TEST(ReminderParser, ADayNamedBesideTheTimeIsTheDayItFiresOn) {
  const Date saturdayNine = local(3, 7, 9, 0);  // the day before New York's spring change
  const Row rows[] = {
      {"tomorrow, the time still ahead today", "tomorrow 11am dentist", oneOff(tuesday(11, 0)),
       "dentist"},
      {"tomorrow, the time passed today", "tomorrow 9am dentist", oneOff(tuesday(9, 0)), "dentist"},
      {"tomorrow at", "tomorrow at 11am dentist", oneOff(tuesday(11, 0)), "dentist"},
      {"after the time", "dentist 11am tomorrow", oneOff(tuesday(11, 0)), "dentist"},
      {"after a filler", "remind me to tomorrow at 4pm call", oneOff(tuesday(16, 0)), "call"},
      {"any case", "TOMORROW 21:05 Call", oneOff(tuesday(21, 5)), "Call"},
      // The pattern folds a long s to s; the day must be read the same way, not as tomorrow.
      {"a long s in a day name", "\u017Funday 9am x", oneOff(local(3, 8, 9, 0)), "x"},
      {"another day this week", "Friday at 3pm call mom", oneOff(local(3, 6, 15, 0)), "call mom"},
      {"on before the day, after the time", "call mom 9am on friday", oneOff(local(3, 6, 9, 0)),
       "call mom"},
      {"on before the day, before the time", "call mom on Friday at 9am", oneOff(local(3, 6, 9, 0)),
       "call mom"},
      {"a day earlier in the week is next week's", "sunday 9am x", oneOff(local(3, 8, 9, 0)), "x"},
      {"today's name, the time ahead", "monday 4pm review", oneOff(monday(16, 0)), "review"},
      {"today's name, the time passed", "monday 9am review", oneOff(local(3, 9, 9, 0)), "review"},
      {"today's name at this very minute", "monday 10:00 review", oneOff(local(3, 9, 10, 0)),
       "review"},
      // The wall time holds across a clock change; a skipped one gives the next existing time.
      {"tomorrow across the change", "tomorrow 9am x", oneOff(local(3, 8, 9, 0)), "x",
       saturdayNine},
      {"tomorrow, a skipped time", "tomorrow 2:30am x", oneOff(local(3, 8, 3, 0)), "x",
       saturdayNine},
      {"a weekday, a skipped time", "sunday 2:30am x", oneOff(local(3, 8, 3, 0)), "x",
       saturdayNine},
      {"a week on, across the change", "saturday 8am x", oneOff(local(3, 14, 8, 0)), "x",
       saturdayNine},
      {"tomorrow, a repeated time takes its first pass", "tomorrow 1:30am x",
       oneOff(Date::fromUnix(1793511000)), "x", local(10, 31, 12, 0)},
      // Not beside the time, or no day at all: the words stay and nothing else changes.
      {"a day further off stays", "tomorrow call 4pm", oneOff(monday(16, 0)), "tomorrow call"},
      {"a plural is no day", "mondays 9am x", oneOff(tuesday(9, 0)), "mondays x"},
      {"a day inside a word is none", "fridayish 9am x", oneOff(tuesday(9, 0)), "fridayish x"},
      {"the first of two days", "tomorrow 9am friday x", oneOff(tuesday(9, 0)), "friday x"},
      // Recurring forms and countdowns keep their meaning; the day word stays in the phrase.
      {"weekdays", "weekdays 9am tomorrow x", recurring(RecurrenceDays::weekdays(), 9, 0),
       "tomorrow x"},
      {"daily", "daily friday 9am x", recurring(RecurrenceDays::daily(), 9, 0), "friday x"},
      {"every day", "every day 9am on friday x", recurring(RecurrenceDays::daily(), 9, 0),
       "friday x"},
      {"countdown", "in 10m tomorrow x", countdown(600), "tomorrow x"},
  };
  for (const Row& row : rows) {
    const Outcome outcome = parse(row.text, row.now);
    ASSERT_TRUE(outcome.reminder) << row.name << ": error " << static_cast<int>(*outcome.error);
    EXPECT_EQ(outcome.reminder->phrase, row.phrase) << row.name;
    EXPECT_TRUE(outcome.reminder->trigger == row.trigger)
        << row.name << ": " << json::dump(outcome.reminder->trigger.toJson());
  }
  EXPECT_EQ(parse("tomorrow 9am").error, Kind::noPhraseFound);
  EXPECT_EQ(parse("remind me on friday at 9am").error, Kind::noPhraseFound);
}

// Regression: "tomorrow, 9am dentist" typed on a Sunday fired that Sunday at 9:00: the comma
// hid the day word from the time.
TEST(ReminderParser, PunctuationBetweenTheDayAndTheTimeKeepsTheDay) {
  const Date sundayEight = local(3, 1, 8, 0);
  const Date mondayNine = local(3, 2, 9, 0);
  const Row rows[] = {
      {"a comma", "tomorrow, 9am dentist", oneOff(mondayNine), "dentist", sundayEight},
      {"a comma, no blank", "tomorrow,9am dentist", oneOff(mondayNine), "dentist", sundayEight},
      {"a dash", "tomorrow - 9am dentist", oneOff(mondayNine), "dentist", sundayEight},
      {"a colon", "Tomorrow: 9am dentist", oneOff(mondayNine), "dentist", sundayEight},
      {"a comma and at", "tomorrow, at 9am dentist", oneOff(mondayNine), "dentist", sundayEight},
      {"a weekday", "friday, 9am dentist", oneOff(local(3, 6, 9, 0)), "dentist", sundayEight},
      {"after the time", "dentist 9am, tomorrow", oneOff(mondayNine), "dentist", sundayEight},
      {"after the time, on", "dentist 9am, on monday", oneOff(mondayNine), "dentist", sundayEight},
      // Still only beside the time: a day further off stays in the phrase.
      {"a day further off", "tomorrow, call 9am", oneOff(local(3, 1, 9, 0)), "tomorrow, call",
       sundayEight},
  };
  for (const Row& row : rows) {
    const Outcome outcome = parse(row.text, row.now);
    ASSERT_TRUE(outcome.reminder) << row.name << ": error " << static_cast<int>(*outcome.error);
    EXPECT_EQ(outcome.reminder->phrase, row.phrase) << row.name;
    EXPECT_TRUE(outcome.reminder->trigger == row.trigger)
        << row.name << ": " << json::dump(outcome.reminder->trigger.toJson());
  }
}

TEST(ReminderParser, Errors) {
  const std::tuple<const char*, std::string, Kind> rows[] = {
      {"nothing", "", Kind::empty},
      {"only white space", " \t\n\u00A0\u3000 ", Kind::empty},
      // Regression: text where nothing shows used to become a reminder of NULs or blanks.
      {"only NULs", std::string(3, '\0'), Kind::empty},
      {"only controls and zero-width spaces", "\x01\u200B\uFEFF\x7F\u2060", Kind::empty},
      {"a countdown and NULs", "in 5m " + std::string(2, '\0'), Kind::noPhraseFound},
      {"a time and zero-width spaces", "4pm \u200B\u200B", Kind::noPhraseFound},
      {"filler words and a soft hyphen", "weekdays 9am remind me to \u00AD", Kind::noPhraseFound},
      {"no schedule", "standup", Kind::noTimeFound},
      {"days without a time", "daily yoga", Kind::noTimeFound},
      {"a bare hour", "at 4 tea", Kind::noTimeFound},
      {"hour 13 with pm, even as a 24-hour time", "13:30pm review", Kind::noTimeFound},
      {"hour 0 with am", "0am x", Kind::noTimeFound},
      {"hour 13 with pm", "13pm x", Kind::noTimeFound},
      {"minute 60 with am", "9:60am x", Kind::noTimeFound},
      {"hour 24", "24:00 x", Kind::noTimeFound},
      {"minute 60", "12:60 x", Kind::noTimeFound},
      {"a point without am or pm", "9.45 stretch", Kind::noTimeFound},
      {"three hour digits", "123pm x", Kind::noTimeFound},
      {"a decimal countdown", "in 2.5 hours x", Kind::noTimeFound},
      {"in inside a word", "within 1 hour x", Kind::noTimeFound},
      {"a countdown without a unit", "in 15 x", Kind::noTimeFound},
      // Regression: the first time, cut by a skin-tone modifier, gave way to a later one.
      {"a first time cut inside a character", "9am\U0001F3FB call 4pm", Kind::noTimeFound},
      {"Arabic-Indic hour", "\u0664pm call", Kind::noTimeFound},
      // Regression: an unreadable minute used to become :00, a wrong time given silently.
      {"Arabic-Indic minute", "9:\u0663\u0660pm call", Kind::noTimeFound},
      {"fullwidth hour", "\uFF14pm call", Kind::noTimeFound},
      {"Devanagari 24-hour time", "\u0967\u0966:\u0969\u0966 call", Kind::noTimeFound},
      // A mark on the unit, or a skin tone after it, cuts the match inside a character.
      {"a combining mark on pm", "4pm\u0301 call", Kind::noTimeFound},
      {"a skin tone after the unit", "in 5m\U0001F3FB call", Kind::noTimeFound},
      {"invalid UTF-8 alone", "\xC0\xAF", Kind::noTimeFound},
      {"just a time", "4pm", Kind::noPhraseFound},
      {"only a filler left", "remind me at 5pm", Kind::noPhraseFound},
      {"just a countdown", "in 15m", Kind::noPhraseFound},
      {"days and a time", "weekdays 9am", Kind::noPhraseFound},
      {"fillers and days", "every day at 9am to", Kind::noPhraseFound},
  };
  for (const auto& [name, text, expected] : rows) EXPECT_EQ(parse(text).error, expected) << name;
  std::unordered_set<UUID> ids;  // every parse gives a fresh id
  for (int i = 0; i < 50; ++i) ids.insert(parser.parse("4pm standup", mondayTen).id);
  EXPECT_EQ(ids.size(), 50u);
}

// Searches are skipped for plain ASCII lines that lack what a match needs. A non-ASCII
// word at the end turns the skipping off and must change nothing but the phrase.
TEST(ReminderParser, SkippedSearchesChangeNoResult) {
  const char* tokens[] = {
      "in",    "IN",    "iN",  "5",   "12",      "007",      "9:30",   "9.30",   "21:05", "13:30",
      "am",    "PM",    "pM",  "a",   "m",       "p",        "d",      "ai",     "ly",    "daily",
      "DAILY", "every", "day", "Day", "weekday", "WeekDays", "s",      "h",      "min",   "hrs",
      "secs",  "to",    "at",  "on",  "for",     "and",      "say",    "remind", "me",    "re",
      "fo",    "x",     "tea", ":",   ".",       "tomorrow", "Friday", "mondays"};
  const char* separators[] = {" ", " ", " ", "", "  ", "\t"};
  SeededRandomGenerator random(2026);
  const auto pick = [&](const auto& list) { return list[uniformBelow(random, std::size(list))]; };
  int reminders = 0;
  for (int i = 0; i < 4000; ++i) {
    std::string line;
    const std::uint64_t count = 1 + uniformBelow(random, 7);
    for (std::uint64_t t = 0; t < count; ++t) line += std::string(pick(separators)) + pick(tokens);
    const Outcome ascii = parse(line);
    const Outcome full = parse(line + " \u00E9");
    if (ascii.error == Kind::noPhraseFound) {
      ASSERT_TRUE(full.reminder) << line;
      EXPECT_EQ(full.reminder->phrase, "\u00E9") << line;
      continue;
    }
    ASSERT_EQ(ascii.error, full.error) << line;
    if (!ascii.reminder) continue;
    ++reminders;
    EXPECT_EQ(ascii.reminder->phrase + " \u00E9", full.reminder->phrase) << line;
    EXPECT_TRUE(ascii.reminder->trigger == full.reminder->trigger) << line;
  }
  EXPECT_GT(reminders, 400);  // the lines reach every schedule often enough to matter
}

// Hostile 100 KiB lines finish with a result or an error (none: the phrase's length in bytes).
TEST(ReminderParser, VeryLongLinesFinish) {
  const auto many = [](std::string_view chunk) {
    std::string out;
    while (out.size() < 100 * 1024) out += chunk;
    return out;
  };
  const std::string spaces(100 * 1024, ' '), marks = many("\u0301");
  using Result = std::variant<Kind, std::size_t>;
  const std::tuple<const char*, std::string, Result> rows[] = {
      {"words then a time", many("ab ") + "4pm", many("ab ").size() - 1},
      {"filler words", many("to ") + "4pm x", std::size_t{1}},
      {"day words", many("tomorrow ") + "4pm x", many("tomorrow ").size() - 8},
      {"spaces before a combining mark", "4pm x" + spaces + "\u0301y", spaces.size() + 4},
      {"in and spaces", many("in ") + "5", Kind::noTimeFound},
      {"one long run of spaces", "in" + spaces + "5" + spaces + "x", Kind::noTimeFound},
      {"combining marks", "4pm x" + marks, 1 + marks.size()},
      {"unit text", many("in 5 hours in"), many("in 5 hours in").size() - 11},
  };
  for (const auto& [name, text, expected] : rows) {
    const Outcome outcome = parse(text);
    EXPECT_EQ(outcome.error ? Result(*outcome.error) : Result(outcome.reminder->phrase.size()),
              expected)
        << name;
  }
}

}  // namespace
}  // namespace vorlane
