#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "foundation/date.h"

namespace vorlane {

// What the calendar-file plugin (libical) offers the application. libical is loaded with the
// plugin on the first read of a calendar file, so a user who never reads a calendar never
// pays for it; header-only types and a factory with C linkage are all both sides share.

// The user's calendar as the plugin sees it: wall-clock times to instants, in the user's zone.
// Implemented by the application, so the plugin needs no calendar code of its own.
class IcsCalendar {
 public:
  virtual ~IcsCalendar() = default;
  virtual std::optional<Date> date(int year, int month, int day, int hour = 0, int minute = 0,
                                   int second = 0) const = 0;
  virtual Date addingDays(std::int64_t days, Date date) const = 0;
};

struct IcsRules {
  // The user's own address among an event's attendees; none means nobody is the user.
  std::optional<std::string> userEmail;
  // Places floating and all-day times; must outlive the call.
  const IcsCalendar* calendar = nullptr;
  // How long one file may keep the reader.
  std::chrono::steady_clock::duration timeLimit = std::chrono::seconds(5);
  // Told once per file of the recurrence rule parts no calendar program knows, which were
  // left out of their rules; may be empty.
  std::function<void(const std::vector<std::string>&)> ignoredRuleParts;
};

// Stateless and safe to call from any thread.
class IcsParser {
 public:
  virtual ~IcsParser() = default;
  // See busyIntervalsInIcs (ics_events.h). Never throws.
  virtual std::vector<BusyInterval> busyTimes(std::string_view text, DateInterval range,
                                              const IcsRules& rules) const = 0;
};

// The factory's name and signature. Returns null when `version` is not the plugin's.
inline constexpr int icsParserVersion = 2;
inline constexpr const char* icsParserFactoryName = "vorlane_ics_parser_create";
extern "C" {
using IcsParserFactory = IcsParser* (*)(int version);
}

}  // namespace vorlane
