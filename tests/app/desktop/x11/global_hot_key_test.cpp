#include "app/desktop/global_hot_key.h"

#include <gtest/gtest.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include "app/logging/log_capture.h"
#include "tests/app/desktop/x11/x11_test_support.h"

namespace vorlane {
namespace {

constexpr xcb_keysym_t control = 0xffe3, alt = 0xffe9, super = 0xffeb, capsLock = 0xffe5,
                       numLock = 0xff7f, keyM = 0x6d, space = 0x20;
constexpr std::uint32_t muteKey = 46, muteModifiers = 0x1900;    // Ctrl+Alt+Super+M
constexpr std::uint32_t panelKey = 49, panelModifiers = 0x1800;  // Ctrl+Alt+Space
const std::vector<xcb_keysym_t> muteCombo{control, alt, super, keyM};
const std::vector<xcb_keysym_t> panelCombo{control, alt, space};

bool hasLine(const LogCapture& capture, LogLevel level, const std::string& message) {
  for (const LogCapture::Line& line : capture.lines()) {
    if (line.level == level && line.category == "lifecycle" && line.message == message) {
      return true;
    }
  }
  return false;
}

class GlobalHotKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(peer_.ok()); }

  // Types the keys, then lets Qt deliver what the server sent.
  void type(const std::vector<xcb_keysym_t>& keys) {
    peer_.type(keys);
    testing::processEventsFor(150);
  }

  testing::X11Peer peer_;
};

TEST_F(GlobalHotKeyTest, EachShortcutCallsOnlyItsOwnActionInEitherOrderOfCreation) {
  for (const bool muteFirst : {true, false}) {
    int mutes = 0;
    int panels = 0;
    std::unique_ptr<GlobalHotKey> mute;
    std::unique_ptr<GlobalHotKey> panel;
    const auto createMute = [&] {
      mute = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] { ++mutes; });
    };
    const auto createPanel = [&] {
      panel = GlobalHotKey::create(panelKey, panelModifiers, 2, [&] { ++panels; });
    };
    LogCapture capture;
    if (muteFirst) {
      createMute();
      createPanel();
    } else {
      createPanel();
      createMute();
    }
    ASSERT_TRUE(mute && panel) << "mute first: " << muteFirst;
    EXPECT_TRUE(hasLine(capture, LogLevel::info, "hotkey registered with identifier 1"));
    EXPECT_TRUE(hasLine(capture, LogLevel::info, "hotkey registered with identifier 2"));

    peer_.type(muteCombo);
    EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == 1; }));
    type(panelCombo);
    type(panelCombo);
    EXPECT_TRUE(testing::processEventsUntil([&] { return panels == 2; }));
    EXPECT_EQ(mutes, 1) << "mute first: " << muteFirst;
    EXPECT_EQ(panels, 2) << "mute first: " << muteFirst;
  }
}

TEST_F(GlobalHotKeyTest, OtherModifiersDoNotTriggerTheShortcut) {
  int calls = 0;
  auto hotKey = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] { ++calls; });
  ASSERT_TRUE(hotKey);
  type({control, alt, keyM});
  type({keyM});
  type({control, alt, super, 0xffe1 /* Shift_L */, keyM});
  EXPECT_EQ(calls, 0);
  type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return calls == 1; }));
}

TEST_F(GlobalHotKeyTest, CapsLockAndNumLockDoNotStopTheShortcut) {
  int calls = 0;
  auto hotKey = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] { ++calls; });
  ASSERT_TRUE(hotKey);
  struct Row {
    const char* name;
    std::vector<xcb_keysym_t> toggles;
  };
  const Row rows[] = {{"CapsLock", {capsLock}}, {"NumLock", {numLock}},
                      {"both", {capsLock, numLock}}};
  for (const Row& row : rows) {
    for (xcb_keysym_t k : row.toggles) peer_.type({k});
    const int before = calls;
    peer_.type(muteCombo);
    EXPECT_TRUE(testing::processEventsUntil([&] { return calls == before + 1; })) << row.name;
    for (xcb_keysym_t k : row.toggles) peer_.type({k});  // back off
  }
}

TEST_F(GlobalHotKeyTest, ACombinationHeldByAnotherClientFailsAndLeavesNothingGrabbed) {
  testing::X11Peer other;
  // Only the NumLock variant is taken, so some variants are grabbed before the refusal.
  ASSERT_EQ(other.grab(keyM, 0x4C | 0x10), 0);

  LogCapture capture;
  int calls = 0;
  auto hotKey = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] { ++calls; });
  EXPECT_EQ(hotKey, nullptr);
  EXPECT_TRUE(hasLine(capture, LogLevel::error, "failed to register hotkey: 10"));

  // The variants grabbed before the refusal were given back.
  testing::X11Peer third;
  EXPECT_EQ(third.grab(keyM, 0x4C), 0);
  EXPECT_EQ(third.grab(keyM, 0x4C | 0x02), 0);

  // A key or modifier this keyboard cannot express fails with our own status.
  EXPECT_EQ(GlobalHotKey::create(12, muteModifiers, 3, [] {}), nullptr);
  EXPECT_TRUE(hasLine(capture, LogLevel::error, "failed to register hotkey: -1"));
}

TEST_F(GlobalHotKeyTest, ReleasingOneShortcutFreesItAndLeavesTheOtherWorking) {
  int mutes = 0;
  int panels = 0;
  auto mute = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] { ++mutes; });
  auto panel = GlobalHotKey::create(panelKey, panelModifiers, 2, [&] { ++panels; });
  ASSERT_TRUE(mute && panel);

  mute.reset();
  type(muteCombo);
  peer_.type(panelCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return panels == 1; }));
  EXPECT_EQ(mutes, 0);
  // Another application may now take the released combination, but not the live one.
  testing::X11Peer other;
  EXPECT_EQ(other.grab(keyM, 0x4C), 0);
  EXPECT_EQ(other.grab(space, 0x0C), 10);
}

TEST_F(GlobalHotKeyTest, AnActionMayReleaseItsOwnShortcut) {
  int calls = 0;
  std::unique_ptr<GlobalHotKey> hotKey;
  hotKey = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] {
    ++calls;
    hotKey.reset();
  });
  ASSERT_TRUE(hotKey);
  peer_.type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return calls == 1; }));
  EXPECT_EQ(hotKey, nullptr);
  type(muteCombo);
  EXPECT_EQ(calls, 1);
}

// Counts the presses of one key that reach Qt, before any hot key sees them.
class PressCounter final : public QAbstractNativeEventFilter {
 public:
  explicit PressCounter(xcb_keycode_t keycode) : keycode_(keycode) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~PressCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
  bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
    const auto* event = static_cast<const xcb_key_press_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_KEY_PRESS && event->detail == keycode_) ++presses;
    return false;
  }
  int presses = 0;

 private:
  xcb_keycode_t keycode_;
};

TEST_F(GlobalHotKeyTest, AHeldShortcutActsOnceDespiteAutoRepeat) {
  int calls = 0;
  auto hotKey = GlobalHotKey::create(muteKey, muteModifiers, 1, [&] { ++calls; });
  ASSERT_TRUE(hotKey);
  PressCounter counter(peer_.keycode(keyM));  // installed last, so it sees events first

  for (xcb_keysym_t k : {control, alt, super, keyM}) peer_.key(k, true);
  peer_.sync();
  testing::processEventsFor(1500);  // longer than the server's repeat delay
  for (xcb_keysym_t k : {keyM, super, alt, control}) peer_.key(k, false);
  peer_.sync();
  testing::processEventsFor(100);

  ASSERT_GT(counter.presses, 1) << "the X server did not repeat the held key";
  EXPECT_EQ(calls, 1);

  type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return calls == 2; }))
      << "the next physical press acts again";
}

}  // namespace
}  // namespace vorlane
