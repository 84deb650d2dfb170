#pragma once

#include <unicode/calendar.h>
#include <unicode/datefmt.h>

#include <memory>
#include <string>

#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// A date as the calendar's locale writes it in one of ICU's standard styles, in the
// calendar's zone, always Gregorian (th_TH shows no Buddhist years). ICU 72 in en_US:
//   shortTime            "8:26\u202FPM" (a narrow no-break space before the day period)
//   mediumDate           "May 28, 2026"
//   mediumDateShortTime  "May 28, 2026, 8:26\u202FPM"
//   fullDate             "Thursday, May 28, 2026"
// One thread at a time: the formatter keeps a working calendar inside.
class DateFormatter {
 public:
  enum class Style { shortTime, mediumDate, mediumDateShortTime, fullDate };

  DateFormatter(const Calendar& calendar, Style style);

  // Empty when ICU has no formatter for the locale or the date is not finite.
  std::string format(Date date) const;

 private:
  std::unique_ptr<icu::DateFormat> formatter_;
  // Set to each date in turn: ICU would otherwise copy its calendar, zone rules and all, for
  // every date it writes.
  std::unique_ptr<icu::Calendar> working_;
};

}  // namespace vorlane
