#include "core/focus/mute_duration.h"

namespace vorlane {

std::string_view rawValue(MuteDuration duration) {
  switch (duration) {
    case MuteDuration::fifteenMinutes:
      return "fifteenMinutes";
    case MuteDuration::oneHour:
      return "oneHour";
    case MuteDuration::untilThisEvening:
      return "untilThisEvening";
    case MuteDuration::untilTomorrow:
      return "untilTomorrow";
  }
  return "oneHour";
}

std::string_view displayName(MuteDuration duration) {
  switch (duration) {
    case MuteDuration::fifteenMinutes:
      return "for 15 minutes";
    case MuteDuration::oneHour:
      return "for an hour";
    case MuteDuration::untilThisEvening:
      return "until this evening";
    case MuteDuration::untilTomorrow:
      return "until tomorrow";
  }
  return "for an hour";
}

std::optional<MuteDuration> muteDurationFromRaw(std::string_view raw) {
  for (MuteDuration duration : allMuteDurations) {
    if (rawValue(duration) == raw) return duration;
  }
  return std::nullopt;
}

Date expiry(MuteDuration duration, Date now, const Calendar& calendar) {
  switch (duration) {
    case MuteDuration::fifteenMinutes:
      return now + 900.0;
    case MuteDuration::oneHour:
      return now + 3600.0;
    case MuteDuration::untilThisEvening: {
      const std::optional<Date> evening = calendar.date(18, 0, 0, now);
      if (evening && *evening > now) return *evening;
      return calendar.startOfNextDay(now);
    }
    case MuteDuration::untilTomorrow:
      return calendar.startOfNextDay(now);
  }
  return now + 3600.0;
}

}  // namespace vorlane
