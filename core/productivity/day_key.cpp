#include "core/productivity/day_key.h"

#include <cstdio>
#include <memory>

#include <unicode/calendar.h>

namespace vorlane {
namespace {

// A field the calendar cannot supply counts as 0.
int field(const icu::Calendar& calendar, UCalendarDateFields which) {
  UErrorCode status = U_ZERO_ERROR;
  const int32_t value = calendar.get(which, status);
  return U_FAILURE(status) ? 0 : value;
}

}  // namespace

std::string dayKey(Date date, const Calendar& calendar) {
  const std::unique_ptr<icu::Calendar> icu = calendar.makeIcuCalendar();
  UErrorCode status = U_ZERO_ERROR;
  icu->setTime(date.udate(), status);
  // The era year, as the user's calendar names it, not the extended (proleptic) year.
  const int year = field(*icu, UCAL_YEAR);
  const int month = field(*icu, UCAL_MONTH) + 1;
  const int day = field(*icu, UCAL_DATE);
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
  return buffer;
}

}  // namespace vorlane
