#pragma once

// A raw X connection of the test's own, standing in for the other applications: it makes a
// window below the mascot, reads properties, and takes screenshots.

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRect>

#include "tests/support/child_process.h"

namespace vorlane::testing {

template <typename T>
std::unique_ptr<T, void (*)(void*)> owned(T* reply) {
  return {reply, std::free};
}

struct X11Peer {
  xcb_connection_t* const c = xcb_connect(nullptr, nullptr);
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  ~X11Peer() { xcb_disconnect(c); }
  bool ok() const { return xcb_connection_has_error(c) == 0; }
  xcb_atom_t atom(const char* name) {
    const auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
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
  // A plain window of this client, unmanaged, filled with one colour, that hears clicks.
  xcb_window_t coloredWindow(QRect r, std::uint32_t pixel, bool overrideRedirect = true) {
    const xcb_window_t w = xcb_generate_id(c);
    const std::uint32_t values[] = {pixel, overrideRedirect ? 1u : 0u,
                                    XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, std::int16_t(r.x()), std::int16_t(r.y()),
                      std::uint16_t(r.width()), std::uint16_t(r.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    return w;
  }
  void sync() { owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
  // Where the window's top-left corner is on the root window.
  QPoint origin(xcb_window_t w) {
    const auto reply = owned(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr));
    return reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
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
      if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS &&
          reinterpret_cast<xcb_button_press_event_t*>(event)->event == w) {
        ++presses;
      }
      std::free(event);
    }
    return presses;
  }
  bool ownsSelection(const char* name) {
    const auto reply = owned(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom(name)), nullptr));
    return reply && reply->owner != XCB_WINDOW_NONE;
  }
};

// Runs Qt's event loop until `done` holds or `timeoutMs` pass; whether it held.
template <typename Predicate>
bool processEventsUntil(Predicate done, int timeoutMs = 5000) {
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

// Runs a command on the test's display while Qt keeps answering; whether it exited 0.
inline bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Until the window manager manages new windows: it has framed a probe window of ours.
inline bool waitForWindowManager() {
  X11Peer peer;
  if (!peer.ok()) return false;
  const xcb_window_t probe = peer.coloredWindow(QRect(0, 0, 10, 10), 0, false);
  xcb_map_window(peer.c, probe);
  peer.sync();
  return waitUntil([&] { return !peer.words(probe, "_NET_FRAME_EXTENTS").empty(); });
}

}  // namespace vorlane::testing
