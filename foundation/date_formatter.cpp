#include "foundation/date_formatter.h"

#include <cmath>

#include "foundation/text.h"

namespace vorlane {
namespace {

icu::DateFormat* makeFormat(DateFormatter::Style style, const icu::Locale& locale) {
  using Style = DateFormatter::Style;
  switch (style) {
    case Style::shortTime:
      return icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale);
    case Style::mediumDate:
      return icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, locale);
    case Style::mediumDateShortTime:
      return icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium,
                                                     icu::DateFormat::kShort, locale);
    case Style::fullDate:
      return icu::DateFormat::createDateInstance(icu::DateFormat::kFull, locale);
  }
  return nullptr;
}

}  // namespace

DateFormatter::DateFormatter(const Calendar& calendar, Style style)
    : formatter_(makeFormat(style, icu::Locale(calendar.localeID().c_str()))) {
  // The calendar brings the zone's rules and keeps the Gregorian era whatever the locale.
  if (!formatter_) return;
  formatter_->adoptCalendar(calendar.makeIcuCalendar().release());
  working_.reset(formatter_->getCalendar()->clone());
}

std::string DateFormatter::format(Date date) const {
  if (!formatter_ || !std::isfinite(date.timeIntervalSinceReferenceDate())) return {};
  UErrorCode status = U_ZERO_ERROR;
  working_->setTime(date.udate(), status);
  if (U_FAILURE(status)) return {};
  icu::UnicodeString text;
  icu::FieldPosition position(icu::FieldPosition::DONT_CARE);
  formatter_->format(*working_, text, position);
  return toUtf8(text);
}

}  // namespace vorlane
