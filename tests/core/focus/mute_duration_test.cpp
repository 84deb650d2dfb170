#include "core/focus/mute_duration.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <tuple>

#include "core/settings/preferences.h"
#include "core/settings/presence_mode.h"

namespace vorlane {
namespace {

TEST(MuteDuration, ExpiryOnOrdinaryAndClockChangeDays) {
  using Moment = std::array<int, 6>;  // year, month, day, hour, minute, second
  using M = MuteDuration;
  struct Row {
    const char* zone;
    MuteDuration duration;
    Moment now, expected;
  };
  const Row rows[] = {
      // Plain seconds: the hour skipped by the clock change is not waited for.
      {"Europe/London", M::oneHour, {2026, 3, 29, 0, 50, 0}, {2026, 3, 29, 2, 50, 0}},
      {"America/New_York", M::untilThisEvening, {2026, 5, 4, 17, 59, 59}, {2026, 5, 4, 18, 0, 0}},
      {"America/New_York", M::untilThisEvening, {2026, 5, 4, 18, 0, 0}, {2026, 5, 5, 0, 0, 0}},
      // The next midnight is the start of the following calendar day, not the day holding
      // now + 24 h: on this 25-hour day that would be today's midnight, already past ...
      {"Europe/London", M::untilTomorrow, {2026, 10, 25, 0, 30, 0}, {2026, 10, 26, 0, 0, 0}},
      // ... and before this 23-hour day it would be the midnight after next.
      {"Europe/London", M::untilTomorrow, {2026, 3, 28, 23, 30, 0}, {2026, 3, 29, 0, 0, 0}},
      {"Europe/London", M::untilThisEvening, {2026, 3, 28, 23, 30, 0}, {2026, 3, 29, 0, 0, 0}},
      // This zone skips midnight when its clocks go forward; the day begins at 01:00.
      {"America/Santiago", M::untilTomorrow, {2026, 9, 5, 20, 0, 0}, {2026, 9, 6, 1, 0, 0}},
  };
  for (const Row& row : rows) {
    const Calendar calendar(row.zone);
    const auto& [y, mo, d, h, mi, sec] = row.now;
    const DateComponents got =
        calendar.components(expiry(row.duration, *calendar.date(y, mo, d, h, mi, sec), calendar));
    const Moment moment{got.year, got.month, got.day, got.hour, got.minute, got.second};
    EXPECT_EQ(moment, row.expected) << row.zone << " " << rawValue(row.duration) << " " << d;
  }
}

// Each list in menu order, with its stored identifiers and names; reading matches exactly.
template <class T, std::size_t N, class FromRaw>
void expectChoices(const std::array<T, N>& all,
                   const std::tuple<T, const char*, const char*> (&rows)[N], FromRaw fromRaw,
                   std::initializer_list<const char*> unknown) {
  for (std::size_t i = 0; i < N; ++i) {
    const auto& [value, raw, name] = rows[i];
    EXPECT_EQ(all[i], value) << raw;
    EXPECT_EQ(rawValue(value), raw);
    EXPECT_EQ(displayName(value), name);
    EXPECT_EQ(fromRaw(raw), value);
  }
  for (const char* raw : unknown) EXPECT_EQ(fromRaw(raw), std::nullopt) << raw;
}

TEST(MuteDurationAndPresenceMode, MenuOrderIdentifiersNamesAndExactMatching) {
  using M = MuteDuration;
  const std::tuple<M, const char*, const char*> durations[] = {
      {M::fifteenMinutes, "fifteenMinutes", "for 15 minutes"},
      {M::oneHour, "oneHour", "for an hour"},
      {M::untilThisEvening, "untilThisEvening", "until this evening"},
      {M::untilTomorrow, "untilTomorrow", "until tomorrow"},
  };
  expectChoices(allMuteDurations, durations, muteDurationFromRaw,
                {"OneHour", "oneHour ", "", "for an hour"});
  const std::tuple<PresenceMode, const char*, const char*> modes[] = {
      {PresenceMode::peek, "peek", "Always peeking"},
      {PresenceMode::hidden, "hidden", "Only during visits"},
  };
  expectChoices(allPresenceModes, modes, presenceModeFromRaw, {"Peek", "hidden "});
  EXPECT_EQ(encode(PresenceMode::hidden), Json("hidden"));
  EXPECT_EQ(expiry(M::fifteenMinutes, Date(8e8), Calendar("UTC")), Date(8e8) + 900);
  // An unknown stored value leaves the setting at its default, peek.
  Json stored = Preferences({.presenceMode = PresenceMode::hidden}).encode();
  stored["presenceMode"] = "Hidden";
  EXPECT_EQ(Preferences::decode(stored).presenceMode, PresenceMode::peek);
}

}  // namespace
}  // namespace vorlane
