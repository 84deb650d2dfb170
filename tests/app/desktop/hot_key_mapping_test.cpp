#include "app/desktop/hot_key_mapping.h"

#include <gtest/gtest.h>

#include "app/desktop/global_hot_key.h"
#include "app/desktop/key_repeat_filter.h"

namespace vorlane {
namespace {

TEST(HotKeyMapping, SignatureIsTheFourCharacterCodeOfVrln) {
  EXPECT_EQ(GlobalHotKey::signature(), 0x56726C6Eu);
}

TEST(HotKeyMapping, ShortcutModifiersBecomeXModifiers) {
  struct Row {
    std::uint32_t modifiers;
    std::optional<std::uint16_t> expected;
  };
  const Row rows[] = {
      {0x1900, 0x4C},  // command + option + control: Super + Alt + Control
      {0x1800, 0x0C},  // option + control
      {0x0000, 0x00},
      {0x0200, 0x01},  // shift
      {0x0100, 0x40},  // command alone
      {0x0400, std::nullopt},  // CapsLock is never part of a shortcut
      {0x1801, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(x11ModifiersFor(row.modifiers), row.expected) << std::hex << row.modifiers;
  }
}

TEST(HotKeyMapping, LockVariantsCoverCapsLockAndNumLockWithoutDuplicates) {
  EXPECT_EQ(lockVariants(0x0C, 0x10), (std::vector<std::uint16_t>{0x0C, 0x0E, 0x1C, 0x1E}));
  EXPECT_EQ(lockVariants(0x0C, 0), (std::vector<std::uint16_t>{0x0C, 0x0E}));
}

TEST(HotKeyMapping, EventStateMatchesIgnoringLocksAndButtons) {
  struct Row {
    const char* name;
    std::uint16_t state;
    bool matches;
  };
  const Row rows[] = {
      {"exact", 0x4C, true},
      {"with CapsLock", 0x4E, true},
      {"with NumLock", 0x5C, true},
      {"with a mouse button held", 0x14C, true},
      {"Shift added", 0x4D, false},
      {"Super missing", 0x0C, false},
  };
  for (const Row& row : rows) EXPECT_EQ(stateMatches(row.state, 0x4C), row.matches) << row.name;
}

TEST(KeyRepeatFilter, OnePhysicalPressGivesOneNewPress) {
  struct Event {
    bool press;
    std::uint8_t keycode;
    std::uint32_t time;
  };
  struct Row {
    const char* name;
    std::vector<Event> events;
    int newPresses;
  };
  const Row rows[] = {
      {"two separate presses", {{true, 58, 10}, {false, 58, 20}, {true, 58, 30}}, 2},
      {"held key, repeats as release and press with one time stamp",
       {{true, 58, 10}, {false, 58, 500}, {true, 58, 500}, {false, 58, 540}, {true, 58, 540},
        {false, 58, 600}},
       1},
      {"held key, detectable repeats as presses only",
       {{true, 58, 10}, {true, 58, 500}, {true, 58, 540}, {false, 58, 600}},
       1},
      {"press after a real release at another time",
       {{true, 58, 10}, {false, 58, 500}, {true, 58, 501}},
       2},
      {"another key's release does not end the hold",
       {{true, 58, 10}, {false, 37, 20}, {true, 58, 30}},
       1},
  };
  for (const Row& row : rows) {
    KeyRepeatFilter filter;
    int count = 0;
    for (const Event& e : row.events) {
      if (e.press) {
        count += filter.press(e.keycode, e.time) ? 1 : 0;
      } else {
        filter.release(e.keycode, e.time);
      }
    }
    EXPECT_EQ(count, row.newPresses) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
