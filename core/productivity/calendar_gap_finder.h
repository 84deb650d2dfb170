#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/contracts/busy_interval.h"
#include "core/contracts/focus_opportunity.h"
#include "core/settings/preferences.h"
#include "foundation/date.h"

namespace vorlane {

// Whether there is room for a focus block right now between the user's busy stretches, and
// how long it may be.
struct CalendarGap {
  CalendarGap() = delete;

  // Below this caller maximum there is no offer.
  static constexpr std::int64_t smallestMaximumMinutes = 5;
  // Kept free before the next busy stretch.
  static constexpr double marginSeconds = 120;
  static constexpr double leastFreeSeconds = 300;
  static constexpr std::int64_t longestMinutes = Preferences::longestWorkMinutes;

  // A block starting at `at`, ending 120 s before the next busy stretch (or at `through`
  // when none begins before it), of 5 to 90 whole minutes and at most `maximumMinutes`.
  // None when `through` is not after `at`, when a stretch is under way at `at`, or when the
  // free time is under 5 minutes. `busy` may be unsorted and overlapping; empty or
  // inverted stretches, ones ended by `at` and ones starting at or after `through` are
  // ignored.
  static std::optional<FocusOpportunity> suggest(Date at, Date through,
                                                 std::span<const BusyInterval> busy,
                                                 std::int64_t maximumMinutes);
};

}  // namespace vorlane
