// The calendar-file plugin: the .ics reader over libical, loaded on the first read.

#include "platform/calendar/ics/ics_busy_times.h"
#include "platform/calendar/ics_parser.h"

namespace vorlane {
namespace {

class LibicalParser final : public IcsParser {
 public:
  std::vector<BusyInterval> busyTimes(std::string_view text, DateInterval range,
                                      const IcsRules& rules) const override {
    return busyTimesInIcs(text, range, rules);
  }
};

}  // namespace
}  // namespace vorlane

extern "C" __attribute__((visibility("default"))) vorlane::IcsParser* vorlane_ics_parser_create(
    int version) {
  if (version != vorlane::icsParserVersion) return nullptr;
  return new vorlane::LibicalParser();
}
