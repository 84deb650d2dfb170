#include "ui/mascot_window/x11_shape.h"

#include <xcb/shape.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane::x11shape {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const std::string& name) {
  const auto reply = owned(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.c_str()), nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<xcb_rectangle_t> xcbRects(const auto& rects) {
  std::vector<xcb_rectangle_t> out;
  for (const QRect& r : rects) {
    if (r.isEmpty()) continue;
    out.push_back(xcb_rectangle_t{std::int16_t(r.x()), std::int16_t(r.y()),
                                  std::uint16_t(r.width()), std::uint16_t(r.height())});
  }
  return out;
}

void setRects(xcb_connection_t* c, xcb_shape_kind_t kind, xcb_window_t window,
              const std::vector<xcb_rectangle_t>& rects) {
  xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
                       std::uint32_t(rects.size()), rects.data());
  xcb_flush(c);
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
  const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
  return tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
}

void sendState(xcb_connection_t* c, xcb_window_t window, xcb_window_t root, xcb_atom_t first,
               xcb_atom_t second) {
  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof event);
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = atom(c, "_NET_WM_STATE");
  event.data.data32[0] = 1;  // add
  event.data.data32[1] = first;
  event.data.data32[2] = second;
  event.data.data32[3] = 1;  // from an application
  xcb_send_event(c, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
}

}  // namespace

void setInputRects(xcb_connection_t* c, xcb_window_t window, const QVector<QRect>& rects) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return;
  setRects(c, XCB_SHAPE_SK_INPUT, window, xcbRects(rects));
}

void setBoundingRegion(xcb_connection_t* c, xcb_window_t window,
                       const std::optional<QRegion>& region, xcb_window_t frame) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return;
  // The frame is the window manager's and may be gone already: its errors are dropped.
  if (!region) {
    xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window, 0, 0, XCB_NONE);
    if (frame != XCB_WINDOW_NONE) {
      xcb_discard_reply(c, xcb_shape_mask_checked(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, frame,
                                                  0, 0, XCB_NONE)
                               .sequence);
    }
    xcb_flush(c);
    return;
  }
  const auto rects = xcbRects(*region);
  const auto shapeFrame = [&](xcb_shape_op_t op) {
    xcb_discard_reply(
        c, xcb_shape_rectangles_checked(c, op, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                                        frame, 0, 0, std::uint32_t(rects.size()), rects.data())
               .sequence);
  };
  // What the window leaves is cut from the frame before the window, and what it gains is
  // added to the frame after it: the frame's background never shows on its own.
  if (frame != XCB_WINDOW_NONE) shapeFrame(XCB_SHAPE_SO_INTERSECT);
  xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                       window, 0, 0, std::uint32_t(rects.size()), rects.data());
  if (frame != XCB_WINDOW_NONE) shapeFrame(XCB_SHAPE_SO_SET);
  xcb_flush(c);
}

std::optional<QRegion> boundingRegion(xcb_connection_t* c, xcb_window_t window) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return std::nullopt;
  const auto extentsCookie = xcb_shape_query_extents(c, window);
  const auto rectanglesCookie = xcb_shape_get_rectangles(c, window, XCB_SHAPE_SK_BOUNDING);
  const auto extents = owned(xcb_shape_query_extents_reply(c, extentsCookie, nullptr));
  const auto rectangles = owned(xcb_shape_get_rectangles_reply(c, rectanglesCookie, nullptr));
  if (!extents || !rectangles || !extents->bounding_shaped) return std::nullopt;
  QRegion region;
  const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(rectangles.get());
  const int count = xcb_shape_get_rectangles_rectangles_length(rectangles.get());
  for (int i = 0; i < count; ++i) {
    region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
  }
  return region;
}

xcb_window_t bareFrame(xcb_connection_t* c, xcb_window_t window) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return XCB_WINDOW_NONE;
  const auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
  if (!tree || tree->parent == XCB_WINDOW_NONE || tree->parent == tree->root) {
    return XCB_WINDOW_NONE;
  }
  const auto own = xcb_get_geometry(c, window);
  const auto parent = xcb_get_geometry(c, tree->parent);
  const auto ownGeometry = owned(xcb_get_geometry_reply(c, own, nullptr));
  const auto frameGeometry = owned(xcb_get_geometry_reply(c, parent, nullptr));
  if (!ownGeometry || !frameGeometry || ownGeometry->x != 0 || ownGeometry->y != 0 ||
      ownGeometry->border_width != 0 || ownGeometry->width != frameGeometry->width ||
      ownGeometry->height != frameGeometry->height) {
    return XCB_WINDOW_NONE;
  }
  return tree->parent;
}

bool compositorPresent(xcb_connection_t* c, xcb_window_t window) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return false;
  const xcb_window_t root = rootOf(c, window);
  int number = 0;
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it)) {
    if (it.data->root == root) break;
    ++number;
  }
  const xcb_atom_t selection = atom(c, "_NET_WM_CM_S" + std::to_string(number));
  if (selection == XCB_ATOM_NONE) return false;
  const auto owner =
      owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
  return owner && owner->owner != XCB_WINDOW_NONE;
}

void setAllWorkspacesBeforeMapping(xcb_connection_t* c, xcb_window_t window) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return;
  const std::uint32_t all = 0xFFFFFFFF;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_DESKTOP"),
                      XCB_ATOM_CARDINAL, 32, 1, &all);
  xcb_flush(c);
}

void requestStickyState(xcb_connection_t* c, xcb_window_t window) {
  if (c == nullptr || window == XCB_WINDOW_NONE) return;
  const xcb_window_t root = rootOf(c, window);
  if (root == XCB_WINDOW_NONE) return;
  sendState(c, window, root, atom(c, "_NET_WM_STATE_STICKY"),
            atom(c, "_NET_WM_STATE_SKIP_TASKBAR"));
  sendState(c, window, root, atom(c, "_NET_WM_STATE_SKIP_PAGER"), XCB_ATOM_NONE);
  xcb_flush(c);
}

}  // namespace vorlane::x11shape
