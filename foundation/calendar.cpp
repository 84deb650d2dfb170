#include "foundation/calendar.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "foundation/text.h"

namespace vorlane {
namespace {

using IcuCalendar = std::unique_ptr<icu::Calendar>;

// How far nextDate looks before giving up: two days of hours, plus the hours a clock
// change may skip.
constexpr int nextDateHourLimit = 50;

icu::TimeZone* makeZone(const std::string& id) {
  icu::TimeZone* zone = icu::TimeZone::createTimeZone(toUnicode(id));
  icu::UnicodeString resolved;
  if (zone == nullptr || zone->getID(resolved) == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID)) {
    delete zone;
    zone = icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC"));
  }
  return zone;
}

std::shared_ptr<const icu::Calendar> makePrototype(const std::string& zoneId,
                                                   const std::string& localeId) {
  UErrorCode status = U_ZERO_ERROR;
  auto calendar = std::make_shared<icu::GregorianCalendar>(
      makeZone(zoneId), icu::Locale(localeId.c_str()), status);
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    calendar = std::make_shared<icu::GregorianCalendar>(makeZone(zoneId),
                                                        icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status)) {
      throw std::runtime_error(std::string("ICU calendar unavailable: ") + u_errorName(status));
    }
  }
  calendar->setLenient(true);
  calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
  calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
  return calendar;
}

// An ICU locale id from a POSIX locale name: "de_DE.UTF-8@euro" gives "de_DE"; "C",
// "POSIX" and nothing give en_US_POSIX.
std::string icuLocaleFromPosix(const char* posix) {
  std::string name = posix ? posix : "";
  name = name.substr(0, name.find_first_of(".@"));
  if (name.empty() || name == "C" || name == "POSIX") return "en_US_POSIX";
  return name;
}

int32_t get(const icu::Calendar& calendar, UCalendarDateFields field) {
  UErrorCode status = U_ZERO_ERROR;
  const int32_t value = calendar.get(field, status);
  return U_FAILURE(status) ? 0 : value;
}

Date timeOf(const icu::Calendar& calendar) {
  UErrorCode status = U_ZERO_ERROR;
  const UDate time = calendar.getTime(status);
  return Date::fromUDate(time);
}

void setTime(icu::Calendar& calendar, Date date) {
  UErrorCode status = U_ZERO_ERROR;
  calendar.setTime(date.udate(), status);
}

int32_t clampToInt32(std::int64_t value) {
  return static_cast<int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                         std::numeric_limits<int32_t>::max()));
}

}  // namespace

Calendar::Calendar(const std::string& timeZoneId, const std::string& localeId)
    : prototype_(makePrototype(timeZoneId, localeId)), localeId_(localeId) {}

Calendar Calendar::current() {
  std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
  icu::UnicodeString zoneId;
  if (zone) zone->getID(zoneId);
  const char* localeName = nullptr;
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      localeName = value;
      break;
    }
  }
  return Calendar(toUtf8(zoneId), icuLocaleFromPosix(localeName));
}

std::string Calendar::timeZoneId() const {
  icu::UnicodeString id;
  prototype_->getTimeZone().getID(id);
  return toUtf8(id);
}

std::unique_ptr<icu::Calendar> Calendar::makeIcuCalendar() const {
  return IcuCalendar(prototype_->clone());
}

DateComponents Calendar::components(Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  return {get(*calendar, UCAL_EXTENDED_YEAR), get(*calendar, UCAL_MONTH) + 1,
          get(*calendar, UCAL_DATE),          get(*calendar, UCAL_HOUR_OF_DAY),
          get(*calendar, UCAL_MINUTE),        get(*calendar, UCAL_SECOND),
          get(*calendar, UCAL_DAY_OF_WEEK)};
}

int Calendar::weekday(Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  return get(*calendar, UCAL_DAY_OF_WEEK);
}

int Calendar::hour(Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  return get(*calendar, UCAL_HOUR_OF_DAY);
}

int Calendar::minute(Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  return get(*calendar, UCAL_MINUTE);
}

std::optional<Date> Calendar::date(std::int64_t hour, std::int64_t minute, std::int64_t second,
                                   Date day) const {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return std::nullopt;
  }
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, day);
  const int32_t year = get(*calendar, UCAL_EXTENDED_YEAR);
  const int32_t month0 = get(*calendar, UCAL_MONTH);
  const int32_t dayOfMonth = get(*calendar, UCAL_DATE);
  calendar->clear();
  calendar->set(UCAL_EXTENDED_YEAR, year);
  calendar->set(UCAL_MONTH, month0);
  calendar->set(UCAL_DATE, dayOfMonth);
  calendar->set(UCAL_HOUR_OF_DAY, static_cast<int32_t>(hour));
  calendar->set(UCAL_MINUTE, static_cast<int32_t>(minute));
  calendar->set(UCAL_SECOND, static_cast<int32_t>(second));
  calendar->set(UCAL_MILLISECOND, 0);
  return timeOf(*calendar);
}

std::optional<Date> Calendar::date(int year, int month, int day, int hour, int minute,
                                   int second) const {
  if (month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    return std::nullopt;
  }
  IcuCalendar calendar = makeIcuCalendar();
  calendar->clear();
  calendar->set(UCAL_EXTENDED_YEAR, year);
  calendar->set(UCAL_MONTH, month - 1);
  calendar->set(UCAL_DATE, 1);
  UErrorCode status = U_ZERO_ERROR;
  const int32_t daysInMonth = calendar->getActualMaximum(UCAL_DATE, status);
  if (U_FAILURE(status) || day > daysInMonth) return std::nullopt;
  calendar->set(UCAL_DATE, day);
  calendar->set(UCAL_HOUR_OF_DAY, hour);
  calendar->set(UCAL_MINUTE, minute);
  calendar->set(UCAL_SECOND, second);
  calendar->set(UCAL_MILLISECOND, 0);
  return timeOf(*calendar);
}

Date Calendar::startOfDay(Date date) const {
  return *this->date(0, 0, 0, date);
}

Date Calendar::startOfNextDay(Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  const int32_t year = get(*calendar, UCAL_EXTENDED_YEAR);
  const int32_t month0 = get(*calendar, UCAL_MONTH);
  const int32_t day = get(*calendar, UCAL_DATE);
  calendar->clear();
  calendar->set(UCAL_EXTENDED_YEAR, year);
  calendar->set(UCAL_MONTH, month0);
  calendar->set(UCAL_DATE, day + 1);
  return timeOf(*calendar);
}

Date Calendar::addingDays(std::int64_t days, Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  UErrorCode status = U_ZERO_ERROR;
  calendar->add(UCAL_DATE, clampToInt32(days), status);
  return U_FAILURE(status) ? date : timeOf(*calendar);
}

Date Calendar::addingWeeks(std::int64_t weeks, Date date) const {
  constexpr std::int64_t limit = std::numeric_limits<int32_t>::max() / 7;
  return addingDays(std::clamp(weeks, -limit, limit) * 7, date);
}

bool Calendar::isSameDay(Date a, Date b) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, a);
  const int32_t year = get(*calendar, UCAL_EXTENDED_YEAR);
  const int32_t dayOfYear = get(*calendar, UCAL_DAY_OF_YEAR);
  setTime(*calendar, b);
  return year == get(*calendar, UCAL_EXTENDED_YEAR) && dayOfYear == get(*calendar, UCAL_DAY_OF_YEAR);
}

std::optional<Date> Calendar::nextDate(Date after, int minute) const {
  if (minute < 0 || minute > 59) return std::nullopt;
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, after);
  const int32_t year = get(*calendar, UCAL_EXTENDED_YEAR);
  const int32_t month0 = get(*calendar, UCAL_MONTH);
  const int32_t day = get(*calendar, UCAL_DATE);
  int32_t hour = get(*calendar, UCAL_HOUR_OF_DAY);
  if (get(*calendar, UCAL_MINUTE) >= minute) ++hour;
  for (int step = 0; step < nextDateHourLimit; ++step, ++hour) {
    // Hours past 23 carry into the following days.
    calendar->clear();
    calendar->set(UCAL_EXTENDED_YEAR, year);
    calendar->set(UCAL_MONTH, month0);
    calendar->set(UCAL_DATE, day);
    calendar->set(UCAL_HOUR_OF_DAY, hour);
    calendar->set(UCAL_MINUTE, minute);
    calendar->set(UCAL_SECOND, 0);
    calendar->set(UCAL_MILLISECOND, 0);
    const Date candidate = timeOf(*calendar);
    if (candidate > after) return candidate;
  }
  return std::nullopt;
}

DateInterval Calendar::weekInterval(Date date) const {
  IcuCalendar calendar = makeIcuCalendar();
  setTime(*calendar, date);
  const int32_t year = get(*calendar, UCAL_EXTENDED_YEAR);
  const int32_t month0 = get(*calendar, UCAL_MONTH);
  const int32_t day = get(*calendar, UCAL_DATE);
  UErrorCode status = U_ZERO_ERROR;
  const int32_t firstWeekday = calendar->getFirstDayOfWeek(status);
  const int32_t back = (get(*calendar, UCAL_DAY_OF_WEEK) - (U_FAILURE(status) ? UCAL_SUNDAY : firstWeekday) + 7) % 7;
  const auto midnight = [&](int32_t dayOfMonth) {
    calendar->clear();
    calendar->set(UCAL_EXTENDED_YEAR, year);
    calendar->set(UCAL_MONTH, month0);
    calendar->set(UCAL_DATE, dayOfMonth);
    return timeOf(*calendar);
  };
  const Date start = midnight(day - back);
  return {start, midnight(day - back + 7)};
}

}  // namespace vorlane
