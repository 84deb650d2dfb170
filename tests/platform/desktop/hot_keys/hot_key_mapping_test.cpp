#include "platform/desktop/hot_keys/hot_key_mapping.h"

#include <gtest/gtest.h>

#include "platform/desktop/hot_keys/key_repeat_filter.h"

namespace vorlane {
namespace {

TEST(HotKeyMapping, ShortcutModifiersBecomeXModifiersAndLockVariantsAndMatchIgnoringLocks) {
  const std::pair<Qt::KeyboardModifiers, std::optional<std::uint16_t>> modifiers[] = {
      {Qt::MetaModifier | Qt::AltModifier | Qt::ControlModifier, 0x4C},  // Super + Alt + Control
      {Qt::ShiftModifier, 0x01},
      {Qt::MetaModifier, 0x40},  // Meta is Super on X11
      {Qt::NoModifier, 0x00},
      {Qt::KeypadModifier, std::nullopt},  // never part of a shortcut
      {Qt::ControlModifier | Qt::GroupSwitchModifier, std::nullopt},
  };
  for (const auto& [qt, x] : modifiers) {
    EXPECT_EQ(x11ModifiersFor(qt), x) << std::hex << qt.toInt();
  }
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
