#pragma once

// A raw X connection of the test's own, standing in for the window manager and the other
// applications: it makes windows, sets and reads properties, grabs and types keys.

#include <unistd.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace vorlane::testing {

template <typename T>
std::unique_ptr<T, void (*)(void*)> owned(T* reply) {
  return {reply, std::free};
}

struct X11Peer {
  // On the display named by DISPLAY, or on `display`.
  X11Peer() : X11Peer(nullptr) {}
  explicit X11Peer(const char* display)
      : c(xcb_connect(display, nullptr)),
        root(ok() ? xcb_setup_roots_iterator(xcb_get_setup(c)).data->root
                  : xcb_window_t(XCB_WINDOW_NONE)) {}
  X11Peer(const X11Peer&) = delete;
  X11Peer& operator=(const X11Peer&) = delete;

  xcb_connection_t* const c;
  const xcb_window_t root;
  ~X11Peer() { xcb_disconnect(c); }  // the server destroys this client's windows and grabs
  bool ok() const { return xcb_connection_has_error(c) == 0; }
  xcb_atom_t atom(const char* name) {
    const auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  }
  // A window of this client filled with one colour that hears clicks; unmanaged by default.
  xcb_window_t coloredWindow(QRect r, std::uint32_t pixel, bool overrideRedirect = true) {
    const xcb_window_t w = xcb_generate_id(c);
    const std::uint32_t values[] = {pixel, overrideRedirect ? 1u : 0u, XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, std::int16_t(r.x()), std::int16_t(r.y()),
                      std::uint16_t(r.width()), std::uint16_t(r.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    return w;
  }
  // Another application's window under the whole screen, filled with `pixel`: unmanaged, so
  // no window manager grabs its clicks, and at the bottom of the stack.
  xcb_window_t backdrop(std::uint32_t pixel) {
    const xcb_window_t w = coloredWindow(QRect(0, 0, 1280, 800), pixel);
    xcb_map_window(c, w);
    const std::uint32_t bottom = XCB_STACK_MODE_BELOW;
    xcb_configure_window(c, w, XCB_CONFIG_WINDOW_STACK_MODE, &bottom);
    sync();
    return w;
  }
  // Sets a property of 32-bit words, or (with `bytes`) of 8-bit bytes, and waits for the server.
  void set(xcb_window_t w, const char* property, xcb_atom_t type,
           const std::vector<std::uint32_t>& words, const std::string& bytes = {}) {
    const bool eight = !bytes.empty();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(property), type, eight ? 8 : 32,
                        std::uint32_t(eight ? bytes.size() : words.size()),
                        eight ? static_cast<const void*>(bytes.data()) : words.data());
    sync();
  }
  void remove(xcb_window_t w, const char* property) {
    xcb_delete_property(c, w, atom(property));
    sync();
  }
  std::vector<std::uint32_t> words(xcb_window_t w, const char* property) {
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(data, data + xcb_get_property_value_length(reply.get()) / 4);
  }
  bool holds(xcb_window_t w, const char* property, const char* value) {
    for (std::uint32_t word : words(w, property)) {
      if (word == atom(value)) return true;
    }
    return false;
  }
  // Returns once the server has handled everything sent so far.
  void sync() { roundTrip(c); }
  // The same for another client's connection (Qt's, say).
  static void roundTrip(xcb_connection_t* other) {
    if (other != nullptr)
      owned(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
  }
  // Where the window's top-left corner is on the root window.
  QPoint origin(xcb_window_t w) {
    const auto reply = owned(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr));
    return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
  }
  // The rectangles of a window's input shape, as the X server holds them (the whole window
  // when none was set).
  std::vector<QRect> inputShape(xcb_window_t w) { return shape(w, XCB_SHAPE_SK_INPUT); }
  // The same for the shape it is drawn in, which bounds its input too.
  std::vector<QRect> boundingShape(xcb_window_t w) { return shape(w, XCB_SHAPE_SK_BOUNDING); }
  std::vector<QRect> shape(xcb_window_t w, xcb_shape_sk_t kind) {
    const auto reply =
        owned(xcb_shape_get_rectangles_reply(c, xcb_shape_get_rectangles(c, w, kind), nullptr));
    if (!reply) return {QRect()};
    const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(reply.get());
    std::vector<QRect> shape;
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply.get()); ++i) {
      shape.emplace_back(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    }
    return shape;
  }
  // The window manager's frame around `w`, or the root when none holds it.
  xcb_window_t parent(xcb_window_t w) {
    const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
    return tree ? tree->parent : root;
  }
  // Whether a click at the desktop point `global` goes to `w`: its input and bounding shapes
  // hold the point, and so do those of the window manager's frame, which copies the shapes
  // once it hears of them.
  bool takesClicksAt(xcb_window_t w, QPoint global) {
    const auto takes = [&](xcb_window_t window) {
      const QPoint local = global - origin(window);
      const auto holds = [&](const std::vector<QRect>& rects) {
        return std::ranges::any_of(rects, [&](const QRect& r) { return r.contains(local); });
      };
      return holds(inputShape(window)) && holds(boundingShape(window));
    };
    const xcb_window_t frame = parent(w);
    return takes(w) && (frame == root || takes(frame));
  }
  bool viewable(xcb_window_t w) {
    const auto reply =
        owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
  }
  xcb_window_t focus() {
    const auto reply = owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return reply ? reply->focus : xcb_window_t(XCB_WINDOW_NONE);
  }
  // Button presses that reached `w` since the last call.
  int pressesOn(xcb_window_t w) {
    int presses = 0;
    while (auto* event = xcb_poll_for_event(c)) {
      presses += (event->response_type & 0x7f) == XCB_BUTTON_PRESS &&
                 reinterpret_cast<xcb_button_press_event_t*>(event)->event == w;
      std::free(event);
    }
    return presses;
  }
  bool ownsSelection(const char* name) {
    const auto reply =
        owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom(name)), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
  }
  // Starts xcompmgr on this display; empty when it never took the compositing selection.
  std::unique_ptr<ChildProcess> startCompositor() {
    auto compositor = std::make_unique<ChildProcess>(std::vector<std::string>{"xcompmgr"}, false);
    if (!waitUntil([&] { return ownsSelection("_NET_WM_CM_S0"); })) return nullptr;
    return compositor;
  }
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
bool processEventsUntil(Predicate done, int timeoutMs = 20000) {
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

// Until Qt has handled every X event the server sent it so far, and the window system events
// it made of them have been delivered: the peer changes a property of `w`, a window of Qt's,
// and Qt hears of the change after all of them. Whether it did.
inline bool qtHasHandledEventsSoFar(X11Peer& peer, xcb_window_t w) {
  struct MarkerFilter final : QAbstractNativeEventFilter {
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_atom_t atom = XCB_ATOM_NONE;
    bool seen = false;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
      if (type != "xcb_generic_event_t") return false;
      const auto* event = static_cast<const xcb_generic_event_t*>(message);
      if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        seen |= change->window == window && change->atom == atom;
      }
      return false;
    }
  } marker;
  marker.window = w;
  marker.atom = peer.atom("_VORLANE_TEST_MARKER");
  QCoreApplication::instance()->installNativeEventFilter(&marker);
  static std::uint32_t count = 0;
  peer.set(w, "_VORLANE_TEST_MARKER", XCB_ATOM_CARDINAL, {++count});
  const bool seen = processEventsUntil([&] { return marker.seen; });
  QCoreApplication::instance()->removeNativeEventFilter(&marker);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  return seen;
}

// Runs a command on the test's display while Qt keeps answering; whether it exited 0.
inline bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Until the window manager manages new windows: it has framed a probe window of ours.
inline bool waitForWindowManager() {
  X11Peer peer;
  if (!peer.ok()) return false;
  const xcb_window_t probe = peer.coloredWindow(QRect(0, 0, 10, 10), 0, false);
  xcb_map_window(peer.c, probe);
  peer.sync();
  // Under load openbox may sit on a new window until another X event comes: a change of a
  // root property nobody reads is one.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (std::uint32_t nudge = 0; std::chrono::steady_clock::now() < deadline; ++nudge) {
    if (waitUntil([&] { return !peer.words(probe, "_NET_FRAME_EXTENTS").empty(); },
                  std::chrono::milliseconds(500))) {
      return true;
    }
    peer.set(peer.root, "_VORLANE_TEST_NUDGE", XCB_ATOM_CARDINAL, {nudge});
  }
  return false;
}

}  // namespace vorlane::testing
