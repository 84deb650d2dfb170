#pragma once

#include <unicode/numfmt.h>

#include <memory>
#include <string>

#include "foundation/calendar.h"

namespace vorlane {

// A number as the calendar's locale writes it. Rounding is half-even, as ICU does it.
//   percent  a fraction as whole per cent: 0.55 gives "55%" in en_US, "55\u00A0%" in de_DE;
//            0.125 gives "12%"
//   decimal  a plain number with up to three fraction digits and none forced: 4 gives "4",
//            4.5 gives "4.5" in en_US and "4,5" in de_DE; thousands are grouped
// A value that is not finite gives ICU's own text for it, never a crash. One thread at a time.
class NumberFormatter {
 public:
  enum class Style { percent, decimal };

  NumberFormatter(const Calendar& calendar, Style style);

  // Empty when ICU has no formatter for the locale.
  std::string format(double value) const;

 private:
  std::unique_ptr<icu::NumberFormat> formatter_;
};

}  // namespace vorlane
