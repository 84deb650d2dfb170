#include "platform/calendar/ics/recurrence_budget.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace vorlane {

namespace {

constexpr double unbounded = std::numeric_limits<double>::infinity();
// A period's length in seconds and the days it spans, from secondly to yearly (libical's
// order).
constexpr double periods[] = {1, 60, 3600, 86400, 7 * 86400.0, 2629746, 31556952};
constexpr double daysIn[] = {1, 1, 1, 1, 7, 31, 366};
// libical gives up on a rule that never matches only when it reaches its last year; walking
// there day by day takes about this many iterations (a fifth of a second).
constexpr double fruitlessSearch = 3e5;
// libical expands zones up to this year at most.
constexpr int lastZoneYear = 2037;

bool given(const short* list) { return list[0] != ICAL_RECURRENCE_ARRAY_MAX; }

template <std::size_t N>
double listSize(const short (&list)[N]) {
  std::size_t n = 0;
  while (n < N && list[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return double(std::max<std::size_t>(n, 1));
}

template <std::size_t N>
bool listHolds(const short (&list)[N], int value) {
  for (std::size_t i = 0; i < N && list[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
    if (list[i] == value) return true;
  }
  return false;
}

bool isSubDaily(const icalrecurrencetype& rule) { return rule.freq < ICAL_DAILY_RECURRENCE; }

bool filtersDates(const icalrecurrencetype& rule) {
  return given(rule.by_month_day) || given(rule.by_year_day) || given(rule.by_week_no) ||
         given(rule.by_month) || given(rule.by_set_pos);
}

// Days with a position ("2SU") mean something only in monthly and yearly rules; libical
// never matches them elsewhere and walks to its last year looking.
bool hasMisplacedPosition(const icalrecurrencetype& rule) {
  if (rule.freq == ICAL_MONTHLY_RECURRENCE || rule.freq == ICAL_YEARLY_RECURRENCE) return false;
  for (std::size_t i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX;
       ++i) {
    if (icalrecurrencetype_day_position(rule.by_day[i]) != 0) return true;
  }
  return false;
}

// Whether some listed month has some listed day of the month (30 February never comes).
bool monthDaysCanOccur(const icalrecurrencetype& rule) {
  if (!given(rule.by_month_day)) return true;
  constexpr int longest[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int month = 1; month <= 12; ++month) {
    if (given(rule.by_month) && !listHolds(rule.by_month, month)) continue;
    for (std::size_t i = 0;
         i < ICAL_BY_MONTHDAY_SIZE && rule.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
      const int day = std::abs(rule.by_month_day[i]);
      if (day >= 1 && day <= longest[month - 1]) return true;
    }
  }
  return false;
}

// A sub-daily rule filtered by hour, minute, second or weekday steps one candidate at a
// time. The filters repeat every minute, hour, day or week, so a rule that matches nothing
// within one such cycle from its start never matches. Gives the most iterations between two
// occurrences, or none when it never matches.
std::optional<double> subDailyGap(const icalrecurrencetype& rule, std::int64_t first) {
  const bool seconds = rule.freq == ICAL_SECONDLY_RECURRENCE && given(rule.by_second);
  const bool minutes = rule.freq <= ICAL_MINUTELY_RECURRENCE && given(rule.by_minute);
  const bool hours = given(rule.by_hour), days = given(rule.by_day);
  if (!seconds && !minutes && !hours && !days) return 1.0;
  const std::int64_t cycle = days ? 7 * 86400 : hours ? 86400 : minutes ? 3600 : 60;
  const std::int64_t step =
      std::int64_t(periods[rule.freq]) * std::max<std::int64_t>(rule.interval, 1);
  const std::int64_t iterations = cycle / std::gcd(cycle, step);
  for (std::int64_t k = 0; k < iterations; ++k) {
    const std::int64_t t = first + k * step;
    const std::int64_t day = t >= 0 ? t / 86400 : (t - 86399) / 86400;
    const std::int64_t inDay = t - day * 86400;
    const int weekday = int(((day + 4) % 7 + 7) % 7) + 1;  // 1970-01-01 was a Thursday
    if ((!seconds || listHolds(rule.by_second, int(inDay % 60))) &&
        (!minutes || listHolds(rule.by_minute, int(inDay / 60 % 60))) &&
        (!hours || listHolds(rule.by_hour, int(inDay / 3600))) &&
        (!days || listHolds(rule.by_day, weekday))) {
      return double(iterations);
    }
  }
  return std::nullopt;
}

// An upper bound on the steps libical takes to walk a rule across this many seconds: one
// per period, times every hour, minute and second its lists pick within a period, times
// every day of a week, month or year when it picks days.
double spanSteps(const icalrecurrencetype& rule, double seconds) {
  const double period = periods[rule.freq], days = daysIn[rule.freq];
  // Lists of the rule's own unit or coarser only filter; finer ones multiply.
  double perPeriod = 1;
  if (rule.freq > ICAL_HOURLY_RECURRENCE) perPeriod *= listSize(rule.by_hour);
  if (rule.freq > ICAL_MINUTELY_RECURRENCE) perPeriod *= listSize(rule.by_minute);
  if (rule.freq > ICAL_SECONDLY_RECURRENCE) perPeriod *= listSize(rule.by_second);
  const bool picksDays = given(rule.by_day) || given(rule.by_month_day) ||
                         given(rule.by_year_day) || given(rule.by_week_no) || given(rule.by_month);
  if (picksDays) perPeriod *= days;
  const double interval = std::max<double>(rule.interval, 1);
  return (std::max(seconds, 0.0) / (period * interval) + 1) * perPeriod;
}

}  // namespace

ReadBudget::ReadBudget(double steps, std::chrono::steady_clock::duration time)
    : steps_(steps), deadline_(std::chrono::steady_clock::now() + time) {}

bool ReadBudget::spend(double steps) {
  if (timeIsUp() || !(steps <= steps_)) {
    spent_ = true;
    return false;
  }
  steps_ -= steps;
  return true;
}

bool ReadBudget::timeIsUp() {
  if (!spent_ && ++calls_ % 256 == 0 && std::chrono::steady_clock::now() >= deadline_) {
    spent_ = true;
  }
  return spent_;
}

std::optional<double> ruleCost(const icalrecurrencetype& rule, double seconds, std::int64_t first) {
  if (rule.freq < ICAL_SECONDLY_RECURRENCE || rule.freq > ICAL_YEARLY_RECURRENCE) {
    return std::nullopt;
  }
  // A sub-daily rule that also filters by month, day of month or year, week or position
  // may step for years before a match, or forever when the filter never matches.
  if (hasMisplacedPosition(rule) || (isSubDaily(rule) && filtersDates(rule)) ||
      !monthDaysCanOccur(rule)) {
    return std::nullopt;
  }
  double gap = 1;     // iterations between two occurrences, at most
  double search = 0;  // iterations libical may spend finding out there is nothing more
  if (isSubDaily(rule)) {
    const std::optional<double> subDaily = subDailyGap(rule, first);
    if (!subDaily) return std::nullopt;
    gap = *subDaily;
  } else if (rule.freq <= ICAL_MONTHLY_RECURRENCE && filtersDates(rule)) {
    gap = 366;
    if (given(rule.by_year_day) || given(rule.by_week_no) || given(rule.by_set_pos)) {
      search = fruitlessSearch;
    }
  }
  const double span = spanSteps(rule, seconds) + search;
  if (rule.count > 0) return std::min(span, double(rule.count) * gap + search);
  return span;
}

std::optional<std::int64_t> fixedPeriod(const icalrecurrencetype& rule) {
  if (rule.freq < ICAL_SECONDLY_RECURRENCE || rule.freq > ICAL_WEEKLY_RECURRENCE) {
    return std::nullopt;
  }
  if (given(rule.by_second) || given(rule.by_minute) || given(rule.by_hour) || given(rule.by_day) ||
      given(rule.by_month_day) || given(rule.by_year_day) || given(rule.by_week_no) ||
      given(rule.by_month) || given(rule.by_set_pos)) {
    return std::nullopt;
  }
  return std::int64_t(periods[rule.freq]) * std::max<std::int64_t>(rule.interval, 1);
}

double iterationsBetween(const icalrecurrencetype& rule, std::int64_t from, std::int64_t to) {
  if (rule.freq < ICAL_SECONDLY_RECURRENCE || rule.freq > ICAL_YEARLY_RECURRENCE) return 1;
  const double step = periods[rule.freq] * std::max<double>(rule.interval, 1);
  return std::max(1.0, double(to - from) / step);
}

double zoneCost(icalcomponent* zone) {
  double cost = 0;
  for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT);
       part != nullptr; part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
    cost += 1;
    const icaltimetype start = icalcomponent_get_dtstart(part);
    const double years = std::max(1, lastZoneYear + 1 - std::clamp(start.year, 1, lastZoneYear));
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_ANY_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(part, ICAL_ANY_PROPERTY)) {
      const icalproperty_kind kind = icalproperty_isa(p);
      if (kind == ICAL_RDATE_PROPERTY) cost += 1;
      if (kind != ICAL_RRULE_PROPERTY) continue;
      // Real zone rules repeat yearly on whole days; a finer rule costs millions of
      // transitions for one line.
      const icalrecurrencetype rule = icalproperty_get_rrule(p);
      if (rule.freq != ICAL_YEARLY_RECURRENCE || given(rule.by_hour) || given(rule.by_minute) ||
          given(rule.by_second)) {
        return unbounded;
      }
      cost += years * listSize(rule.by_month) * listSize(rule.by_day) * listSize(rule.by_month_day);
    }
  }
  return cost;
}

std::int64_t wallClockSeconds(const icaltimetype& time) {
  const std::int64_t y = time.year - (time.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + doe - 719468;
  return days * 86400 + (time.is_date ? 0 : time.hour * 3600 + time.minute * 60 + time.second);
}

}  // namespace vorlane
