#pragma once

#include <xcb/xcb.h>

#include <QColor>
#include <QRect>
#include <optional>

#include "platform/desktop/windows/x11_properties.h"

namespace vorlane {

// What an XEmbed system tray shows its icons on, read from the X server at each call: the
// foreground the tray manager asks icons to use (`_NET_SYSTEM_TRAY_COLORS`), and the colour
// of the panel's pixels under an icon. Either is none when the server cannot tell: no tray
// manager, no such property, an area off screen or an image in a form not read here. The
// connection is borrowed and must outlive this. Main thread only.
class X11TrayLook {
 public:
  X11TrayLook(xcb_connection_t* connection, int screenNumber);

  std::optional<QColor> foreground();
  // `area` in root-window pixels (the icon's place on screen); at most 64 x 64 of it read.
  std::optional<QColor> background(const QRect& area);
  // Where `window` is on screen, in root-window pixels; none when the server cannot say.
  // (A tray reparents an icon's window without telling the toolkit where it went.)
  std::optional<QRect> placeOf(xcb_window_t window);

 private:
  xcb_window_t manager();

  X11Properties properties_;
  int screenNumber_;
};

// The X screen the display names (":0.1" is screen 1); 0 when it names none.
int displayScreenNumber();

}  // namespace vorlane
