#include "platform/desktop/hot_keys/global_hot_key.h"

#include <gtest/gtest.h>

#include <QAbstractNativeEventFilter>

#include "tests/support/log_capture.h"
#include "tests/support/x11_peer.h"

namespace vorlane {
namespace {

constexpr xcb_keysym_t control = 0xffe3, alt = 0xffe9, super = 0xffeb, shift = 0xffe1;
constexpr xcb_keysym_t capsLock = 0xffe5, numLock = 0xff7f, keyM = 0x6d, space = 0x20;
using Keys = std::vector<xcb_keysym_t>;
const Keys muteCombo{control, alt, super, keyM}, panelCombo{control, alt, space};
constexpr Qt::KeyboardModifiers altCtrl = Qt::AltModifier | Qt::ControlModifier;
constexpr Qt::KeyboardModifiers superAltCtrl = altCtrl | Qt::MetaModifier;

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

// One run on one X server: the grab rules, auto-repeat, release, and a refused grab.
TEST(GlobalHotKey, EachShortcutActsOncePerPressWhateverTheLockKeysAndAHeldOneFailsCleanly) {
  testing::X11Peer peer;
  ASSERT_TRUE(peer.ok());
  int mutes = 0, panels = 0;
  // Keys reach Qt and its shortcuts in order: once the panel's shortcut, typed now, has
  // acted, so has everything typed before it.
  const auto allHandled = [&] {
    const int before = panels;
    peer.type(panelCombo);
    return testing::processEventsUntil([&] { return panels == before + 1; }, 20000);
  };
  LogCapture log;
  // Installed first, so it sees what the shortcuts pass on. With no window of ours focused, the
  // press goes on to Qt, which takes its time as the user's latest: a window the action opens
  // is stamped with it, and a stale time lets the window manager refuse it the focus.
  PressCounter passedOn(peer.keycode(space));
  // Ctrl+Alt+Super+M and Ctrl+Alt+Space.
  std::unique_ptr<GlobalHotKey> mute =
      GlobalHotKey::create(keyM, superAltCtrl, 1, [&] { ++mutes; });
  const auto panel = GlobalHotKey::create(space, altCtrl, 2, [&] { ++panels; });
  ASSERT_NE(mute, nullptr);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(log.lines(),
            (std::vector<LogCapture::Line>{
                {LogLevel::info, "lifecycle", "hotkey registered with identifier 1"},
                {LogLevel::info, "lifecycle", "hotkey registered with identifier 2"}}));
  const Keys notMute[] = {{control, alt, keyM}, {keyM}, {control, alt, super, shift, keyM}};
  for (const Keys& keys : notMute) peer.type(keys);
  EXPECT_TRUE(allHandled());
  EXPECT_TRUE(testing::processEventsUntil([&] { return passedOn.presses == 1; }));
  EXPECT_EQ(mutes, 0);
  EXPECT_EQ(panels, 1);
  EXPECT_EQ(passedOn.presses, 1);
  for (const Keys& toggles : {Keys{}, Keys{capsLock}, Keys{numLock}, Keys{capsLock, numLock}}) {
    for (xcb_keysym_t k : toggles) peer.type({k});
    const int before = mutes;
    peer.type(muteCombo);
    EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == before + 1; })) << toggles.size();
    for (xcb_keysym_t k : toggles) peer.type({k});  // back off
  }
  EXPECT_EQ(panels, 1);

  // Held past the server's repeat delay, the shortcut acts once; the next press acts again.
  mutes = 0;
  PressCounter counter(peer.keycode(keyM));
  for (xcb_keysym_t k : muteCombo) peer.key(k, true);
  peer.sync();
  // Held until the server has repeated it.
  (void)testing::processEventsUntil([&] { return counter.presses > 1; }, 20000);
  for (auto k = muteCombo.rbegin(); k != muteCombo.rend(); ++k) peer.key(*k, false);
  peer.sync();
  ASSERT_GT(counter.presses, 1) << "the X server did not repeat the held key";
  EXPECT_TRUE(allHandled());
  EXPECT_EQ(mutes, 1);
  peer.type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == 2; }));

  // An action may release its own shortcut; the combination is then free for others.
  mute.reset();
  mute = GlobalHotKey::create(keyM, superAltCtrl, 1, [&] {
    ++mutes;
    mute.reset();
  });
  peer.type(muteCombo);
  EXPECT_TRUE(testing::processEventsUntil([&] { return mutes == 3; }));
  EXPECT_EQ(mute, nullptr);
  peer.type(muteCombo);
  EXPECT_TRUE(allHandled());
  EXPECT_EQ(mutes, 3) << "released: the next press does nothing";
  {
    testing::X11Peer other;
    EXPECT_EQ(other.grab(keyM, 0x4C), 0) << "another application may take it now";
  }

  // Held by another client, only in the NumLock variant: the others are grabbed before the
  // refusal, and must be given back.
  testing::X11Peer other;
  ASSERT_EQ(other.grab(keyM, 0x4C | 0x10), 0);
  EXPECT_EQ(GlobalHotKey::create(keyM, superAltCtrl, 1, [] {}), nullptr);
  EXPECT_EQ(log.lines().back(),
            (LogCapture::Line{LogLevel::error, "lifecycle", "failed to register hotkey: 10"}));
  testing::X11Peer third;
  EXPECT_EQ(third.grab(keyM, 0x4C), 0);
  EXPECT_EQ(third.grab(keyM, 0x4C | 0x02), 0);
  EXPECT_EQ(third.grab(space, 0x0C), 10) << "the live shortcut stays taken";
  // A key or modifier this keyboard cannot express fails with our own status.
  EXPECT_EQ(GlobalHotKey::create(keyM, Qt::KeypadModifier, 3, [] {}), nullptr);
  EXPECT_EQ(log.lines().back(),
            (LogCapture::Line{LogLevel::error, "lifecycle", "failed to register hotkey: -1"}));
}

}  // namespace
}  // namespace vorlane
