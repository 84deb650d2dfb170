#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::detail {

// The day of a yearly clock change in a POSIX TZ string, and the wall time (of the offset in
// force before it) at which the clocks change, in seconds from midnight; it may lie outside
// 0-24 h ("M9.1.6/24" is midnight at the end of the first Saturday of September).
struct PosixChangeDay {
  enum class Form {
    monthWeekDay,  // Mm.w.d: weekday d (0 = Sunday) of week w (5 = the last) of month m
    julianNoLeap,  // Jn: day n of 1-365, 29 February never counted
    zeroBasedDay,  // n: day n of 0-365, 29 February counted
  };
  Form form = Form::monthWeekDay;
  int month = 0;
  int week = 0;
  int weekday = 0;
  int day = 0;
  std::int32_t seconds = 7200;

  bool operator==(const PosixChangeDay&) const = default;
};

// A zone's rule for the years after the last change its TZif file lists: the file's last
// line. Offsets are seconds east of UTC (the string itself counts west).
struct PosixZoneRule {
  struct Daylight {
    std::string name;
    std::int32_t offset = 0;
    PosixChangeDay start;
    PosixChangeDay end;
  };
  std::string standardName;
  std::int32_t standardOffset = 0;
  std::optional<Daylight> daylight;
};

// None when `text` is not a POSIX TZ string, or names summer time without saying when it
// starts and ends (the dates would be the C library's guess).
std::optional<PosixZoneRule> parsePosixZoneRule(std::string_view text);

}  // namespace vorlane::detail
