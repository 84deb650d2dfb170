#include "platform/desktop/session_state/screen_state_rules.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ScreenStateRules, AnySourceSayingAsleepOrLockedWinsAndUnreadSourcesNeverDo) {
  const std::tuple<const char*, bool, std::uint16_t, bool> dpms[] = {
      {"on", true, 0, false},
      {"standby", true, 1, true},
      {"off", true, 3, true},
      {"disabled: the level means nothing", false, 3, false},
  };
  for (const auto& [name, enabled, level, asleep] : dpms) {
    EXPECT_EQ(dpmsSaysAsleep(enabled, level), asleep) << name;
  }
  const auto none = std::nullopt;
  // Display asleep, X screen saver, session locked, session active, screen saver active.
  const std::tuple<const char*, ScreenStateReadings, bool> rows[] = {
      {"nothing read", {}, false},
      {"all clear", {false, false, false, true, false}, false},
      {"display asleep", {true, false, false, true, false}, true},
      {"session locked", {false, false, true, true, false}, true},
      {"session of another user", {false, false, false, false, false}, true},
      {"X screen saver only", {none, true, none, none, none}, true},
      {"screen saver service only", {none, none, none, none, true}, true},
      {"session activity unread", {false, false, false, none, false}, false},
  };
  for (const auto& [name, readings, unavailable] : rows) {
    EXPECT_EQ(screenUnavailable(readings), unavailable) << name;
  }
}

}  // namespace
}  // namespace vorlane
