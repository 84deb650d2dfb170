#pragma once

#include <string>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"
#include "platform/calendar/cancel_token.h"

namespace vorlane {

// Something that reads the user's busy stretches over a window: calendar files, a calendar
// service. Slow and blocking: call it off the main thread, one read at a time.
class BusyReader {
 public:
  virtual ~BusyReader() = default;

  // The busy stretches overlapping `interval`, as the source lists them (not sorted, merged
  // or clipped). A cancelled read may return early with what it has; the caller drops it.
  // Throws when the source could not be read at all.
  virtual std::vector<BusyInterval> read(DateInterval interval,
                                         const CancelToken& cancel) const = 0;

  // Where it reads from, in words for the consent prompt.
  virtual std::vector<std::string> places() const = 0;
};

}  // namespace vorlane
