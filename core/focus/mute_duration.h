#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// How long the user silences the mascot; the status menu offers these choices.
enum class MuteDuration { fifteenMinutes, oneHour, untilThisEvening, untilTomorrow };

// Every case in the menu's order.
inline constexpr std::array<MuteDuration, 4> allMuteDurations{
    MuteDuration::fifteenMinutes, MuteDuration::oneHour, MuteDuration::untilThisEvening,
    MuteDuration::untilTomorrow};

// The case name ("oneHour"), which identifies the menu item.
std::string_view rawValue(MuteDuration duration);
// The menu title: "for 15 minutes", "for an hour", "until this evening", "until tomorrow".
std::string_view displayName(MuteDuration duration);
// Exact and case-sensitive: "OneHour" or "oneHour " give none.
std::optional<MuteDuration> muteDurationFromRaw(std::string_view raw);

// When a mute chosen at `now` ends. The timed cases add plain seconds; the other two end at
// 18:00 today (when still ahead) or at the start of the next calendar day, which on a
// 23- or 25-hour day is not now + 24 h.
Date expiry(MuteDuration duration, Date now, const Calendar& calendar);

}  // namespace vorlane
