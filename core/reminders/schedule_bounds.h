#pragma once

#include <cstdint>
#include <limits>

namespace vorlane {

// The values a reminder's schedule can hold: what a typed line gives, and so all a stored
// reminder may hold. Hours count 0-23 and minutes 0-59 on the 24-hour clock.
inline constexpr std::int64_t lastHour = 23;
inline constexpr std::int64_t lastMinute = 59;
// Weekday numbers: 1 is Sunday ... 7 Saturday.
inline constexpr std::int64_t firstWeekday = 1;
inline constexpr std::int64_t lastWeekday = 7;
// The largest unit a countdown is typed in.
inline constexpr double secondsPerHour = 3600.0;
// The longest countdown a typed line gives: its count is read as a signed 64-bit integer, of
// hours at most.
inline constexpr double longestCountdown =
    static_cast<double>(std::numeric_limits<std::int64_t>::max()) * secondsPerHour;

}  // namespace vorlane
