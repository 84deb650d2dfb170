#pragma once

#include <unicode/utypes.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/date.h"

U_NAMESPACE_BEGIN
class Calendar;
class TimeZone;
U_NAMESPACE_END

namespace vorlane {

namespace detail {
class ZoneRules;
}

// The local-time fields of an instant in a calendar's zone. Month counts from 1; weekday
// 1 is Sunday, whatever the locale.
struct DateComponents {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int weekday = 0;

  bool operator==(const DateComponents&) const = default;
};

// The Gregorian calendar of one time zone and locale. Cheap to copy, and immutable, so one
// Calendar may be used from several threads at once.
//
// Wall times are placed with one policy everywhere: a local time skipped by a clock change
// resolves to the next existing time (New York 2026-03-08 02:30 gives 03:00 EDT), a repeated
// one to its first occurrence (2026-11-01 01:30 gives 01:30 EDT). The calendar is proleptic
// Gregorian. A date that is not finite gives none, or comes back unchanged; dates are held
// within about three million years of today.
class Calendar {
 public:
  // `timeZoneID` is an Olson id ("America/New_York"). Its rules come from the system's
  // time-zone database, for this calendar and every ICU object it makes alike; a zone only
  // ICU knows keeps ICU's own rules (see setZoneFallbackObserver); an unknown id gives UTC.
  // `localeID` is an ICU locale id ("en_US"); it decides the first day of the week and the
  // language of formatted dates.
  explicit Calendar(const std::string& timeZoneID, const std::string& localeID = "en_US_POSIX");

  // The user's calendar: the zone $TZ names, else /etc/localtime's (else ICU's guess, else
  // UTC), and the date-format locale from LC_ALL, LC_TIME or LANG.
  static Calendar current();

  // Whether `date` lies in the range dates are held within: finite, and within about three
  // million years of 1970.
  static bool holds(Date date);

  std::string timeZoneID() const;
  const std::string& localeID() const { return localeID_; }

  DateComponents components(Date date) const;
  int weekday(Date date) const;  // 1 = Sunday ... 7 = Saturday
  int hour(Date date) const;
  int minute(Date date) const;

  // The date at hour:minute:second (milliseconds 0) on the day holding `day`. None when a
  // value is out of range (hour 0-23, minute 0-59, second 0-59).
  std::optional<Date> date(std::int64_t hour, std::int64_t minute, std::int64_t second,
                           Date day) const;

  // The date at the given local fields (month from 1); none when a field is out of range
  // (a year beyond a million counts as out of range).
  std::optional<Date> date(int year, int month, int day, int hour = 0, int minute = 0,
                           int second = 0) const;

  // The first existing instant of the day holding `date` (a skipped midnight gives 01:00).
  Date startOfDay(Date date) const;
  // The start of the next calendar day after the day holding `date`.
  Date startOfNextDay(Date date) const;

  // Calendar arithmetic keeping the wall time (resolved with the policy above).
  Date addingDays(std::int64_t days, Date date) const;
  Date addingWeeks(std::int64_t weeks, Date date) const;

  bool isSameDay(Date a, Date b) const;
  bool isToday(Date date, Date now) const { return isSameDay(date, now); }

  // The next date strictly after `after` whose local minute is `minute` and second 0
  // (milliseconds 0). Local times skipped by a clock change resolve to the next existing
  // time; a repeated hour yields its first occurrence only. None when no such date lies
  // within two days, or `minute` is outside 0-59.
  std::optional<Date> nextDate(Date after, int minute) const;

  // The calendar week holding `date`: from the start of its first day (the locale's first
  // weekday) to the start of the day seven calendar days later. Not always 604800 s long.
  DateInterval weekInterval(Date date) const;

  // A fresh ICU calendar set to this zone, locale and wall-time policy, for formatters.
  std::unique_ptr<icu::Calendar> makeIcuCalendar() const;

 private:
  struct Fields;
  Fields fields(Date date) const;
  std::optional<Date> place(std::int64_t localDay, std::int64_t millisecondOfDay) const;

  std::shared_ptr<const icu::Calendar> prototype_;
  std::shared_ptr<const detail::ZoneRules> zone_;
  std::string localeID_;
  int firstWeekday_ = 1;
};

}  // namespace vorlane
