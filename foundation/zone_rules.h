#pragma once

#include <unicode/utypes.h>

#include <cstdint>
#include <memory>
#include <vector>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace vorlane::detail {

// A time zone's offsets from UTC, for the calendar. Times are milliseconds since the Unix
// epoch (UTC instants or local wall times). Offsets between 1900 and 2200 come from a table
// of the zone's transitions built once, so a lookup is a binary search rather than an ICU
// field computation; outside that span ICU's zone answers.
class ZoneRules {
 public:
  explicit ZoneRules(std::shared_ptr<const icu::TimeZone> zone);
  ~ZoneRules();

  // The zone's total offset (standard plus daylight) at a UTC instant.
  std::int64_t offsetAt(std::int64_t utc) const;
  // The UTC instant showing a local wall time. A time skipped by a clock change gives the
  // instant of the change (the next existing time); a repeated one its first occurrence.
  std::int64_t resolve(std::int64_t local) const;

 private:
  std::int64_t icuOffsetAt(std::int64_t utc) const;
  std::int64_t icuResolve(std::int64_t local) const;

  // Only const methods are used, which ICU makes safe to call from several threads; copying
  // a rule-based zone per call would cost more than the answer.
  std::shared_ptr<const icu::TimeZone> zone_;
  std::int64_t tableStart_ = 0;
  std::int64_t tableEnd_ = 0;              // empty table when equal
  std::vector<std::int64_t> transitions_;  // UTC instants where the offset changes
  std::vector<std::int64_t> offsets_;      // offsets_[i] holds before transitions_[i]
  std::vector<std::int64_t> localStarts_;  // first wall time of each offset's span
};

}  // namespace vorlane::detail
