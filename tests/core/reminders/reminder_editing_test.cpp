#include "core/reminders/reminder_editing.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <variant>

#include "core/reminders/reminder_parser.h"
#include "foundation/calendar.h"
#include "foundation/json.h"

namespace vorlane {
namespace {

using ParseError = ReminderParser::ParseError;

const Calendar newYork("America/New_York", "en_US");

Date local(int month, int day, int hour, int minute) {
  return *newYork.date(2026, month, day, hour, minute);
}

// Monday 2026-03-02.
const Date mondayNoon = local(3, 2, 12, 0);

const Reminder saved(*UUID::fromString("0F4B8E4C-6A1D-4C2E-9B7A-3D2E1F0A9B8C"), "stretch",
                     VisitTrigger::oneOff(local(3, 5, 16, 0)), local(3, 1, 8, 0) + 0.25);

// A blank schedule keeps the saved schedule and creation time exactly; any other is parsed
// as of now. The id always stays. A blank phrase is refused before the schedule is read.
TEST(ReminderEditing, BlankScheduleKeepsTheScheduleElseItIsParsedAsOfNow) {
  using Case = ParseError::Case;
  struct Row {
    const char* name;
    std::string phrase, schedule;
    std::variant<std::string, Case> expectedPhrase;  // or the error
    std::optional<VisitTrigger> expected = {};       // none: the saved one, with its creation time
  };
  const Row rows[] = {
      {"empty schedule", "drink water", "", "drink water"},
      {"white space schedule", "drink water", " \t\n\u00A0", "drink water"},
      {"phrase trimmed, inner spacing kept", "  call   mom\t", "", "call   mom"},
      {"no filler cleaning", "remind me to call", "", "remind me to call"},
      {"countdown runs from the edit", " new words ", "in 10m", "new words",
       VisitTrigger::countdown(600)},
      {"filler words in the schedule", "x", "remind me at 5pm", "x",
       VisitTrigger::oneOff(local(3, 2, 17, 0))},
      {"schedule with words of its own", "x", "daily 9pm journal", "x",
       VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 21, 0))},
      {"blank phrase, good schedule", "  ", "4pm", Case::noPhraseFound},
      {"blank phrase, schedule not looked at", "", "tomorrow", Case::noPhraseFound},
      {"NUL phrase", std::string(2, '\0'), "", Case::noPhraseFound},
      {"zero-width phrase", "\u200B\u200D", "4pm", Case::noPhraseFound},
      {"no time in the schedule", "call", "tomorrow", Case::noTimeFound},
      {"out-of-range time", "call", "13:30pm", Case::noTimeFound},
  };
  for (const Row& row : rows) {
    try {
      const Reminder revised =
          ReminderEditing::revised(saved, row.phrase, row.schedule, mondayNoon, newYork);
      EXPECT_EQ(revised.phrase, std::get<std::string>(row.expectedPhrase)) << row.name;
      EXPECT_EQ(revised.id, saved.id) << row.name;
      EXPECT_TRUE(revised.trigger == row.expected.value_or(saved.trigger))
          << row.name << ": " << json::dump(revised.trigger.toJson());
      EXPECT_EQ(revised.createdAt, row.expected ? mondayNoon : saved.createdAt) << row.name;
    } catch (const ParseError& error) {
      EXPECT_EQ(row.expectedPhrase, decltype(row.expectedPhrase)(error.value())) << row.name;
    }
  }
}

TEST(ReminderEditing, Messages) {
  struct Row {
    const char* name;
    const std::exception& error;
    const char* expected;
  };
  const std::runtime_error other("disk full");
  const ParseError empty(ParseError::Case::empty), noTime(ParseError::Case::noTimeFound),
      noPhrase(ParseError::Case::noPhraseFound);
  const ReminderEditing::Error gone(ReminderEditing::ErrorCase::reminderNoLongerExists);
  const Row rows[] = {
      {"empty", empty, "Add a time, such as 4pm, in 25m, or weekdays 9:30am."},
      {"no time", noTime, "Add a time, such as 4pm, in 25m, or weekdays 9:30am."},
      {"no phrase", noPhrase, "Add a message for the character to say."},
      {"reminder gone", gone,
       "This reminder is no longer saved. Close this window and add a new reminder."},
      {"any other error", other, "disk full"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ReminderEditing::message(row.error), row.expected) << row.name;
}

}  // namespace
}  // namespace vorlane
