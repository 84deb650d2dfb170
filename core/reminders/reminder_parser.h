#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string_view>

#include "core/reminders/reminder.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/sentence_error.h"

namespace vorlane {

// Turns one typed line ("4pm standup", "in 25m stretch", "weekdays 9:30am yoga") into a
// reminder. Schedules are tried in a fixed order: a countdown ("in", a number, a unit), then
// a clock time on weekdays or every day, then a one-off clock time: on the day named beside
// it ("tomorrow 9am", "Friday at 3pm", see NamedDay), else at its next occurrence.
// The schedule words are removed and the rest, without leading filler words ("remind me
// to", "at", ...), is the phrase. Holds only its calendar and reads no clock, so one parser
// may be used from any thread.
class ReminderParser {
 public:
  // Why a line gave no reminder; each case carries the advice shown to the user.
  enum class ErrorCase {
    empty,          // nothing that shows was typed (white space, NULs, controls)
    noTimeFound,    // no schedule was recognised
    noPhraseFound,  // nothing is left to say once it is removed
  };
  friend std::string_view describe(ErrorCase error);
  using ParseError = SentenceError<ErrorCase>;

  explicit ReminderParser(Calendar calendar) : calendar(std::move(calendar)) {}

  // A reminder with a fresh id, created at `now`, for any text at all (invalid UTF-8 is read
  // with U+FFFD in its place). Throws ParseError only. A one-off time at or before `now`
  // today fires at that time tomorrow, unless a day is named; a time skipped by a clock
  // change fires at the next existing time. Linear in the length of the text.
  Reminder parse(std::string_view text, Date now) const;

  // Places one-off clock times on a day.
  Calendar calendar;

 private:
  // The first date after `after` at hour:minute on its day or, failing that, the next day.
  Date nextDate(int hour, int minute, Date after) const;
};

}  // namespace vorlane
