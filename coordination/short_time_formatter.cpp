#include "coordination/short_time_formatter.h"

#include "foundation/text.h"

namespace vorlane {

ShortTimeFormatter::ShortTimeFormatter(const Calendar& calendar)
    : formatter_(icu::DateFormat::createTimeInstance(icu::DateFormat::kShort,
                                                     icu::Locale(calendar.localeId().c_str()))) {
  if (formatter_) formatter_->adoptCalendar(calendar.makeIcuCalendar().release());
}

std::string ShortTimeFormatter::format(Date date) const {
  if (!formatter_) return {};
  icu::UnicodeString text;
  formatter_->format(date.udate(), text);
  return toUtf8(text);
}

}  // namespace vorlane
