#pragma once

#include <memory>
#include <vector>

#include "platform/calendar/busy_reader.h"

namespace vorlane {

// Several calendar sources read as one. A source that fails is logged and left out, so it
// never hides the others' events; the read fails only when every source failed.
class MergedBusyReader final : public BusyReader {
 public:
  explicit MergedBusyReader(std::vector<std::shared_ptr<const BusyReader>> readers);

  // Source by source in the given order. A stretch equal to one an earlier source gave is
  // left out: the same calendar can reach us by two ways (Evolution's local calendars are
  // both files and calendar-service calendars).
  std::vector<BusyInterval> read(DateInterval interval, const CancelToken& cancel) const override;
  std::vector<std::string> places() const override;

 private:
  std::vector<std::shared_ptr<const BusyReader>> readers_;
};

}  // namespace vorlane
