#pragma once

#include <libical/ical.h>

#include <chrono>
#include <cstdint>
#include <optional>

namespace vorlane {

// What reading one calendar file may cost: steps of real work (libical's own iterations,
// excluded and added dates, zone transitions, kept occurrences) and wall-clock time as a
// backstop. Once spent it stays spent, and the read ends with what it has.
class ReadBudget {
 public:
  ReadBudget(double steps, std::chrono::steady_clock::duration time);

  // Charges the steps; false when they do not fit or the time is up.
  bool spend(double steps);
  bool affords(double steps) const { return !spent_ && steps <= steps_; }
  // Looks at the clock only every so often: the check itself is not free.
  bool timeIsUp();
  bool spent() const { return spent_; }

 private:
  double steps_;
  std::chrono::steady_clock::time_point deadline_;
  std::uint32_t calls_ = 0;
  bool spent_ = false;
};

// The steps libical takes to walk `rule` from `first` across `seconds` (both as wall-clock
// seconds in the rule's own frame), no more than its COUNT allows; none when libical may
// iterate without bound between two occurrences (a filter that never or only rarely matches).
std::optional<double> ruleCost(const icalrecurrencetype& rule, double seconds, std::int64_t first);

// The wall-clock seconds between two occurrences of a rule that steps by a fixed period
// from its start (secondly to weekly, without BYxxx parts); none for any other rule. Its
// n-th occurrence is then known without walking to it.
std::optional<std::int64_t> fixedPeriod(const icalrecurrencetype& rule);

// The libical iterations between `from` and `to` (wall-clock seconds), at least one.
double iterationsBetween(const icalrecurrencetype& rule, std::int64_t from, std::int64_t to);

// The transitions libical expands for a time zone (every observance from its start to the
// last year it covers); zones costing more than real ones ever do are hostile.
double zoneCost(icalcomponent* zone);

// Wall-clock seconds of a time's own fields, as if it were UTC.
std::int64_t wallClockSeconds(const icaltimetype& time);

}  // namespace vorlane
