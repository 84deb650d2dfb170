#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <functional>

namespace vorlane {

// Whether an XEmbed system tray is there to dock the program's status item: a tray manager
// owns the screen's `_NET_SYSTEM_TRAY_S<n>` selection (i3bar, tint2, trayer, lxpanel, ...).
//
// The owner is read from the server once when made, then followed through the XFixes
// selection events the server sends as managers come, are replaced and go (their window
// destroyed or their client gone); `isAvailable` never touches the server. The events arrive
// through Qt's event loop: `connection` must be the application's own (see
// SystemEnvironment::qtConnection), borrowed, and outlive this. A server without XFixes gives
// only the first reading, logged as such. `changed` (optional) is told each time the answer
// turns. Main thread.
class XEmbedTrayWatch final : public QAbstractNativeEventFilter {
 public:
  XEmbedTrayWatch(xcb_connection_t* connection, int screenNumber,
                  std::function<void()> changed = nullptr);
  ~XEmbedTrayWatch() override;
  XEmbedTrayWatch(const XEmbedTrayWatch&) = delete;
  XEmbedTrayWatch& operator=(const XEmbedTrayWatch&) = delete;

  bool isAvailable() const { return owner_ != XCB_WINDOW_NONE; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  xcb_window_t root_ = XCB_WINDOW_NONE;
  xcb_atom_t selection_ = XCB_ATOM_NONE;
  // The response type of XFixes' selection notification on this connection; 0 without XFixes.
  std::uint8_t selectionNotify_ = 0;
  xcb_window_t owner_ = XCB_WINDOW_NONE;
  std::function<void()> changed_;
};

}  // namespace vorlane
