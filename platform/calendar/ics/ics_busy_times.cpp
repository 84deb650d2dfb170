#include "platform/calendar/ics/ics_busy_times.h"

#include <libical/ical.h>

#include "platform/calendar/ics/busy_event_rules.h"
#include "platform/calendar/ics/recurrence_budget.h"
#include "platform/calendar/ics/rule_part_filter.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vorlane {

namespace {

// Real calendars nest three or four levels deep (VCALENDAR, VEVENT, VALARM); deeper text is
// hostile, and libical frees components recursively.
constexpr int maxNesting = 32;
// A rule firing every second over a long range is hostile too; occurrences past this many
// are left out.
constexpr std::size_t maxOccurrencesPerEvent = 100000;
// Steps of real work (see ReadBudget), about a microsecond each, two on a loaded machine.
// They, not the clock, end a costly read: a file's steps take a few tenths of a second at
// most, far inside its time limit, so that a slow machine reads it as a fast one does. Real
// calendars stay far below: a daily meeting since 1900 is under fifty thousand.
constexpr double maxStepsPerEvent = 4e5;
constexpr double maxStepsPerFile = 5e5;
// Full-history zones have a few hundred transitions; libical expands them all, in memory.
constexpr double maxZoneTransitions = 20000;
// libical places floating and all-day occurrences as if they were UTC; the widened window
// catches every occurrence that may overlap the range once placed in the user's zone.
constexpr double windowMargin = 2 * 86400.0;

void prepareLibical() {
  static std::once_flag once;
  std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

struct ComponentDeleter {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

struct ParserDeleter {
  void operator()(icalparser* p) const { icalparser_free(p); }
};

struct IteratorDeleter {
  void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};

// Hands libical the text one line at a time, as fgets would.
struct LineSource {
  std::string_view text;
  ReadBudget& budget;
  std::size_t position = 0;
};

// Parsing too stops when the file's time is up, keeping what came before.
char* nextLine(char* out, std::size_t size, void* data) {
  auto* source = static_cast<LineSource*>(data);
  if (source->position >= source->text.size() || size < 2 || source->budget.timeIsUp()) {
    return nullptr;
  }
  std::size_t n = 0;
  while (n + 1 < size && source->position < source->text.size()) {
    const char c = source->text[source->position++];
    // libical reads lines as C strings: a NUL byte (never part of calendar text) would end
    // the line there and lose the rest of it.
    if (c == '\0') continue;
    out[n++] = c;
    if (c == '\n') break;
  }
  out[n] = '\0';
  return out;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Counts BEGIN/END nesting on unfolded lines, reading only what it needs of each line.
bool tooDeeplyNested(std::string_view text) {
  int depth = 0;
  std::string head;  // the first characters of the current unfolded line
  const auto finish = [&]() {
    if (startsWithIgnoringCase(head, "BEGIN:")) {
      if (++depth > maxNesting) return true;
    } else if (startsWithIgnoringCase(head, "END:")) {
      if (depth > 0) --depth;
    }
    head.clear();
    return false;
  };
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool continuation = !line.empty() && (line.front() == ' ' || line.front() == '\t');
    if (continuation) {
      line.remove_prefix(1);
    } else if (finish()) {
      return true;
    }
    if (head.size() < 6) head.append(line.substr(0, 6 - head.size()));
    start = end + 1;
  }
  return finish();
}

// A zone's name as it is compared: without the stray trailing colon Outlook has written.
std::string_view zoneName(std::string_view name) {
  while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.remove_suffix(1);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  return name;
}

icaltimezone* systemZone(std::string_view name) {
  if (name.empty()) return nullptr;
  return icaltimezone_get_builtin_timezone(std::string(name).c_str());
}

// The zones time properties name. A name the system's zone data knows, or a file's zone
// whose location it knows, follows the system's rules: producers ship zones cut down to the
// transitions near their own events. The file's own zone serves names only it knows
// (Windows names).
class Zones {
 public:
  // Takes note of a calendar's own zones, before any of its times are read.
  void learn(icalcomponent* calendar) {
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
         zone != nullptr;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
      icalproperty* id = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
      const char* name = id != nullptr ? icalproperty_get_tzid(id) : nullptr;
      if (name == nullptr) continue;
      icaltimezone* chosen = nullptr;
      for (icalproperty* p = icalcomponent_get_first_property(zone, ICAL_X_PROPERTY);
           p != nullptr && chosen == nullptr;
           p = icalcomponent_get_next_property(zone, ICAL_X_PROPERTY)) {
        const char* property = icalproperty_get_x_name(p);
        const char* location = icalproperty_get_x(p);
        if (property != nullptr && location != nullptr &&
            equalsIgnoringCase(property, "X-LIC-LOCATION")) {
          chosen = systemZone(zoneName(location));
        }
      }
      if (chosen == nullptr) chosen = icalcomponent_get_timezone(calendar, name);
      own_.emplace(std::pair(calendar, std::string(zoneName(name))), chosen);
    }
  }

  // Null for UTC values, dates, floating times and unknown zones.
  icaltimezone* of(icalproperty* property, icaltimetype value, icalcomponent* calendar) {
    if (value.is_date || icaltime_is_utc(value)) return nullptr;
    if (value.zone != nullptr) return const_cast<icaltimezone*>(value.zone);
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* name = tzid != nullptr ? icalparameter_get_tzid(tzid) : nullptr;
    if (name == nullptr || *name == '\0') return nullptr;
    const auto key = std::pair(calendar, std::string(zoneName(name)));
    if (const auto found = known_.find(key); found != known_.end()) return found->second;
    icaltimezone* zone = systemZone(key.second);
    if (zone == nullptr) {
      if (const auto own = own_.find(key); own != own_.end()) zone = own->second;
    }
    return known_[key] = zone;
  }

 private:
  std::map<std::pair<icalcomponent*, std::string>, icaltimezone*> own_;
  std::map<std::pair<icalcomponent*, std::string>, icaltimezone*> known_;
};

// A time as an instant: UTC and zoned values as they are, floating values and dates at
// their wall-clock time in the user's calendar.
std::optional<Date> instantOf(icaltimetype value, icaltimezone* zone,
                             const IcsCalendar& calendar) {
  if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value)) return std::nullopt;
  if (icaltime_is_utc(value)) return Date::fromUnix(double(icaltime_as_timet(value)));
  if (!value.is_date && zone != nullptr) {
    return Date::fromUnix(double(icaltime_as_timet_with_zone(value, zone)));
  }
  if (value.is_date) return calendar.date(value.year, value.month, value.day);
  return calendar.date(value.year, value.month, value.day, value.hour, value.minute, value.second);
}

struct TimeProperty {
  icalproperty* property = nullptr;
  icaltimetype value = icaltime_null_time();
  icaltimezone* zone = nullptr;
  std::optional<Date> instant;
};

TimeProperty timeProperty(icalcomponent* event, icalproperty_kind kind, icalcomponent* calendar,
                          Zones& zones, const IcsCalendar& userCalendar) {
  TimeProperty result;
  result.property = icalcomponent_get_first_property(event, kind);
  if (result.property == nullptr) return result;
  icalvalue* value = icalproperty_get_value(result.property);
  if (value == nullptr) return result;
  const icalvalue_kind valueKind = icalvalue_isa(value);
  if (valueKind != ICAL_DATETIME_VALUE && valueKind != ICAL_DATE_VALUE) return result;
  result.value = icalvalue_get_datetime(value);
  result.zone = zones.of(result.property, result.value, calendar);
  result.instant = instantOf(result.value, result.zone, userCalendar);
  return result;
}

// How an event's end follows from its start: a number of calendar days for all-day events,
// else a number of seconds.
struct Length {
  std::optional<long long> days;
  double seconds = 0;
};

struct EventTimes {
  TimeProperty start;
  std::optional<Date> end;
  Length length;
};

// An override (a moved occurrence) giving both an end and a length keeps its end, as other
// calendar programs read it; any other such event is contradictory and left out.
EventTimes eventTimes(icalcomponent* event, icalcomponent* calendar, Zones& zones,
                      const IcsCalendar& user, bool endOverridesDuration) {
  EventTimes times;
  times.start = timeProperty(event, ICAL_DTSTART_PROPERTY, calendar, zones, user);
  if (!times.start.instant) return times;
  const Date start = *times.start.instant;
  const bool allDay = times.start.value.is_date;
  icalproperty* durationProperty = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
  const TimeProperty end = timeProperty(event, ICAL_DTEND_PROPERTY, calendar, zones, user);

  if (end.property != nullptr && durationProperty != nullptr) {
    if (!endOverridesDuration) return times;
    durationProperty = nullptr;
  }
  if (end.property != nullptr) {
    if (!end.instant) return times;
    if (allDay && end.value.is_date) {
      times.length.days =
          (wallClockSeconds(end.value) - wallClockSeconds(times.start.value)) / 86400;
    } else {
      times.length.seconds = *end.instant - start;
    }
  } else if (durationProperty != nullptr) {
    const icaldurationtype duration = icalproperty_get_duration(durationProperty);
    if (icaldurationtype_is_bad_duration(duration)) return times;
    const int sign = duration.is_neg ? -1 : 1;
    if (allDay) {
      times.length.days = sign * (7LL * duration.weeks + duration.days);
    } else {
      times.length.seconds = double(icaldurationtype_as_int(duration));
    }
  } else if (allDay) {
    times.length.days = 1;
  }
  times.end =
      times.length.days ? user.addingDays(*times.length.days, start) : start + times.length.seconds;
  return times;
}

Date endOf(Date start, const Length& length, const IcsCalendar& calendar) {
  return length.days ? calendar.addingDays(*length.days, start) : start + length.seconds;
}

bool isRecurring(icalcomponent* event) {
  return icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) != nullptr ||
         icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) != nullptr;
}

std::string uidOf(icalcomponent* event) {
  const char* uid = icalcomponent_get_uid(event);
  return uid != nullptr ? std::string(uid) : std::string();
}

// Removes zones that would cost libical more transitions than real zones ever have, or more
// than the file has left, before anything asks it for an offset; their times then read as
// an unknown zone would.
void dropCostlyZones(icalcomponent* calendar, ReadBudget& budget) {
  std::vector<icalcomponent*> costly;
  for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
       zone != nullptr;
       zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
    const double cost = zoneCost(zone);
    if (!(cost <= maxZoneTransitions) || !budget.spend(cost)) costly.push_back(zone);
  }
  for (icalcomponent* zone : costly) {
    icalcomponent_remove_component(calendar, zone);
    icalcomponent_free(zone);
  }
}

// The dates an event leaves out, looked up once per occurrence instead of walking its
// properties for each.
struct Exclusions {
  std::vector<double> instants;  // DATE-TIME values
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
      shifts.push_back({id.instant->unixSeconds(), *times.start.instant - *id.instant, times.length});
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
  // uncounted one, or one of a fixed period, starts just before the window. Added and excluded dates cost a step each.
  // From `windowEnd_` on, only the window's own steps count.
  std::optional<double> costOf(icalcomponent* event, const EventTimes& times,
                               std::int64_t windowStart) const {
    const std::int64_t first = wallClockSeconds(times.start.value);
    const std::int64_t skipTo =
        windowStart == windowEnd_ ? windowStart_ : std::max(first, windowStart - reach(times));
    double cost = 1;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
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
    std::stable_sort(recurring_.begin(), recurring_.end(), [](const Recurring& a, const Recurring& b) {
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
    std::int64_t lead;  // the latest any shift moves an occurrence
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
        e.reach = std::max(e.reach, std::int64_t(std::ceil(seconds)) + reach({{}, {}, shift.length}));
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
    std::unique_ptr<icalrecur_iterator, IteratorDeleter> iterator(icalrecur_iterator_new(own, from));
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
  prepareLibical();
  const std::optional<FilteredRules> filtered = withoutUnknownRuleParts(text);
  if (filtered) {
    text = filtered->text;
    if (options.ignoredRuleParts) options.ignoredRuleParts(filtered->ignored);
  }
  // Parsed line by line so that a file cut short still gives its complete events: the
  // parser's leftovers are closed and kept rather than thrown away.
  ReadBudget budget(maxStepsPerFile, options.timeLimit);
  LineSource source{text, budget};
  std::unique_ptr<icalparser, ParserDeleter> parser(icalparser_new());
  if (!parser) return {};
  icalparser_set_gen_data(parser.get(), &source);
  const std::unique_ptr<icalcomponent, ComponentDeleter> complete(
      icalparser_parse(parser.get(), nextLine));
  // The parser keeps owning what clean hands back, and frees it with itself.
  icalcomponent* const leftover = icalparser_clean(parser.get());

  std::vector<icalcomponent*> calendars;
  for (icalcomponent* root : {complete.get(), leftover}) {
    if (root == nullptr) continue;
    switch (icalcomponent_isa(root)) {
      case ICAL_VCALENDAR_COMPONENT:
        calendars.push_back(root);
        break;
      case ICAL_XROOT_COMPONENT:
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c != nullptr; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
          calendars.push_back(c);
        }
        break;
      default:
        break;
    }
  }

  for (icalcomponent* calendar : calendars) dropCostlyZones(calendar, budget);
  FileReader reader(range, options, budget);
  for (icalcomponent* calendar : calendars) reader.collectOverrides(calendar);
  for (icalcomponent* calendar : calendars) reader.read(calendar);
  return reader.take();
}

}  // namespace vorlane
