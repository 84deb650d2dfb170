#include "core/productivity/calendar_gap_finder.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorlane {

std::optional<FocusOpportunity> CalendarGap::suggest(Date at, Date through,
                                                     std::span<const BusyInterval> busy,
                                                     std::int64_t maximumMinutes) {
  if (!(through > at) || maximumMinutes < smallestMaximumMinutes) return std::nullopt;

  std::vector<BusyInterval> relevant;
  for (const BusyInterval& stretch : busy) {
    if (stretch.end > stretch.start && stretch.end > at && stretch.start < through) {
      relevant.push_back(stretch);
    }
  }
  if (std::any_of(relevant.begin(), relevant.end(),
                  [&](const BusyInterval& stretch) { return stretch.start <= at; })) {
    return std::nullopt;
  }
  std::optional<Date> nextBusy;
  for (const BusyInterval& stretch : relevant) {
    if (!nextBusy || stretch.start < *nextBusy) nextBusy = stretch.start;
  }

  const double free = nextBusy ? (*nextBusy - at) - marginSeconds : through - at;
  if (free < leastFreeSeconds) return std::nullopt;
  const auto whole = static_cast<std::int64_t>(
      std::trunc(std::min(free / 60, static_cast<double>(longestMinutes))));
  const std::int64_t minutes = std::min({whole, maximumMinutes, longestMinutes});
  return FocusOpportunity{minutes, at + static_cast<double>(minutes * 60), nextBusy};
}

}  // namespace vorlane
