#include "platform/calendar/ics/ics_busy_times.h"

#include <libical/ical.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/calendar/ics/busy_event_rules.h"
#include "platform/calendar/ics/ics_event_times.h"
#include "platform/calendar/ics/ics_text.h"
#include "platform/calendar/ics/ics_zones.h"
#include "platform/calendar/ics/recurrence_budget.h"
#include "platform/calendar/ics/rule_part_filter.h"

namespace vorlane {

namespace {

// A rule firing every second over a long range is hostile too; occurrences past this many
// are left out.
constexpr std::size_t maxOccurrencesPerEvent = 100000;
// Steps of real work (see ReadBudget), about a microsecond each, two on a loaded machine.
// They, not the clock, end a costly read: a file's steps take a few tenths of a second at
// most, far inside its time limit, so that a slow machine reads it as a fast one does. Real
// calendars stay far below: a daily meeting since 1900 is under fifty thousand.
constexpr double maxStepsPerEvent = 4e5;
constexpr double maxStepsPerFile = 5e5;
// libical places floating and all-day occurrences as if they were UTC; the widened window
// catches every occurrence that may overlap the range once placed in the user's zone.
constexpr double windowMargin = 2 * 86400.0;

struct IteratorDeleter {
  void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};

bool isRecurring(icalcomponent* event) {
  return icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) != nullptr ||
         icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) != nullptr;
}

std::string uidOf(icalcomponent* event) {
  const char* uid = icalcomponent_get_uid(event);
  return uid != nullptr ? std::string(uid) : std::string();
}

// The dates an event leaves out, looked up once per occurrence instead of walking its
// properties for each.
struct Exclusions {
  std::vector<double> instants;    // DATE-TIME values
  std::vector<std::int64_t> days;  // DATE values, as wall-clock days

  bool contains(Date instant, std::int64_t wallClock) const {
    const std::int64_t day = wallClock >= 0 ? wallClock / 86400 : (wallClock - 86399) / 86400;
    return std::binary_search(instants.begin(), instants.end(), instant.unixSeconds()) ||
           std::binary_search(days.begin(), days.end(), day);
  }
};

// An override of one occurrence "and all that follow": where it moves their start, and
// how long they last.
struct FutureShift {
  double from;  // the overridden occurrence's start, unix seconds
  double seconds;
  Length length;
};

class FileReader {
 public:
  FileReader(DateInterval range, const IcsRules& options, ReadBudget& budget)
      : range_(range),
        options_(options),
        budget_(budget),
        windowStart_(std::int64_t(std::floor((range.start - windowMargin).unixSeconds()))),
        windowEnd_(std::int64_t(std::ceil((range.end + windowMargin).unixSeconds()))) {
    if (options.userEmail) userAddresses_.insert(normalAddress(*options.userEmail));
  }

  void collectOverrides(icalcomponent* calendar) {
    zones_.learn(calendar);
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      const TimeProperty id =
          timeProperty(event, ICAL_RECURRENCEID_PROPERTY, calendar, zones_, *options_.calendar);
      if (id.property == nullptr || !id.instant) continue;
      overrides_[uidOf(event)].insert(id.instant->unixSeconds());
      icalparameter* range = icalproperty_get_first_parameter(id.property, ICAL_RANGE_PARAMETER);
      if (range == nullptr || icalparameter_get_range(range) != ICAL_RANGE_THISANDFUTURE) continue;
      const EventTimes times = eventTimes(event, calendar, zones_, *options_.calendar, true);
      if (!times.start.instant || !times.end) continue;
      std::vector<FutureShift>& shifts = futureShifts_[uidOf(event)];
      shifts.push_back(
          {id.instant->unixSeconds(), *times.start.instant - *id.instant, times.length});
      std::sort(shifts.begin(), shifts.end(),
                [](const FutureShift& a, const FutureShift& b) { return a.from < b.from; });
    }
  }

  // Single events are read at once; recurring ones wait until the whole file is known, so
  // that the cheap ones go first and costly ones cannot starve them.
  void read(icalcomponent* calendar) {
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      readEvent(event, calendar);
      ++slot_;
    }
  }

  std::vector<BusyInterval> take() {
    expandRecurring();
    std::stable_sort(found_.begin(), found_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<BusyInterval> result;
    result.reserve(found_.size());
    for (const auto& [slot, busy] : found_) result.push_back(busy);
    return result;
  }

 private:
  struct Recurring {
    icalcomponent* event;
    icalcomponent* calendar;
    EventTimes times;
    double cost;
    double density;  // the steps its rules take across the window alone
    std::size_t slot;
  };

  // Whether the stretch was kept: a real span that overlaps the range.
  bool add(std::size_t slot, Date start, Date end) {
    const std::optional<BusyInterval> busy = busyStretch(start, end, range_);
    if (busy) found_.emplace_back(slot, *busy);
    return busy.has_value();
  }

  void readEvent(icalcomponent* event, icalcomponent* calendar) {
    if (!holdsTime(event, userAddresses_)) return;
    const bool isOverride =
        icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
    EventTimes times = eventTimes(event, calendar, zones_, *options_.calendar, isOverride);
    if (!times.start.instant || !times.end) return;
    // Nothing of it can be busy, however often it recurs: a rule by the second would be
    // walked occurrence by occurrence for nothing.
    if (!(*times.end > *times.start.instant)) return;
    if (isOverride || !isRecurring(event)) {
      add(slot_, *times.start.instant, *times.end);
      return;
    }
    // Events whose rules libical may walk without end read as free.
    if (const std::optional<double> cost = costOf(event, times, windowStart_)) {
      const double density = *costOf(event, times, windowEnd_);
      recurring_.push_back(Recurring{event, calendar, std::move(times), *cost, density, slot_});
    }
  }

  // Seconds before the window that an occurrence may start and still reach into it.
  std::int64_t reach(const EventTimes& times) const {
    const double seconds = times.length.days ? std::abs(double(*times.length.days)) * 86400 + 3600
                                             : std::abs(times.length.seconds);
    return std::int64_t(std::ceil(std::min(seconds, 1e12)));
  }

  // libical walks a counted rule from its first occurrence, no further than its count; an
  // uncounted one, or one of a fixed period, starts just before the window. Added and excluded
  // dates cost a step each. From `windowEnd_` on, only the window's own steps count.
  std::optional<double> costOf(icalcomponent* event, const EventTimes& times,
                               std::int64_t windowStart) const {
    const std::int64_t first = wallClockSeconds(times.start.value);
    const std::int64_t skipTo =
        windowStart == windowEnd_ ? windowStart_ : std::max(first, windowStart - reach(times));
    double cost = 1;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
      const icalproperty_kind kind = icalproperty_isa(p);
      if (kind == ICAL_RDATE_PROPERTY || kind == ICAL_EXDATE_PROPERTY) cost += 1;
      if (kind != ICAL_RRULE_PROPERTY) continue;
      const icalrecurrencetype rule = icalproperty_get_rrule(p);
      const bool walksFromFirst = rule.count > 0 && !fixedPeriod(rule);
      const std::int64_t from = walksFromFirst && windowStart != windowEnd_ ? first : skipTo;
      const std::optional<double> steps = ruleCost(rule, double(windowEnd_ - from), first);
      if (!steps) return std::nullopt;
      cost += *steps;
    }
    return cost;
  }

  // Sparse events (real meetings) before dense ones, then the cheaper first.
  void expandRecurring() {
    std::stable_sort(recurring_.begin(), recurring_.end(),
                     [](const Recurring& a, const Recurring& b) {
                       return std::pair(a.density, a.cost) < std::pair(b.density, b.cost);
                     });
    for (const Recurring& event : recurring_) {
      if (!(event.cost <= maxStepsPerEvent) || !budget_.affords(event.cost)) continue;
      expand(event);
      if (budget_.spent()) break;
    }
  }

  Exclusions exclusionsOf(const Recurring& r) {
    Exclusions result;
    for (icalproperty* p = icalcomponent_get_first_property(r.event, ICAL_EXDATE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(r.event, ICAL_EXDATE_PROPERTY)) {
      icalvalue* value = icalproperty_get_value(p);
      if (value == nullptr) continue;
      const icaltimetype time = icalvalue_get_datetime(value);
      if (icaltime_is_null_time(time)) continue;
      if (time.is_date) {
        result.days.push_back(wallClockSeconds(time) / 86400);
      } else if (const std::optional<Date> instant =
                     instantOf(time, zones_.of(p, time, r.calendar), *options_.calendar)) {
        result.instants.push_back(instant->unixSeconds());
      }
    }
    std::sort(result.instants.begin(), result.instants.end());
    std::sort(result.days.begin(), result.days.end());
    return result;
  }

  struct Expansion {
    const Recurring& event;
    Exclusions exclusions;
    const std::set<double>* overridden;
    const std::vector<FutureShift>* shifts;
    std::int64_t reach;  // with the earliest any shift moves an occurrence
    std::int64_t lead;   // the latest any shift moves an occurrence
    double steps = 0;
    std::size_t kept = 0;
  };

  // One occurrence, given as libical's fields in the event's own frame.
  void offer(Expansion& e, const icaltimetype& time, icaltimezone* zone) {
    const std::int64_t wallClock = wallClockSeconds(time);
    if (wallClock + e.reach < windowStart_ || wallClock >= windowEnd_ + e.lead) return;
    // Placing a time in a zone costs about as much again as finding it.
    if (e.kept >= maxOccurrencesPerEvent || !budget_.spend(zone != nullptr ? 2 : 1)) return;
    std::optional<Date> start = instantOf(time, zone, *options_.calendar);
    if (!start || e.exclusions.contains(*start, wallClock)) return;
    if (e.overridden != nullptr && e.overridden->contains(start->unixSeconds())) return;
    const Length* length = &e.event.times.length;
    if (const FutureShift* shift = shiftOf(e, *start)) {
      start = *start + shift->seconds;
      length = &shift->length;
    }
    const Date end = endOf(*start, *length, *options_.calendar);
    if (add(e.event.slot, *start, end)) ++e.kept;
  }

  // The latest override of this and the following occurrences that reaches `start`.
  static const FutureShift* shiftOf(const Expansion& e, Date start) {
    if (e.shifts == nullptr) return nullptr;
    const auto after = std::upper_bound(
        e.shifts->begin(), e.shifts->end(), start.unixSeconds(),
        [](double instant, const FutureShift& shift) { return instant < shift.from; });
    return after == e.shifts->begin() ? nullptr : &*std::prev(after);
  }

  void expand(const Recurring& r) {
    const std::string uid = uidOf(r.event);
    const auto overridden = overrides_.find(uid);
    const auto shifts = futureShifts_.find(uid);
    Expansion e{r,
                exclusionsOf(r),
                overridden != overrides_.end() ? &overridden->second : nullptr,
                shifts != futureShifts_.end() ? &shifts->second : nullptr,
                reach(r.times),
                0};
    if (e.shifts != nullptr) {
      for (const FutureShift& shift : *e.shifts) {
        const double seconds = std::clamp(shift.seconds, -1e12, 1e12);
        e.reach =
            std::max(e.reach, std::int64_t(std::ceil(seconds)) + reach({{}, {}, shift.length}));
        e.lead = std::max(e.lead, std::int64_t(std::ceil(-seconds)));
      }
    }
    const icaltimetype first = r.times.start.value;
    const std::int64_t firstWallClock = wallClockSeconds(first);
    offer(e, first, r.times.start.zone);
    for (icalproperty* p = icalcomponent_get_first_property(r.event, ICAL_RRULE_PROPERTY);
         p != nullptr && !budget_.spent();
         p = icalcomponent_get_next_property(r.event, ICAL_RRULE_PROPERTY)) {
      walkRule(e, icalproperty_get_rrule(p), first, firstWallClock);
    }
    for (icalproperty* p = icalcomponent_get_first_property(r.event, ICAL_RDATE_PROPERTY);
         p != nullptr && budget_.spend(1);
         p = icalcomponent_get_next_property(r.event, ICAL_RDATE_PROPERTY)) {
      // Periods are left out: the event's own length applies to every occurrence.
      const icaltimetype time = icalproperty_get_rdate(p).time;
      if (icaltime_is_null_time(time) || wallClockSeconds(time) == firstWallClock) continue;
      offer(e, time, zones_.of(p, time, r.calendar));
    }
  }

  // libical compares a zoned series' UNTIL (UTC, inclusive) with the occurrences' wall-clock
  // fields: the UNTIL is placed in the series' own zone first.
  static icalrecurrencetype inOwnFrame(icalrecurrencetype rule, const TimeProperty& start) {
    if (start.zone != nullptr && !start.value.is_date && !icaltime_is_null_time(rule.until) &&
        icaltime_is_utc(rule.until)) {
      rule.until = icaltime_convert_to_zone(rule.until, start.zone);
      rule.until.zone = nullptr;
    }
    return rule;
  }

  // Steps through the rule's occurrences, charging each call by the iterations libical went
  // through to reach it.
  void walkRule(Expansion& e, const icalrecurrencetype& rule, const icaltimetype& first,
                std::int64_t firstWallClock) {
    icalrecurrencetype own = inOwnFrame(rule, e.event.times.start);
    icaltimetype from = first;
    std::int64_t previous = firstWallClock;
    const std::int64_t skipTo = windowStart_ - e.reach;
    // A counted rule of a fixed period starts at its last occurrence before the window, with
    // the count left: the same occurrences as walking there, however far back it began.
    const std::optional<std::int64_t> period = fixedPeriod(rule);
    if (rule.count > 0 && period && skipTo > firstWallClock) {
      const std::int64_t skipped =
          std::min<std::int64_t>((skipTo - firstWallClock) / *period, rule.count - 1);
      if (skipped > 0) {
        own.count = int(rule.count - skipped);
        previous = firstWallClock + skipped * *period;
        from = icaltime_from_timet_with_zone(time_t(previous), first.is_date,
                                             icaltimezone_get_utc_timezone());
        from.zone = nullptr;
      }
    }
    std::unique_ptr<icalrecur_iterator, IteratorDeleter> iterator(
        icalrecur_iterator_new(own, from));
    if (!iterator) return;
    if (rule.count == 0 && skipTo > firstWallClock) {
      icaltimetype from = icaltime_from_timet_with_zone(time_t(skipTo), first.is_date,
                                                        icaltimezone_get_utc_timezone());
      from.zone = first.zone;
      if (icalrecur_iterator_set_start(iterator.get(), from)) previous = skipTo;
    }
    while (true) {
      const icaltimetype time = icalrecur_iterator_next(iterator.get());
      if (icaltime_is_null_time(time)) return;
      const std::int64_t wallClock = wallClockSeconds(time);
      const double steps = iterationsBetween(rule, previous, wallClock);
      previous = wallClock;
      e.steps += steps;
      if (!budget_.spend(steps) || e.steps > maxStepsPerEvent || wallClock >= windowEnd_ + e.lead ||
          e.kept >= maxOccurrencesPerEvent) {
        return;
      }
      if (wallClock != firstWallClock) offer(e, time, e.event.times.start.zone);
    }
  }

  DateInterval range_;
  const IcsRules& options_;
  ReadBudget& budget_;
  // The range widened by the margin, in wall-clock seconds of any zone.
  std::int64_t windowStart_, windowEnd_;
  std::set<std::string> userAddresses_;  // normal addresses
  Zones zones_;
  std::map<std::string, std::set<double>> overrides_;
  std::map<std::string, std::vector<FutureShift>> futureShifts_;  // by time
  std::size_t slot_ = 0;
  std::vector<Recurring> recurring_;
  std::vector<std::pair<std::size_t, BusyInterval>> found_;
};

}  // namespace

std::vector<BusyInterval> busyTimesInIcs(std::string_view text, DateInterval range,
                                         const IcsRules& options) {
  if (text.empty() || options.calendar == nullptr || tooDeeplyNested(text)) return {};
  const std::optional<FilteredRules> filtered = withoutUnknownRuleParts(text);
  if (filtered) {
    text = filtered->text;
    if (options.ignoredRuleParts) options.ignoredRuleParts(filtered->ignored);
  }
  ReadBudget budget(maxStepsPerFile, options.timeLimit);
  const ParsedIcs parsed(text, budget);
  const std::vector<icalcomponent*>& calendars = parsed.calendars();

  for (icalcomponent* calendar : calendars) dropCostlyZones(calendar, budget);
  FileReader reader(range, options, budget);
  for (icalcomponent* calendar : calendars) reader.collectOverrides(calendar);
  for (icalcomponent* calendar : calendars) reader.read(calendar);
  return reader.take();
}

}  // namespace vorlane
