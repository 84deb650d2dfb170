#pragma once

#include <optional>

#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/regex.h"

namespace vorlane {

// A day named beside a one-off clock time: "tomorrow 9am", "Friday at 3pm", "9am on Friday",
// "tomorrow, 9am". Between the two only white space or punctuation, and "at" after a day
// before the time; an "on" may lead the day word. A day named further off is just part of the
// phrase. Weekday names are whole English names, in any case ("mondays" is none).
struct NamedDay {
  // The day word, with an "on" before it; what leaves the phrase.
  RegexMatch::Range range;
  // 1 = Sunday ... 7 = Saturday; none for "tomorrow".
  std::optional<int> weekday;

  // The day named beside the time matched at `time`, looked for before it first; none when
  // there is none.
  static std::optional<NamedDay> beside(const MatchText& text, RegexMatch::Range time);

  // hour:minute on the named day, the wall time placed by the calendar's policy (a skipped
  // time gives the next existing one). "tomorrow" is the day after `now`'s; a weekday is its
  // next one, today if the time is still ahead of `now`, else a week later.
  Date date(int hour, int minute, Date now, const Calendar& calendar) const;
};

}  // namespace vorlane
