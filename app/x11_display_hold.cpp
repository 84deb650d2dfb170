#include "app/x11_display_hold.h"

#include <xcb/xcb.h>

namespace vorlane {

X11DisplayHold::~X11DisplayHold() { release(); }

bool X11DisplayHold::open(const std::string& display) {
  release();
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  // A failed connection is an object too, to be freed like an open one.
  if (xcb_connection_has_error(connection) != 0) {
    xcb_disconnect(connection);
    return false;
  }
  connection_ = connection;
  return true;
}

void X11DisplayHold::release() {
  if (connection_ == nullptr) return;
  xcb_disconnect(connection_);
  connection_ = nullptr;
}

}  // namespace vorlane
