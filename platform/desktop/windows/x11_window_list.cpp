#include "platform/desktop/windows/x11_window_list.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {

namespace {

// More windows than any desktop shows; a larger list is read in part, never whole.
constexpr std::uint32_t maxWindows = 4096;
constexpr std::uint32_t maxAtoms = 64;

bool contains(const std::optional<std::vector<std::uint32_t>>& items, xcb_atom_t atom) {
  return items && atom != XCB_ATOM_NONE &&
         std::find(items->begin(), items->end(), atom) != items->end();
}

}  // namespace

X11WindowList::X11WindowList(xcb_connection_t* connection) : properties_(connection) {}

std::optional<WindowFrame> X11WindowList::frame(xcb_window_t window) {
  xcb_connection_t* c = properties_.connection();
  if (c == nullptr || xcb_connection_has_error(c)) return std::nullopt;
  const auto geometryCookie = xcb_get_geometry(c, window);
  const auto translateCookie = xcb_translate_coordinates(c, window, properties_.root(), 0, 0);
  XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
  XcbReply<xcb_translate_coordinates_reply_t> origin(
      xcb_translate_coordinates_reply(c, translateCookie, nullptr));
  if (!geometry || !origin) return std::nullopt;

  WindowFrame result{double(origin->dst_x), double(origin->dst_y), double(geometry->width),
                     double(geometry->height)};
  // left, right, top, bottom decorations drawn by the window manager
  const auto extents =
      properties_.words(window, properties_.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
  if (extents && extents->size() == 4) {
    const auto& e = *extents;
    result.x -= e[0];
    result.y -= e[2];
    result.width += double(e[0]) + e[1];
    result.height += double(e[2]) + e[3];
  }
  return result;
}

std::vector<WindowFacts> X11WindowList::fullscreenCandidates() {
  std::vector<WindowFacts> result;
  xcb_connection_t* c = properties_.connection();
  if (c == nullptr || xcb_connection_has_error(c)) return result;
  const auto windows =
      properties_.words(properties_.root(), properties_.atom("_NET_CLIENT_LIST_STACKING"),
                        XCB_ATOM_WINDOW, maxWindows);
  if (!windows) return result;

  const xcb_atom_t stateAtom = properties_.atom("_NET_WM_STATE");
  const xcb_atom_t fullscreen = properties_.atom("_NET_WM_STATE_FULLSCREEN");
  const xcb_atom_t hidden = properties_.atom("_NET_WM_STATE_HIDDEN");
  const xcb_atom_t typeAtom = properties_.atom("_NET_WM_WINDOW_TYPE");
  const xcb_atom_t normal = properties_.atom("_NET_WM_WINDOW_TYPE_NORMAL");
  const xcb_atom_t pidAtom = properties_.atom("_NET_WM_PID");
  if (stateAtom == XCB_ATOM_NONE || fullscreen == XCB_ATOM_NONE) return result;

  // One round trip for every window's state, then details only for full-screen ones.
  std::vector<xcb_get_property_cookie_t> cookies;
  cookies.reserve(windows->size());
  for (const std::uint32_t window : *windows) {
    cookies.push_back(properties_.requestWords(window, stateAtom, XCB_ATOM_ATOM, maxAtoms));
  }
  for (std::size_t i = 0; i < windows->size(); ++i) {
    const auto state = properties_.wordsReply(cookies[i], XCB_ATOM_ATOM);
    if (!contains(state, fullscreen)) continue;
    const xcb_window_t window = (*windows)[i];

    WindowFacts facts;
    facts.isFullscreenState = true;
    facts.isHidden = contains(state, hidden);
    if (const auto pid = properties_.word(window, pidAtom, XCB_ATOM_CARDINAL)) facts.pid = *pid;
    const auto types = properties_.words(window, typeAtom, XCB_ATOM_ATOM, maxAtoms);
    facts.isNormalType = !types || contains(types, normal);
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    facts.isViewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    facts.frame = frame(window);
    result.push_back(facts);
  }
  return result;
}

}  // namespace vorlane
