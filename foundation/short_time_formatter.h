#pragma once

#include <string>

#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/date_formatter.h"

namespace vorlane {

// The clock time as the user's locale writes it, short and without a date ("15:00" in
// en_GB, "3:00\u202FPM" in en_US), in the calendar's zone. Main thread only.
class ShortTimeFormatter {
 public:
  explicit ShortTimeFormatter(const Calendar& calendar);

  // Empty when ICU has no formatter for the locale.
  std::string format(Date date) const;

 private:
  DateFormatter formatter_;
};

}  // namespace vorlane
