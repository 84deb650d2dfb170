#pragma once

// Where the program's own windows are on the screen, as the X server has them: its icon
// docked in trayer's panel and the menus it has open.

#include <sys/types.h>
#include <xcb/xcb.h>

#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/desktop_session.h"
#include "tests/support/x11_peer.h"

namespace vorlane::e2e {

// The windows right below `w`, from the bottom of the stack up.
inline std::vector<xcb_window_t> childrenOf(testing::X11Peer& x, xcb_window_t w) {
  const auto tree = testing::owned(xcb_query_tree_reply(x.c, xcb_query_tree(x.c, w), nullptr));
  if (!tree) return {};
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  return {children, children + xcb_query_tree_children_length(tree.get())};
}

inline bool ownedBy(testing::X11Peer& x, xcb_window_t w, pid_t pid) {
  const auto words = x.words(w, "_NET_WM_PID");
  return !words.empty() && words.front() == std::uint32_t(pid);
}

// Where `w` is on the screen; empty when the server no longer has it.
inline QRect areaOf(testing::X11Peer& x, xcb_window_t w) {
  const auto geometry =
      testing::owned(xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, w), nullptr));
  return geometry ? QRect(x.origin(w), QSize(geometry->width, geometry->height)) : QRect();
}

// Where on the screen a window of process `pid` sits docked in trayer: a small window shown
// inside trayer's panel. None when there is no such window.
inline std::optional<QRect> dockedIcon(const testing::DesktopSession& desktop, pid_t pid) {
  testing::X11Peer x(desktop.display().c_str());
  if (!x.ok()) return std::nullopt;
  const auto insideTrayer = [&](xcb_window_t w) {
    for (w = x.parent(w); w != x.root && w != XCB_WINDOW_NONE; w = x.parent(w)) {
      if (ownedBy(x, w, desktop.trayPid())) return true;
    }
    return false;
  };
  std::vector<xcb_window_t> pending{x.root};
  while (!pending.empty()) {
    const xcb_window_t w = pending.back();
    pending.pop_back();
    const auto children = childrenOf(x, w);
    pending.insert(pending.end(), children.begin(), children.end());
    if (!ownedBy(x, w, pid) || !x.viewable(w)) continue;
    const QRect area = areaOf(x, w);
    if (!area.isEmpty() && area.width() <= 64 && area.height() <= 64 && insideTrayer(w)) {
      return area;
    }
  }
  return std::nullopt;
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
  testing::X11Peer x(desktop.display().c_str());
  std::vector<OpenMenu> menus;
  if (!x.ok()) return menus;
  for (const xcb_window_t w : childrenOf(x, x.root)) {
    if (!ownedBy(x, w, pid)) continue;
    const auto attributes = testing::owned(
        xcb_get_window_attributes_reply(x.c, xcb_get_window_attributes(x.c, w), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
        !attributes->override_redirect ||
        x.holds(w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_TOOLTIP")) {
      continue;
    }
    if (const QRect area = areaOf(x, w); !area.isEmpty()) menus.push_back({w, area});
  }
  return menus;
}

}  // namespace vorlane::e2e
