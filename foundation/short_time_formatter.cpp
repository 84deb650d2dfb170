#include "foundation/short_time_formatter.h"

namespace vorlane {

ShortTimeFormatter::ShortTimeFormatter(const Calendar& calendar)
    : formatter_(calendar, DateFormatter::Style::shortTime) {}

std::string ShortTimeFormatter::format(Date date) const { return formatter_.format(date); }

}  // namespace vorlane
