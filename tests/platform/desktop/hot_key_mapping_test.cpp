#include "platform/desktop/hot_key_mapping.h"

#include <gtest/gtest.h>

#include "platform/desktop/key_repeat_filter.h"

namespace vorlane {
namespace {

TEST(HotKeyMapping, ShortcutModifiersBecomeXModifiersAndLockVariantsAndMatchIgnoringLocks) {
  const std::pair<std::uint32_t, std::optional<std::uint16_t>> modifiers[] = {
      {0x1900, 0x4C},          // command + option + control: Super + Alt + Control
      {0x0200, 0x01},          // shift
      {0x0100, 0x40},          // command: Super
      {0x0400, std::nullopt},  // CapsLock is never part of a shortcut
      {0x1801, std::nullopt},
  };
  for (const auto& [mac, x] : modifiers) EXPECT_EQ(x11ModifiersFor(mac), x) << std::hex << mac;
  using Masks = std::vector<std::uint16_t>;
  EXPECT_EQ(lockVariants(0x0C, 0x10), (Masks{0x0C, 0x0E, 0x1C, 0x1E}));
  EXPECT_EQ(lockVariants(0x0C, 0), (Masks{0x0C, 0x0E}));
  // CapsLock, NumLock and a held mouse button are ignored; Shift added or Super missing are not.
  const std::pair<std::uint16_t, bool> states[] = {
      {0x4C, true}, {0x4E, true}, {0x5C, true}, {0x14C, true}, {0x4D, false}, {0x0C, false},
  };
  for (const auto& [state, matches] : states) {
    EXPECT_EQ(stateMatches(state, 0x4C), matches) << std::hex << state;
  }
}

TEST(KeyRepeatFilter, OnePhysicalPressGivesOneNewPress) {
  struct Event {
    bool press;  // a release when not
    std::uint8_t keycode;
    std::uint32_t time;
  };
  const std::tuple<const char*, std::vector<Event>, int> rows[] = {
      {"held key with detectable repeats", {{true, 58, 10}, {true, 58, 500}, {false, 58, 600}}, 1},
      {"release, press at another time", {{true, 58, 10}, {false, 58, 500}, {true, 58, 501}}, 2},
      {"another key released mid-hold", {{true, 58, 10}, {false, 37, 20}, {true, 58, 30}}, 1},
  };
  for (const auto& [name, events, newPresses] : rows) {
    KeyRepeatFilter filter;
    int count = 0;
    for (const Event& e : events) {
      if (e.press) {
        count += filter.press(e.keycode, e.time);
      } else {
        filter.release(e.keycode, e.time);
      }
    }
    EXPECT_EQ(count, newPresses) << name;
  }
}

}  // namespace
}  // namespace vorlane
