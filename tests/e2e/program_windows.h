#pragma once

// Where the program's own windows are on the screen, as the X server has them: its icon
// docked in trayer's panel and the menus it has open.

#include <sys/types.h>
#include <xcb/xcb.h>

#include <QRect>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/desktop_session.h"

namespace vorlane::e2e {

inline xcb_atom_t atomNamed(xcb_connection_t* c, const std::string& name) {
  auto* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.c_str()), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// The 32-bit value of a property, or none.
inline std::optional<std::uint32_t> cardinal(xcb_connection_t* c, xcb_window_t w,
                                             xcb_atom_t property) {
  auto* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, w, property, XCB_ATOM_CARDINAL, 0, 1), nullptr);
  std::optional<std::uint32_t> value;
  if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
    value = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  return value;
}

// Where on the screen a window of process `pid` sits docked in trayer: a small window shown
// inside trayer's panel. None when there is no such window.
inline std::optional<QRect> dockedIcon(const testing::DesktopSession& desktop, pid_t pid) {
  xcb_connection_t* c = xcb_connect(desktop.display().c_str(), nullptr);
  std::optional<QRect> found;
  if (xcb_connection_has_error(c) == 0) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pidAtom = atomNamed(c, "_NET_WM_PID");
    // Whether `w` or a window above it is trayer's.
    const auto insideTrayer = [&](xcb_window_t w) {
      while (w != root && w != XCB_WINDOW_NONE) {
        auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
        if (tree == nullptr) return false;
        const xcb_window_t parent = tree->parent;
        std::free(tree);
        if (cardinal(c, parent, pidAtom) == std::uint32_t(desktop.trayPid())) return true;
        w = parent;
      }
      return false;
    };
    std::vector<xcb_window_t> pending{root};
    while (!pending.empty() && !found) {
      const xcb_window_t w = pending.back();
      pending.pop_back();
      auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
      if (tree != nullptr) {
        const auto* children = xcb_query_tree_children(tree);
        pending.insert(pending.end(), children, children + xcb_query_tree_children_length(tree));
        std::free(tree);
      }
      if (cardinal(c, w, pidAtom) != std::uint32_t(pid)) continue;
      auto* attributes =
          xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
      auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
      auto* place =
          xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr);
      if (attributes != nullptr && geometry != nullptr && place != nullptr &&
          attributes->map_state == XCB_MAP_STATE_VIEWABLE && geometry->width <= 64 &&
          geometry->height <= 64 && insideTrayer(w)) {
        found = QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
      }
      std::free(attributes);
      std::free(geometry);
      std::free(place);
    }
  }
  xcb_disconnect(c);
  return found;
}

// A menu shown on the screen: its X window and where it is.
struct OpenMenu {
  std::uint32_t window = 0;
  QRect area;
};

// The menus process `pid` shows now, stacked from the bottom up: a submenu comes after the
// menu it opened from. A menu is a window shown right on the root window, with no window
// manager's frame; Qt gives a menu without a parent the normal window type, so only its
// tooltips, the other such windows, are told apart by their type.
inline std::vector<OpenMenu> openMenus(const testing::DesktopSession& desktop, pid_t pid) {
  xcb_connection_t* c = xcb_connect(desktop.display().c_str(), nullptr);
  std::vector<OpenMenu> menus;
  if (xcb_connection_has_error(c) == 0) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pidAtom = atomNamed(c, "_NET_WM_PID");
    const xcb_atom_t typeAtom = atomNamed(c, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t toolTip = atomNamed(c, "_NET_WM_WINDOW_TYPE_TOOLTIP");
    const auto isToolTip = [&](xcb_window_t w) {
      auto* reply = xcb_get_property_reply(
          c, xcb_get_property(c, 0, w, typeAtom, XCB_ATOM_ATOM, 0, 16), nullptr);
      bool found = false;
      if (reply != nullptr && reply->format == 32) {
        const auto* types = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const auto count = xcb_get_property_value_length(reply) / 4;
        found = std::find(types, types + count, toolTip) != types + count;
      }
      std::free(reply);
      return found;
    };
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    const xcb_window_t* children = tree != nullptr ? xcb_query_tree_children(tree) : nullptr;
    for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
      const xcb_window_t w = children[i];
      if (cardinal(c, w, pidAtom) != std::uint32_t(pid)) continue;
      auto* attributes =
          xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
      auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
      if (attributes != nullptr && geometry != nullptr &&
          attributes->map_state == XCB_MAP_STATE_VIEWABLE && attributes->override_redirect &&
          !isToolTip(w)) {
        menus.push_back({w, QRect(geometry->x, geometry->y, geometry->width, geometry->height)});
      }
      std::free(attributes);
      std::free(geometry);
    }
    std::free(tree);
  }
  xcb_disconnect(c);
  return menus;
}

}  // namespace vorlane::e2e
