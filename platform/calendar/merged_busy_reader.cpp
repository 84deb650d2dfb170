#include "platform/calendar/merged_busy_reader.h"

#include <exception>
#include <set>
#include <utility>

#include "platform/logging/log.h"

namespace vorlane {

namespace {

std::string describe(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace

MergedBusyReader::MergedBusyReader(std::vector<std::shared_ptr<const BusyReader>> readers)
    : readers_(std::move(readers)) {}

std::vector<BusyInterval> MergedBusyReader::read(DateInterval interval,
                                                 const CancelToken& cancel) const {
  std::vector<BusyInterval> result;
  std::set<std::pair<double, double>> earlier, seen;
  std::exception_ptr firstError;
  bool anyRead = readers_.empty();
  for (const auto& reader : readers_) {
    if (cancel.cancelled()) break;
    std::vector<BusyInterval> busy;
    try {
      busy = reader->read(interval, cancel);
      anyRead = true;
    } catch (...) {
      if (!firstError) firstError = std::current_exception();
      Log::lifecycle().error("Calendar source could not be read: %{public}s",
                             describe(std::current_exception()));
      continue;
    }
    for (const BusyInterval& b : busy) {
      const std::pair key(b.start.timeIntervalSinceReferenceDate(),
                          b.end.timeIntervalSinceReferenceDate());
      if (earlier.count(key)) continue;
      seen.insert(key);
      result.push_back(b);
    }
    earlier.insert(seen.begin(), seen.end());
  }
  if (!anyRead && firstError && !cancel.cancelled()) std::rethrow_exception(firstError);
  return result;
}

std::vector<std::string> MergedBusyReader::places() const {
  std::vector<std::string> all;
  for (const auto& reader : readers_) {
    for (std::string& place : reader->places()) all.push_back(std::move(place));
  }
  return all;
}

}  // namespace vorlane
