#include "foundation/system_zone.h"

#include <date/tz.h>
#include <unicode/rbtz.h>
#include <unicode/tzrule.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "foundation/posix_zone_rule.h"
#include "foundation/text.h"

namespace vorlane {
namespace {

// The folder the date library reads (it has no setting for another).
constexpr const char* zoneInfoFolder = "/usr/share/zoneinfo/";
constexpr std::int64_t secondMs = 1000;
// Changes are listed from here on; everything earlier keeps the zone's first offset.
const date::sys_seconds listedFrom = date::sys_days{date::year{1800} / 1 / 1};
// The date library's "no further change" lies far beyond this.
const date::sys_seconds listedUntil = date::sys_days{date::year{3000} / 1 / 1};

std::mutex observerMutex;
ZoneFallbackObserver fallbackObserver;

// One span of the zone's local time, split as ICU wants it: a standard offset and a
// daylight saving on top (never negative; a negative one counts as standard time).
struct Span {
  std::string name;
  std::int32_t rawMs;
  std::int32_t savingMs;

  auto key() const { return std::tie(name, rawMs, savingMs); }
  bool operator<(const Span& other) const { return key() < other.key(); }
};

Span spanOf(const date::sys_info& info, std::int32_t& lastStandard) {
  const auto offset = static_cast<std::int32_t>(info.offset.count());
  if (info.save == std::chrono::minutes{0} || offset <= lastStandard) {
    lastStandard = offset;
    return {info.abbrev, offset * 1000, 0};
  }
  return {info.abbrev, lastStandard * 1000, (offset - lastStandard) * 1000};
}

// The last line of a TZif file: the rule for the years after its last listed change.
std::string footerOf(const std::string& id) {
  std::ifstream file(zoneInfoFolder + id, std::ios::binary);
  const std::string data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (data.size() < 2 || data.compare(0, 4, "TZif") != 0 || data.back() != '\n') return {};
  const std::size_t start = data.rfind('\n', data.size() - 2);
  return start == std::string::npos ? std::string()
                                    : data.substr(start + 1, data.size() - start - 2);
}

// An ICU rule for a POSIX change day, or none for the zero-based day form, which no yearly
// ICU rule expresses in leap years.
std::unique_ptr<icu::DateTimeRule> dateTimeRule(const detail::PosixChangeDay& day) {
  const std::int32_t ms = day.seconds * 1000;
  switch (day.form) {
    case detail::PosixChangeDay::Form::monthWeekDay:
      return std::make_unique<icu::DateTimeRule>(day.month - 1, day.week == 5 ? -1 : day.week,
                                                 day.weekday + 1, ms, icu::DateTimeRule::WALL_TIME);
    case detail::PosixChangeDay::Form::julianNoLeap: {
      static constexpr int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      int month = 0;
      int dayOfMonth = day.day;
      while (dayOfMonth > monthDays[month]) dayOfMonth -= monthDays[month++];
      return std::make_unique<icu::DateTimeRule>(month, dayOfMonth, ms,
                                                 icu::DateTimeRule::WALL_TIME);
    }
    case detail::PosixChangeDay::Form::zeroBasedDay:
      break;
  }
  return nullptr;
}

// Adds the footer's yearly changes as the zone's final rules. When they cannot be
// expressed the zone keeps its last listed offset, as the date library does.
void addFinalRules(icu::RuleBasedTimeZone& zone, const detail::PosixZoneRule& rule,
                   std::int32_t fromYear, UErrorCode& status) {
  if (!rule.daylight) return;
  const detail::PosixZoneRule::Daylight& daylight = *rule.daylight;
  std::unique_ptr<icu::DateTimeRule> start = dateTimeRule(daylight.start);
  std::unique_ptr<icu::DateTimeRule> end = dateTimeRule(daylight.end);
  if (!start || !end) return;
  const std::int32_t rawMs = std::min(rule.standardOffset, daylight.offset) * 1000;
  zone.addTransitionRule(
      new icu::AnnualTimeZoneRule(toUnicode(daylight.name), rawMs, daylight.offset * 1000 - rawMs,
                                  start.release(), fromYear, icu::AnnualTimeZoneRule::MAX_YEAR),
      status);
  zone.addTransitionRule(
      new icu::AnnualTimeZoneRule(toUnicode(rule.standardName), rawMs,
                                  rule.standardOffset * 1000 - rawMs, end.release(), fromYear,
                                  icu::AnnualTimeZoneRule::MAX_YEAR),
      status);
}

}  // namespace

void setZoneFallbackObserver(ZoneFallbackObserver observer) {
  const std::lock_guard<std::mutex> lock(observerMutex);
  fallbackObserver = std::move(observer);
}

namespace detail {

void reportZoneFallback(const std::string& id) {
  const std::lock_guard<std::mutex> lock(observerMutex);
  if (fallbackObserver) fallbackObserver(id);
}

std::unique_ptr<icu::TimeZone> makeSystemZone(const std::string& id) {
  const date::time_zone* system = nullptr;
  try {
    system = date::locate_zone(id);
  } catch (const std::exception&) {
    return nullptr;  // not in the database, or no database at all
  }

  // Every listed change, with its instant, grouped into one ICU rule per kind of span.
  date::sys_info info = system->get_info(listedFrom);
  auto lastStandard = static_cast<std::int32_t>(info.offset.count());
  const Span initial = spanOf(info, lastStandard);
  std::map<Span, std::vector<UDate>> changes;
  while (info.end < listedUntil) {
    info = system->get_info(info.end);
    changes[spanOf(info, lastStandard)].push_back(
        static_cast<UDate>(info.begin.time_since_epoch().count() * secondMs));
  }

  auto zone = std::make_unique<icu::RuleBasedTimeZone>(
      toUnicode(id),
      new icu::InitialTimeZoneRule(toUnicode(initial.name), initial.rawMs, initial.savingMs));
  UErrorCode status = U_ZERO_ERROR;
  for (const auto& [span, times] : changes) {
    zone->addTransitionRule(
        new icu::TimeArrayTimeZoneRule(toUnicode(span.name), span.rawMs, span.savingMs,
                                       times.data(), static_cast<std::int32_t>(times.size()),
                                       icu::DateTimeRule::UTC_TIME),
        status);
  }
  if (const std::optional<PosixZoneRule> footer = parsePosixZoneRule(footerOf(id))) {
    const date::year lastYear = date::year_month_day{date::floor<date::days>(info.begin)}.year();
    addFinalRules(*zone, *footer, int{lastYear}, status);
  }
  zone->complete(status);
  if (U_FAILURE(status)) return nullptr;
  return zone;
}

std::string userZoneID() {
  if (const char* tz = std::getenv("TZ"); tz != nullptr) {
    std::string id = tz;
    if (!id.empty() && id.front() == ':') id.erase(0, 1);
    if (id.empty()) return "UTC";  // POSIX: an empty TZ means UTC
    if (id.front() == '/') {
      const std::size_t folder = id.rfind("/zoneinfo/");
      if (folder != std::string::npos) id.erase(0, folder + 10);
    }
    return id;
  }
  try {
    return date::current_zone()->name();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace detail
}  // namespace vorlane
