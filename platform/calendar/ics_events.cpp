#include "platform/calendar/ics_events.h"

#include <libical/ical.h>

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
// libical walks a rule one repetition at a time, about a microsecond each, so a fine rule
// from long ago keeps the reader busy for minutes; events needing more steps than this read
// as free. Real calendars stay far below: daily since 1900 is under fifty thousand.
constexpr double maxRecurrenceSteps = 2e6;
constexpr double maxRecurrenceStepsPerFile = 2 * maxRecurrenceSteps;
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

// Hands libical the text one line at a time, as fgets would.
struct LineSource {
  std::string_view text;
  std::size_t position = 0;
};

char* nextLine(char* out, std::size_t size, void* data) {
  auto* source = static_cast<LineSource*>(data);
  if (source->position >= source->text.size() || size < 2) return nullptr;
  std::size_t n = 0;
  while (n + 1 < size && source->position < source->text.size()) {
    const char c = source->text[source->position++];
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

std::string_view trimmedAscii(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
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

// Days between two civil dates.
long long daysFromCivil(int year, int month, int day) {
  const long long y = year - (month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

// The zone a time property names, looked up in the file's own VTIMEZONEs, then in the
// system's zone data; null for UTC values, dates, floating times and unknown zones.
icaltimezone* zoneOf(icalproperty* property, icaltimetype value, icalcomponent* calendar) {
  if (value.is_date || icaltime_is_utc(value)) return nullptr;
  if (value.zone != nullptr) return const_cast<icaltimezone*>(value.zone);
  icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  const char* name = tzid != nullptr ? icalparameter_get_tzid(tzid) : nullptr;
  if (name == nullptr || *name == '\0') return nullptr;
  if (calendar != nullptr) {
    if (icaltimezone* own = icalcomponent_get_timezone(calendar, name)) return own;
  }
  return icaltimezone_get_builtin_timezone(name);
}

// A time as an instant: UTC and zoned values as they are, floating values and dates at
// their wall-clock time in the user's calendar.
std::optional<Date> instantOf(icaltimetype value, icaltimezone* zone, const Calendar& calendar) {
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
                          const Calendar& userCalendar) {
  TimeProperty result;
  result.property = icalcomponent_get_first_property(event, kind);
  if (result.property == nullptr) return result;
  icalvalue* value = icalproperty_get_value(result.property);
  if (value == nullptr) return result;
  const icalvalue_kind valueKind = icalvalue_isa(value);
  if (valueKind != ICAL_DATETIME_VALUE && valueKind != ICAL_DATE_VALUE) return result;
  result.value = icalvalue_get_datetime(value);
  result.zone = zoneOf(result.property, result.value, calendar);
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

EventTimes eventTimes(icalcomponent* event, icalcomponent* calendar, const Calendar& user) {
  EventTimes times;
  times.start = timeProperty(event, ICAL_DTSTART_PROPERTY, calendar, user);
  if (!times.start.instant) return times;
  const Date start = *times.start.instant;
  const bool allDay = times.start.value.is_date;
  icalproperty* durationProperty = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
  const TimeProperty end = timeProperty(event, ICAL_DTEND_PROPERTY, calendar, user);

  if (end.property != nullptr && durationProperty != nullptr) return times;  // contradictory
  if (end.property != nullptr) {
    if (!end.instant) return times;
    if (allDay && end.value.is_date) {
      times.length.days =
          daysFromCivil(end.value.year, end.value.month, end.value.day) -
          daysFromCivil(times.start.value.year, times.start.value.month, times.start.value.day);
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

Date endOf(Date start, const Length& length, const Calendar& calendar) {
  return length.days ? calendar.addingDays(*length.days, start) : start + length.seconds;
}

bool isCancelled(icalcomponent* event) {
  return icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED;
}

bool isFree(icalcomponent* event) {
  icalproperty* transp = icalcomponent_get_first_property(event, ICAL_TRANSP_PROPERTY);
  if (transp == nullptr) return false;
  const icalproperty_transp value = icalproperty_get_transp(transp);
  return value == ICAL_TRANSP_TRANSPARENT || value == ICAL_TRANSP_TRANSPARENTNOCONFLICT;
}

bool declinedByUser(icalcomponent* event, const std::optional<std::string>& email) {
  if (!email) return false;
  for (icalproperty* attendee = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY);
       attendee != nullptr;
       attendee = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
    icalparameter* status = icalproperty_get_first_parameter(attendee, ICAL_PARTSTAT_PARAMETER);
    if (status == nullptr || icalparameter_get_partstat(status) != ICAL_PARTSTAT_DECLINED) continue;
    const char* value = icalproperty_get_attendee(attendee);
    std::string_view address = value != nullptr ? trimmedAscii(value) : std::string_view();
    if (startsWithIgnoringCase(address, "mailto:")) address.remove_prefix(7);
    if (!address.empty() && equalsIgnoringCase(address, *email)) return true;
  }
  return false;
}

bool isRecurring(icalcomponent* event) {
  return icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) != nullptr ||
         icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) != nullptr;
}

std::string uidOf(icalcomponent* event) {
  const char* uid = icalcomponent_get_uid(event);
  return uid != nullptr ? std::string(uid) : std::string();
}

// Real zone rules repeat yearly on whole days. libical expands a zone's transitions from its
// first start onwards, so a finer rule (hourly, or picking hours, minutes or seconds) costs
// millions of transitions, minutes and gigabytes, for one line.
bool hasRunawayRule(icalcomponent* zone) {
  for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT);
       part != nullptr; part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
      const icalrecurrencetype rule = icalproperty_get_rrule(p);
      if (rule.freq != ICAL_YEARLY_RECURRENCE || rule.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX ||
          rule.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX ||
          rule.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX) {
        return true;
      }
    }
  }
  return false;
}

// Removes such zones before anything asks libical for an offset; their times then read as
// an unknown zone would.
void dropRunawayZones(icalcomponent* calendar) {
  std::vector<icalcomponent*> runaway;
  for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
       zone != nullptr;
       zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
    if (hasRunawayRule(zone)) runaway.push_back(zone);
  }
  for (icalcomponent* zone : runaway) {
    icalcomponent_remove_component(calendar, zone);
    icalcomponent_free(zone);
  }
}

template <std::size_t N>
double listSize(const short (&list)[N]) {
  std::size_t n = 0;
  while (n < N && list[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return double(std::max<std::size_t>(n, 1));
}

// An upper bound on the steps libical takes to walk a rule across this many seconds: one
// per period, times every hour, minute and second its lists pick within a period, times
// every day of a week, month or year when it picks days.
double recurrenceSteps(const icalrecurrencetype& rule, double seconds) {
  // A period's length and the days it spans, from secondly to yearly (libical's order).
  constexpr double periods[] = {1, 60, 3600, 86400, 7 * 86400.0, 2629746, 31556952};
  constexpr double daysIn[] = {1, 1, 1, 1, 7, 31, 366};
  if (rule.freq < ICAL_SECONDLY_RECURRENCE || rule.freq > ICAL_YEARLY_RECURRENCE) return 0;
  // A sub-daily rule that also filters by month, day of month or year, week or position
  // may step for years before a match, or forever when the filter never matches (30 Feb).
  const bool filtersDates = rule.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                            rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                            rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                            rule.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                            rule.by_set_pos[0] != ICAL_RECURRENCE_ARRAY_MAX;
  if (rule.freq < ICAL_DAILY_RECURRENCE && filtersDates) {
    return std::numeric_limits<double>::infinity();
  }
  const double period = periods[rule.freq], days = daysIn[rule.freq];
  // Lists of the rule's own unit or coarser only filter; finer ones multiply.
  double perPeriod = 1;
  if (rule.freq > ICAL_HOURLY_RECURRENCE) perPeriod *= listSize(rule.by_hour);
  if (rule.freq > ICAL_MINUTELY_RECURRENCE) perPeriod *= listSize(rule.by_minute);
  if (rule.freq > ICAL_SECONDLY_RECURRENCE) perPeriod *= listSize(rule.by_second);
  const bool picksDays = rule.by_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                         rule.by_month_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                         rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                         rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX ||
                         rule.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX;
  if (picksDays) perPeriod *= days;
  const double interval = std::max<double>(rule.interval, 1);
  return (std::max(seconds, 0.0) / (period * interval) + 1) * perPeriod;
}

using Overrides = std::set<std::pair<std::string, double>>;

icaltimetype utcTime(Date date) {
  return icaltime_from_timet_with_zone(time_t(date.unixSeconds()), 0,
                                       icaltimezone_get_utc_timezone());
}

class FileReader {
 public:
  FileReader(DateInterval range, const IcsReadOptions& options)
      : range_(range), options_(options) {}

  void collectOverrides(icalcomponent* calendar) {
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      const TimeProperty id =
          timeProperty(event, ICAL_RECURRENCEID_PROPERTY, calendar, options_.calendar);
      if (id.property != nullptr && id.instant) {
        overrides_.insert({uidOf(event), id.instant->timeIntervalSinceReferenceDate()});
      }
    }
  }

  void read(icalcomponent* calendar) {
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      readEvent(event, calendar);
    }
  }

  std::vector<BusyInterval> take() { return std::move(result_); }

 private:
  // Whether the stretch was kept: a real span that overlaps the range.
  bool add(Date start, Date end) {
    if (!(end > start) || !(start < range_.end && end > range_.start)) return false;
    result_.push_back(BusyInterval{start, end});
    return true;
  }

  void readEvent(icalcomponent* event, icalcomponent* calendar) {
    if (isCancelled(event) || isFree(event) || declinedByUser(event, options_.userEmail)) return;
    const EventTimes times = eventTimes(event, calendar, options_.calendar);
    if (!times.start.instant || !times.end) return;
    const bool isOverride =
        icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
    if (isOverride || !isRecurring(event)) {
      add(*times.start.instant, *times.end);
      return;
    }
    if (withinBudget(event, times)) readOccurrences(event, times);
  }

  // libical walks a counted rule from its first occurrence; an uncounted one it starts just
  // before the window, less the event's length.
  // Also charges the event's steps to the file, so that many events each under the limit
  // cannot keep the reader busy for minutes either.
  bool withinBudget(icalcomponent* event, const EventTimes& times) {
    const double first = times.start.instant->unixSeconds();
    const double windowEnd = (range_.end + windowMargin).unixSeconds();
    const double skipTo =
        (range_.start - windowMargin).unixSeconds() - std::abs(*times.end - *times.start.instant);
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
      const icalrecurrencetype rule = icalproperty_get_rrule(p);
      const double from = rule.count > 0 ? first : std::max(first, skipTo);
      const double steps = recurrenceSteps(rule, windowEnd - from);
      if (!(steps <= maxRecurrenceSteps) || !(stepsSpent_ + steps <= maxRecurrenceStepsPerFile)) {
        return false;
      }
      stepsSpent_ += steps;
    }
    return true;
  }

  struct Occurrences {
    FileReader* reader;
    const EventTimes* times;
    bool placedByLibical;
    std::string uid;
    std::size_t kept = 0;
  };

  static void onOccurrence(icalcomponent*, icaltime_span* span, void* data) {
    auto* o = static_cast<Occurrences*>(data);
    if (span == nullptr || o->kept >= maxOccurrencesPerEvent) return;
    const std::optional<Date> start =
        o->reader->occurrenceStart(span->start, *o->times, o->placedByLibical);
    if (!start) return;
    if (o->reader->overrides_.contains({o->uid, start->timeIntervalSinceReferenceDate()})) return;
    if (o->reader->add(*start, endOf(*start, o->times->length, o->reader->options_.calendar))) {
      ++o->kept;
    }
  }

  void readOccurrences(icalcomponent* event, const EventTimes& times) {
    // Whether libical itself placed the start in its zone; if not, its spans are wall-clock
    // times written as UTC.
    const bool placedByLibical = icaltime_is_utc(times.start.value) ||
                                 times.start.value.zone != nullptr ||
                                 icalcomponent_get_dtstart(event).zone != nullptr;
    Occurrences occurrences{this, &times, placedByLibical, uidOf(event)};
    icalcomponent_foreach_recurrence(event, utcTime(range_.start - windowMargin),
                                     utcTime(range_.end + windowMargin), onOccurrence,
                                     &occurrences);
  }

  std::optional<Date> occurrenceStart(time_t start, const EventTimes& times,
                                      bool placedByLibical) const {
    const icaltimetype& first = times.start.value;
    if (!first.is_date && placedByLibical) return Date::fromUnix(double(start));
    std::tm fields{};
    if (gmtime_r(&start, &fields) == nullptr) return std::nullopt;
    icaltimetype local = first;
    local.year = fields.tm_year + 1900;
    local.month = fields.tm_mon + 1;
    local.day = fields.tm_mday;
    local.hour = first.is_date ? 0 : fields.tm_hour;
    local.minute = first.is_date ? 0 : fields.tm_min;
    local.second = first.is_date ? 0 : fields.tm_sec;
    local.zone = nullptr;
    return instantOf(local, times.start.zone, options_.calendar);
  }

  DateInterval range_;
  const IcsReadOptions& options_;
  double stepsSpent_ = 0;
  Overrides overrides_;
  std::vector<BusyInterval> result_;
};

}  // namespace

std::optional<std::string> userEmailFromEnvironment(const char* value) {
  if (value == nullptr) return std::nullopt;
  std::string_view text = trimmedAscii(value);
  const std::size_t open = text.find('<');
  const std::size_t close = text.find('>', open == std::string_view::npos ? 0 : open);
  if (open != std::string_view::npos && close != std::string_view::npos) {
    text = trimmedAscii(text.substr(open + 1, close - open - 1));
  }
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::vector<BusyInterval> busyIntervalsInIcs(std::string_view text, DateInterval range,
                                             const IcsReadOptions& options) {
  if (text.empty() || tooDeeplyNested(text)) return {};
  prepareLibical();
  // Parsed line by line so that a file cut short still gives its complete events: the
  // parser's leftovers are closed and kept rather than thrown away.
  LineSource source{text};
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

  for (icalcomponent* calendar : calendars) dropRunawayZones(calendar);
  FileReader reader(range, options);
  for (icalcomponent* calendar : calendars) reader.collectOverrides(calendar);
  for (icalcomponent* calendar : calendars) reader.read(calendar);
  return reader.take();
}

}  // namespace vorlane
