#include "platform/desktop/global_hot_key.h"

#include <gtest/gtest.h>

#include <QAbstractNativeEventFilter>

#include "platform/logging/log_capture.h"
#include "tests/platform/desktop/x11/x11_test_support.h"

namespace vorlane {
namespace {

constexpr xcb_keysym_t control = 0xffe3, alt = 0xffe9, super = 0xffeb, shift = 0xffe1;
constexpr xcb_keysym_t capsLock = 0xffe5, numLock = 0xff7f, keyM = 0x6d, space = 0x20;
using Keys = std::vector<xcb_keysym_t>;
const Keys muteCombo{control, alt, super, keyM}, panelCombo{control, alt, space};
constexpr Qt::KeyboardModifiers altCtrl = Qt::AltModifier | Qt::ControlModifier;
constexpr Qt::KeyboardModifiers superAltCtrl = altCtrl | Qt::MetaModifier;

struct GlobalHotKeyTest : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(peer.ok()); }
  void type(const Keys& keys) {
    peer.type(keys);
    testing::processEventsFor(150);
  }
  testing::X11Peer peer;
  int mutes = 0, panels = 0;
  LogCapture log;
  // Ctrl+Alt+Super+M and Ctrl+Alt+Space.
  std::unique_ptr<GlobalHotKey> mute =
      GlobalHotKey::create(keyM, superAltCtrl, 1, [this] { ++mutes; });
  std::unique_ptr<GlobalHotKey> panel =
      GlobalHotKey::create(space, altCtrl, 2, [this] { ++panels; });
};

TEST_F(GlobalHotKeyTest,
       EachShortcutCallsOnlyItsOwnActionWhateverTheLockKeysAndNotWithOtherModifiers) {
  ASSERT_NE(mute, nullptr);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(log.lines(),
            (std::vector<LogCapture::Line>{
                {LogLevel::info, "lifecycle", "hotkey registered with identifier 1"},
                {LogLevel::info, "lifecycle", "hotkey registered with identifier 2"}}));
  const Keys notMute[] = {{control, alt, keyM}, {keyM}, {control, alt, super, shift, keyM}};
  for (const Keys& keys : notMute) type(keys);
  type(panelCombo);
  EXPECT_EQ(mutes, 0);
  EXPECT_EQ(panels, 1);
  for (const Keys& toggles : {Keys{}, Keys{capsLock}, Keys{numLock}, Keys{capsLock, numLock}}) {
    for (xcb_keysym_t k : toggles) peer.type({k});
    const int before = mutes;
    peer.type(muteCombo);
    EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == before + 1; })) << toggles.size();
    for (xcb_keysym_t k : toggles) peer.type({k});  // back off
  }
  EXPECT_EQ(panels, 1);
}

TEST_F(GlobalHotKeyTest, ACombinationHeldByAnotherClientFailsAndLeavesNothingGrabbed) {
  mute.reset();
  testing::X11Peer other;
  // Only the NumLock variant: the others are grabbed before the refusal.
  ASSERT_EQ(other.grab(keyM, 0x4C | 0x10), 0);
  EXPECT_EQ(GlobalHotKey::create(keyM, superAltCtrl, 1, [] {}), nullptr);
  EXPECT_EQ(log.lines().back(),
            (LogCapture::Line{LogLevel::error, "lifecycle", "failed to register hotkey: 10"}));
  testing::X11Peer third;  // the variants grabbed before the refusal were given back
  EXPECT_EQ(third.grab(keyM, 0x4C), 0);
  EXPECT_EQ(third.grab(keyM, 0x4C | 0x02), 0);
  EXPECT_EQ(third.grab(space, 0x0C), 10) << "the live shortcut stays taken";
  // A key or modifier this keyboard cannot express fails with our own status.
  EXPECT_EQ(GlobalHotKey::create(keyM, Qt::KeypadModifier, 3, [] {}), nullptr);
  EXPECT_EQ(log.lines().back(),
            (LogCapture::Line{LogLevel::error, "lifecycle", "failed to register hotkey: -1"}));
}

// Counts the presses of one key that reach Qt, before any hot key sees them (installed last).
struct PressCounter final : QAbstractNativeEventFilter {
  explicit PressCounter(xcb_keycode_t keycode) : keycode(keycode) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~PressCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
  bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
    const auto* event = static_cast<const xcb_key_press_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_KEY_PRESS && event->detail == keycode) ++presses;
    return false;
  }
  xcb_keycode_t keycode;
  int presses = 0;
};

TEST_F(GlobalHotKeyTest,
       AHeldShortcutActsOnceDespiteAutoRepeatAndAnActionMayReleaseItsOwnShortcut) {
  PressCounter counter(peer.keycode(keyM));
  for (xcb_keysym_t k : muteCombo) peer.key(k, true);
  peer.sync();
  testing::processEventsFor(1500);  // longer than the server's repeat delay
  for (auto k = muteCombo.rbegin(); k != muteCombo.rend(); ++k) peer.key(*k, false);
  peer.sync();
  testing::processEventsFor(100);
  ASSERT_GT(counter.presses, 1) << "the X server did not repeat the held key";
  EXPECT_EQ(mutes, 1);
  type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == 2; }))
      << "the next physical press acts again";

  mute.reset();
  mute = GlobalHotKey::create(keyM, superAltCtrl, 1, [&] {
    ++mutes;
    mute.reset();
  });
  type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == 3; }));
  EXPECT_EQ(mute, nullptr);
  type(muteCombo);
  EXPECT_EQ(mutes, 3) << "released: the next press does nothing";
  testing::X11Peer other;
  EXPECT_EQ(other.grab(keyM, 0x4C), 0)
      << "another application may now take the released combination";
}

}  // namespace
}  // namespace vorlane
