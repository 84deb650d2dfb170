#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "foundation/calendar.h"

namespace vorlane {

// The hours 0 to 23 as the calendar's locale writes a short time ("9:00 AM" with a narrow
// no-break space in en_US, "09:00" in en_GB), in order. Where ICU has no formatter for the
// locale, "9:00 AM" as written by hand.
QStringList hourLabels(const Calendar& calendar);

// The hand-written form: the hour on a 12-hour dial (0 and 12 give 12), ":00 ", and "PM"
// after 11, else "AM". The remainder keeps the hour's sign, as C++ gives it.
QString handWrittenHourLabel(std::int64_t hour);

}  // namespace vorlane
