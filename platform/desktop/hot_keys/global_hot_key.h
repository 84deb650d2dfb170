#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/desktop/hot_keys/hot_key_handle.h"
#include "platform/desktop/hot_keys/key_repeat_filter.h"

namespace vorlane {

// One system-wide keyboard shortcut that calls one action, whichever application is in
// front: a passive key grab on the root window of Qt's X connection, with the shortcut's
// CapsLock and NumLock variants, and a native event filter that sees the presses. Several
// instances live side by side; each consumes only its own key and leaves every other event
// to the next filter. Main thread only. The action runs in the filter when one of our windows
// has the keyboard, and just after Qt has seen the press when another application has it.
class GlobalHotKey final : public QAbstractNativeEventFilter, public HotKeyHandle {
 public:
  using Handler = std::function<void()>;

  // `keySym` is an X key symbol (XK_m), `modifiers` Qt's (Ctrl, Alt, Meta for Super, Shift):
  // XK_m with Ctrl | Alt | Meta is Ctrl+Alt+Super+M. Null, with an error line on the
  // lifecycle log, when there is no X connection or the X server refuses a grab (another
  // client holds the combination); nothing then stays grabbed or installed.
  [[nodiscard]] static std::unique_ptr<GlobalHotKey> create(std::uint32_t keySym,
                                                            Qt::KeyboardModifiers modifiers,
                                                            std::uint32_t identifier,
                                                            Handler handler);

  // Ungrabs the shortcut, then removes the filter.
  ~GlobalHotKey() override;

  GlobalHotKey(const GlobalHotKey&) = delete;
  GlobalHotKey& operator=(const GlobalHotKey&) = delete;

  std::uint32_t identifier() const override { return identifier_; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  struct Grab {
    xcb_keycode_t keycode;
    std::uint16_t mask;
  };

  GlobalHotKey(Handler handler, std::uint32_t identifier);
  // Grabs every variant; the X error code on the first refusal (-1 when the shortcut cannot
  // be expressed on this keyboard), 0 on success.
  int registerGrabs(std::uint32_t keySym, Qt::KeyboardModifiers modifiers);
  void ungrabAll();
  bool isOwnKey(xcb_keycode_t keycode) const;

  // Shared with an action still queued, which is dropped once this instance is gone.
  std::shared_ptr<const Handler> handler_;
  std::uint32_t identifier_;
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  bool filterInstalled_ = false;
  std::uint16_t modifiers_ = 0;
  std::vector<xcb_keycode_t> keycodes_;
  std::vector<Grab> grabs_;
  KeyRepeatFilter repeats_;
};

}  // namespace vorlane
