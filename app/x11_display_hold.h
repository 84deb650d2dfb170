#pragma once

#include <string>

struct xcb_connection_t;

namespace vorlane {

// A connection to an X display, held open until released. An X server with no other client
// resets when its last one leaves, and refuses connections meanwhile: a check that closed its
// connection at once would leave Qt's own, a moment later, to find the server resetting. Held
// until Qt has its own, the display that answered the check stays the one Qt connects to.
class X11DisplayHold {
 public:
  X11DisplayHold() = default;
  ~X11DisplayHold();

  X11DisplayHold(const X11DisplayHold&) = delete;
  X11DisplayHold& operator=(const X11DisplayHold&) = delete;

  // Connects to `display` and keeps the connection (in place of one held before); false, with
  // nothing held, when the display does not answer.
  bool open(const std::string& display);
  bool holds() const { return connection_ != nullptr; }
  // Closes the connection; harmless when none is held.
  void release();

 private:
  xcb_connection_t* connection_ = nullptr;
};

}  // namespace vorlane
