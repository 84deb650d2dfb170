#pragma once

// A raw X connection of the test's own, standing in for the window manager and the other
// applications: it creates windows, sets the EWMH properties, grabs and types keys.

#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::testing {

template <typename T>
std::unique_ptr<T, void (*)(void*)> owned(T* reply) {
  return {reply, std::free};
}

struct X11Peer {
  xcb_connection_t* const c = xcb_connect(nullptr, nullptr);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  ~X11Peer() { xcb_disconnect(c); }  // the server destroys this client's windows and grabs
  bool ok() const { return xcb_connection_has_error(c) == 0; }
  xcb_atom_t atom(const char* name) {
    const auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  }
  xcb_window_t window(std::int16_t x, std::int16_t y, std::uint16_t width, std::uint16_t height) {
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, x, y, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    return w;
  }
  // Sets a property of 32-bit words, or (with `bytes`) of 8-bit bytes, and waits for the server.
  void set(xcb_window_t w, const char* property, xcb_atom_t type,
           const std::vector<std::uint32_t>& words, const std::string& bytes = {}) {
    if (bytes.empty()) {
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(property), type, 32,
                          std::uint32_t(words.size()), words.data());
    } else {
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(property), type, 8,
                          std::uint32_t(bytes.size()), bytes.data());
    }
    sync();
  }
  void remove(xcb_window_t w, const char* property) {
    xcb_delete_property(c, w, atom(property));
    sync();
  }
  // Returns once the server has handled everything sent so far.
  void sync() { owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
  xcb_keycode_t keycode(xcb_keysym_t keysym) {
    const auto symbols = std::unique_ptr<xcb_key_symbols_t, void (*)(xcb_key_symbols_t*)>(
        xcb_key_symbols_alloc(c), xcb_key_symbols_free);
    const auto codes = owned(xcb_key_symbols_get_keycode(symbols.get(), keysym));
    return codes ? codes.get()[0] : 0;
  }
  void key(xcb_keysym_t keysym, bool press) {
    xcb_test_fake_input(c, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(keysym),
                        XCB_CURRENT_TIME, root, 0, 0, 0);
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
    const auto error =
        owned(xcb_request_check(c, xcb_grab_key_checked(c, 1, root, modifiers, keycode(keysym),
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    return error ? error->error_code : 0;
  }
};

// Runs Qt's event loop until `done` holds or `timeoutMs` pass; whether it held.
template <typename Predicate>
bool processEventsUntil(Predicate done, int timeoutMs = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}
inline void processEventsFor(int ms) {
  processEventsUntil([] { return false; }, ms);
}

}  // namespace vorlane::testing
