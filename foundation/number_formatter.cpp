#include "foundation/number_formatter.h"

#include "foundation/text.h"

namespace vorlane {

NumberFormatter::NumberFormatter(const Calendar& calendar, Style style) {
  const icu::Locale locale(calendar.localeID().c_str());
  UErrorCode status = U_ZERO_ERROR;
  formatter_.reset(style == Style::percent
                       ? icu::NumberFormat::createPercentInstance(locale, status)
                       : icu::NumberFormat::createInstance(locale, status));
  if (U_FAILURE(status)) {
    formatter_.reset();
    return;
  }
  formatter_->setRoundingMode(icu::NumberFormat::kRoundHalfEven);
  if (style == Style::percent) {
    formatter_->setMaximumFractionDigits(0);
  } else {
    formatter_->setMinimumFractionDigits(0);
    formatter_->setMaximumFractionDigits(3);
  }
}

std::string NumberFormatter::format(double value) const {
  if (!formatter_) return {};
  icu::UnicodeString text;
  formatter_->format(value, text);
  return toUtf8(text);
}

}  // namespace vorlane
