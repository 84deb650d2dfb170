#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "core/reminders/reminder.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/sentence_error.h"

namespace vorlane {

// The rule for changing a saved reminder, and the prompts shown when a new or edited
// reminder cannot be accepted.
class ReminderEditing {
 public:
  enum class ErrorCase {
    reminderNoLongerExists,  // an edit to a reminder its store no longer holds
  };
  friend std::string_view describe(ErrorCase error);
  using Error = SentenceError<ErrorCase>;

  ReminderEditing() = delete;

  // The reminder with the trimmed `phrase` (kept as typed otherwise) and, unless `schedule`
  // is blank, the schedule parsed from it as of `now`; the id is always kept, and a blank
  // schedule keeps the trigger and creation date exactly. Throws
  // ReminderParser::ErrorCase::noPhraseFound for a phrase where nothing shows (blank, NULs,
  // zero-width spaces), before the schedule is looked at, and noTimeFound for a schedule with
  // no time in it; the reminder passed in is never changed.
  static Reminder revised(const Reminder& reminder, std::string_view phrase,
                          std::string_view schedule, Date now, const Calendar& calendar);

  // The prompt for an error of adding or editing a reminder: its sentence (`what()`).
  static std::string message(const std::exception& error);
};

}  // namespace vorlane
