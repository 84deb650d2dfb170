#include "foundation/calendar.h"

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>

#include "foundation/system_zone.h"
#include "foundation/text.h"
#include "foundation/zone_rules.h"

namespace vorlane {
namespace {

constexpr std::int64_t secondMs = 1000;
constexpr std::int64_t minuteMs = 60 * secondMs;
constexpr std::int64_t hourMs = 60 * minuteMs;
constexpr std::int64_t dayMs = 24 * hourMs;
// Instants are held within this many milliseconds of 1970 (about 3.2 million years), well
// inside both ICU's range and 64-bit day arithmetic.
constexpr double instantLimitMs = 1e17;
constexpr std::int64_t yearLimit = 1'000'000;
// How far nextDate looks: two days of hours, plus the hours a clock change may skip.
constexpr int nextDateHourLimit = 50;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

std::int64_t floorMod(std::int64_t a, std::int64_t b) { return a - floorDiv(a, b) * b; }

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12), after H. Hinnant's
// civil calendar algorithms.
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2;
  const std::int64_t era = floorDiv(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

struct Civil {
  std::int64_t year;
  int month;
  int day;
};

Civil civilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = floorDiv(days, 146097);
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

// The local day number of a year and a month that may lie outside 1-12 (carried into years).
std::int64_t firstDayOfMonth(std::int64_t year, std::int64_t month) {
  const std::int64_t monthIndex = month - 1;
  return daysFromCivil(year + floorDiv(monthIndex, 12), floorMod(monthIndex, 12) + 1, 1);
}

int daysInMonth(std::int64_t year, int month) {
  return static_cast<int>(firstDayOfMonth(year, month + 1) - firstDayOfMonth(year, month));
}

std::int64_t toMs(Date date) {
  return static_cast<std::int64_t>(
      std::floor(std::clamp(date.udate(), -instantLimitMs, instantLimitMs)));
}

Date fromMs(std::int64_t ms) { return Date::fromUDate(static_cast<double>(ms)); }

bool isFinite(Date date) { return std::isfinite(date.timeIntervalSinceReferenceDate()); }

// The zone's rules from the system's database; for a zone the system lacks, ICU's own data
// (reported once); for a zone neither knows, UTC. Built once per id: a rule-based zone is
// costly to build.
std::shared_ptr<const icu::TimeZone> sharedZone(const std::string& id) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const icu::TimeZone>> built;
  const std::lock_guard<std::mutex> lock(mutex);
  std::shared_ptr<const icu::TimeZone>& zone = built[id];
  if (zone) return zone;
  if (std::unique_ptr<icu::TimeZone> system = detail::makeSystemZone(id)) {
    zone = std::move(system);
    return zone;
  }
  std::unique_ptr<icu::TimeZone> icuZone(icu::TimeZone::createTimeZone(toUnicode(id)));
  icu::UnicodeString resolved;
  if (icuZone == nullptr || icuZone->getID(resolved) == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID)) {
    icuZone.reset(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
  } else {
    detail::reportZoneFallback(id);
  }
  zone = std::move(icuZone);
  return zone;
}

std::shared_ptr<const icu::Calendar> makePrototype(const std::string& zoneID,
                                                   const std::string& localeID) {
  const std::shared_ptr<const icu::TimeZone> zone = sharedZone(zoneID);
  UErrorCode status = U_ZERO_ERROR;
  auto calendar =
      std::make_shared<icu::GregorianCalendar>(*zone, icu::Locale(localeID.c_str()), status);
  if (U_FAILURE(status)) {
    status = U_ZERO_ERROR;
    calendar = std::make_shared<icu::GregorianCalendar>(*zone, icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status)) {
      throw std::runtime_error(std::string("ICU calendar unavailable: ") + u_errorName(status));
    }
  }
  calendar->setLenient(true);
  calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
  calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
  // Proleptic, like the calendar's own arithmetic, so formatted dates agree with it.
  calendar->setGregorianChange(U_DATE_MIN, status);
  return calendar;
}

// Prototypes never change, and copying a rule-based zone is costly, so calendars of one
// zone and locale share theirs.
std::shared_ptr<const icu::Calendar> sharedPrototype(const std::string& zoneID,
                                                     const std::string& localeID) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, std::string>, std::shared_ptr<const icu::Calendar>> built;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = built.find({zoneID, localeID});
    if (found != built.end()) return found->second;
  }
  std::shared_ptr<const icu::Calendar> prototype = makePrototype(zoneID, localeID);
  const std::lock_guard<std::mutex> lock(mutex);
  return built.try_emplace({zoneID, localeID}, std::move(prototype)).first->second;
}

// Zone tables are costly to build and never change, so every calendar of a zone shares one.
std::shared_ptr<const detail::ZoneRules> zoneRules(const std::string& zoneID) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const detail::ZoneRules>> built;
  const std::lock_guard<std::mutex> lock(mutex);
  std::shared_ptr<const detail::ZoneRules>& rules = built[zoneID];
  if (!rules) rules = std::make_shared<detail::ZoneRules>(sharedZone(zoneID));
  return rules;
}

// An ICU locale id from a POSIX locale name: "de_DE.UTF-8@euro" gives "de_DE"; "C",
// "POSIX" and nothing give en_US_POSIX.
std::string icuLocaleFromPosix(const char* posix) {
  std::string name = posix ? posix : "";
  name = name.substr(0, name.find_first_of(".@"));
  if (name.empty() || name == "C" || name == "POSIX") return "en_US_POSIX";
  return name;
}

}  // namespace

// The local wall time of an instant: its day number since 1970-01-01 and the milliseconds
// into that day.
struct Calendar::Fields {
  std::int64_t day;
  std::int64_t millisecond;

  Civil civil() const { return civilFromDays(day); }
  int hour() const { return static_cast<int>(millisecond / hourMs); }
  int minute() const { return static_cast<int>(millisecond / minuteMs % 60); }
  int second() const { return static_cast<int>(millisecond / secondMs % 60); }
  // 1970-01-01 was a Thursday (5).
  int weekday() const { return static_cast<int>(floorMod(day + 4, 7)) + 1; }
};

Calendar::Calendar(const std::string& timeZoneID, const std::string& localeID)
    : prototype_(sharedPrototype(timeZoneID, localeID)),
      zone_(zoneRules(timeZoneID)),
      localeID_(localeID) {
  UErrorCode status = U_ZERO_ERROR;
  const UCalendarDaysOfWeek first = prototype_->getFirstDayOfWeek(status);
  firstWeekday_ = U_FAILURE(status) ? 1 : static_cast<int>(first);
}

Calendar Calendar::current() {
  std::string zoneID = detail::userZoneID();
  if (zoneID.empty()) {
    // Neither $TZ nor /etc/localtime names a zone: ICU's own guess, else UTC.
    const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    icu::UnicodeString icuID;
    if (zone) zone->getID(icuID);
    zoneID = toUtf8(icuID);
  }
  const char* localeName = nullptr;
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      localeName = value;
      break;
    }
  }
  return Calendar(zoneID, icuLocaleFromPosix(localeName));
}

std::string Calendar::timeZoneID() const {
  icu::UnicodeString id;
  prototype_->getTimeZone().getID(id);
  return toUtf8(id);
}

std::unique_ptr<icu::Calendar> Calendar::makeIcuCalendar() const {
  return std::unique_ptr<icu::Calendar>(prototype_->clone());
}

Calendar::Fields Calendar::fields(Date date) const {
  const std::int64_t utc = toMs(date);
  const std::int64_t local = utc + zone_->offsetAt(utc);
  const std::int64_t day = floorDiv(local, dayMs);
  return {day, local - day * dayMs};
}

std::optional<Date> Calendar::place(std::int64_t localDay, std::int64_t millisecondOfDay) const {
  const std::int64_t local = localDay * dayMs + millisecondOfDay;
  if (local < -instantLimitMs || local > instantLimitMs) return std::nullopt;
  return fromMs(zone_->resolve(local));
}

DateComponents Calendar::components(Date date) const {
  if (!isFinite(date)) return {};
  const Fields local = fields(date);
  const Civil civil = local.civil();
  return {static_cast<int>(civil.year),
          civil.month,
          civil.day,
          local.hour(),
          local.minute(),
          local.second(),
          local.weekday()};
}

int Calendar::weekday(Date date) const { return components(date).weekday; }
int Calendar::hour(Date date) const { return components(date).hour; }
int Calendar::minute(Date date) const { return components(date).minute; }

std::optional<Date> Calendar::date(std::int64_t hour, std::int64_t minute, std::int64_t second,
                                   Date day) const {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      !isFinite(day)) {
    return std::nullopt;
  }
  return place(fields(day).day, hour * hourMs + minute * minuteMs + second * secondMs);
}

std::optional<Date> Calendar::date(int year, int month, int day, int hour, int minute,
                                   int second) const {
  if (year < -yearLimit || year > yearLimit || month < 1 || month > 12 || day < 1 ||
      day > daysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    return std::nullopt;
  }
  return place(daysFromCivil(year, month, day),
               std::int64_t{hour} * hourMs + std::int64_t{minute} * minuteMs + second * secondMs);
}

bool Calendar::holds(Date date) {
  const double udate = date.udate();
  return udate >= -instantLimitMs && udate <= instantLimitMs;
}

Date Calendar::startOfDay(Date date) const {
  if (!isFinite(date)) return date;
  return place(fields(date).day, 0).value_or(date);
}

Date Calendar::startOfNextDay(Date date) const {
  if (!isFinite(date)) return date;
  return place(fields(date).day + 1, 0).value_or(date);
}

Date Calendar::addingDays(std::int64_t days, Date date) const {
  if (days == 0 || !isFinite(date)) return date;
  const Fields local = fields(date);
  // Far beyond any calendar's reach the count still moves the date, by plain days.
  constexpr std::int64_t dayLimit = static_cast<std::int64_t>(instantLimitMs / dayMs);
  const std::optional<Date> moved = days > -dayLimit && days < dayLimit
                                        ? place(local.day + days, local.millisecond)
                                        : std::nullopt;
  return moved ? *moved : date + static_cast<double>(days) * 86400.0;
}

Date Calendar::addingWeeks(std::int64_t weeks, Date date) const {
  constexpr std::int64_t limit = INT64_MAX / 7;
  if (weeks > limit || weeks < -limit) return date + static_cast<double>(weeks) * 604800.0;
  return addingDays(weeks * 7, date);
}

bool Calendar::isSameDay(Date a, Date b) const {
  return isFinite(a) && isFinite(b) && fields(a).day == fields(b).day;
}

std::optional<Date> Calendar::nextDate(Date after, int minute) const {
  if (minute < 0 || minute > 59 || !isFinite(after)) return std::nullopt;
  const Fields local = fields(after);
  std::int64_t hour = local.hour() + (local.minute() >= minute ? 1 : 0);
  for (int step = 0; step < nextDateHourLimit; ++step, ++hour) {
    // Hours past 23 run on into the following days.
    const std::optional<Date> candidate = place(local.day, hour * hourMs + minute * minuteMs);
    if (!candidate) return std::nullopt;
    if (*candidate > after) return candidate;
  }
  return std::nullopt;
}

DateInterval Calendar::weekInterval(Date date) const {
  if (!isFinite(date)) return {date, date};
  const Fields local = fields(date);
  const std::int64_t first = local.day - (local.weekday() - firstWeekday_ + 7) % 7;
  const std::optional<Date> start = place(first, 0);
  const std::optional<Date> end = place(first + 7, 0);
  if (!start || !end) return {date, date};
  return {*start, *end};
}

}  // namespace vorlane
