#pragma once

// A raw X connection of the test's own, standing in for the window manager and the other
// applications: it creates windows, sets the EWMH properties, grabs and types keys.

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace vorlane::testing {

class X11Peer {
 public:
  X11Peer() : c_(xcb_connect(nullptr, nullptr)), root_(xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root) {}
  ~X11Peer() {
    for (xcb_window_t w : windows_) xcb_destroy_window(c_, w);
    sync();
    xcb_disconnect(c_);
  }
  X11Peer(const X11Peer&) = delete;
  X11Peer& operator=(const X11Peer&) = delete;

  xcb_connection_t* connection() const { return c_; }
  xcb_window_t root() const { return root_; }
  bool ok() const { return xcb_connection_has_error(c_) == 0; }
  xcb_atom_t atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    return std::free(reply), result;
  }
  xcb_window_t window(std::int16_t x, std::int16_t y, std::uint16_t width, std::uint16_t height) {
    windows_.push_back(xcb_generate_id(c_));
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, windows_.back(), root_, x, y, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    return windows_.back();
  }
  // Sets a property of 32-bit words, or (with `bytes`) of 8-bit bytes, and waits for the server.
  void set(xcb_window_t w, const char* property, xcb_atom_t type, const std::vector<std::uint32_t>& words,
           const std::string& bytes = {}) {
    const bool eight = !bytes.empty();
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom(property), type, eight ? 8 : 32,
                        std::uint32_t(eight ? bytes.size() : words.size()), eight ? (const void*)bytes.data() : words.data());
    sync();
  }
  void remove(xcb_window_t w, const char* property) { xcb_delete_property(c_, w, atom(property)), sync(); }
  // Returns once the server has handled everything sent so far.
  void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

  xcb_keycode_t keycode(xcb_keysym_t keysym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c_);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes), xcb_key_symbols_free(symbols);
    return code;
  }
  void key(xcb_keysym_t keysym, bool press) {
    xcb_test_fake_input(c_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(keysym), XCB_CURRENT_TIME, root_, 0, 0, 0);
  }
  // Presses the keys in order and releases them in reverse, as a person types a shortcut. A
  // release and a press in the same millisecond look like auto-repeat: a pause keeps them apart.
  void type(const std::vector<xcb_keysym_t>& keys) {
    usleep(5000);
    for (xcb_keysym_t k : keys) key(k, true);
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) key(*k, false);
    sync();
  }
  // A grab by this client, as another application would hold it; the X error code, 0 if none.
  int grab(xcb_keysym_t keysym, std::uint16_t modifiers) {
    xcb_generic_error_t* error = xcb_request_check(
        c_, xcb_grab_key_checked(c_, 1, root_, modifiers, keycode(keysym), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const int code = error ? error->error_code : 0;
    return std::free(error), code;
  }

 private:
  xcb_connection_t* c_;
  xcb_window_t root_;
  std::vector<xcb_window_t> windows_;
};

// Runs Qt's event loop until `done` holds or `timeoutMs` pass; whether it held.
template <typename Predicate>
bool processEventsUntil(Predicate done, int timeoutMs = 3000) {
  QElapsedTimer timer;
  for (timer.start(); !done() && timer.elapsed() < timeoutMs;) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}
inline void processEventsFor(int ms) { processEventsUntil([] { return false; }, ms); }

}  // namespace vorlane::testing
