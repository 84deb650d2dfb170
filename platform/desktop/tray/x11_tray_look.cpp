#include "platform/desktop/tray/x11_tray_look.h"

#include <QByteArray>
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "platform/desktop/tray/tray_colors.h"
#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {
namespace {

constexpr int largestSample = 64;

}  // namespace

int displayScreenNumber() {
  const QByteArray display = qgetenv("DISPLAY");
  const qsizetype dot = display.lastIndexOf('.');
  if (dot < 0 || dot < display.lastIndexOf(':')) return 0;
  bool ok = false;
  const int screen = display.mid(dot + 1).toInt(&ok);
  return ok && screen >= 0 ? screen : 0;
}

X11TrayLook::X11TrayLook(xcb_connection_t* connection, int screenNumber)
    : properties_(connection), screenNumber_(screenNumber) {}

xcb_window_t X11TrayLook::manager() {
  xcb_connection_t* c = properties_.connection();
  if (c == nullptr || xcb_connection_has_error(c)) return XCB_WINDOW_NONE;
  const xcb_atom_t selection =
      properties_.atom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber_));
  if (selection == XCB_ATOM_NONE) return XCB_WINDOW_NONE;
  XcbReply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
  if (!owner) return XCB_WINDOW_NONE;
  return owner->owner;
}

std::optional<QColor> X11TrayLook::foreground() {
  const xcb_window_t window = manager();
  if (window == XCB_WINDOW_NONE) return std::nullopt;
  const auto colors =
      properties_.words(window, properties_.atom("_NET_SYSTEM_TRAY_COLORS"), XCB_ATOM_CARDINAL, 12);
  return colors ? trayForegroundColor(*colors) : std::nullopt;
}

std::optional<QRect> X11TrayLook::placeOf(xcb_window_t window) {
  xcb_connection_t* c = properties_.connection();
  const xcb_window_t root = properties_.root();
  if (c == nullptr || xcb_connection_has_error(c) || root == XCB_WINDOW_NONE ||
      window == XCB_WINDOW_NONE) {
    return std::nullopt;
  }
  const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(c, window);
  const xcb_translate_coordinates_cookie_t placeCookie =
      xcb_translate_coordinates(c, window, root, 0, 0);
  XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
  XcbReply<xcb_translate_coordinates_reply_t> place(
      xcb_translate_coordinates_reply(c, placeCookie, nullptr));
  if (!geometry || !place) return std::nullopt;
  return QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
}

std::optional<QColor> X11TrayLook::background(const QRect& area) {
  xcb_connection_t* c = properties_.connection();
  const xcb_window_t root = properties_.root();
  if (c == nullptr || xcb_connection_has_error(c) || root == XCB_WINDOW_NONE) return std::nullopt;
  if (area.isEmpty() || area.x() < 0 || area.y() < 0) return std::nullopt;
  const int width = std::min(area.width(), largestSample);
  const int height = std::min(area.height(), largestSample);
  // The screen as shown, the panel under the icon included.
  XcbReply<xcb_generic_error_t> error;
  xcb_generic_error_t* raw = nullptr;
  XcbReply<xcb_get_image_reply_t> image(xcb_get_image_reply(
      c,
      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<std::int16_t>(area.x()),
                    static_cast<std::int16_t>(area.y()), static_cast<std::uint16_t>(width),
                    static_cast<std::uint16_t>(height), ~0u),
      &raw));
  error.reset(raw);
  // Only the usual true-colour form: 24 or 32 bits deep, 32 bits a pixel, in this host's
  // byte order (read as 0xRRGGBB words).
  if (!image || error || (image->depth != 24 && image->depth != 32)) return std::nullopt;
  const bool serverLittleEndian = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  if (serverLittleEndian != (std::endian::native == std::endian::little)) return std::nullopt;
  const int length = xcb_get_image_data_length(image.get());
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (length < 0 || static_cast<std::size_t>(length) != count * 4) return std::nullopt;
  std::vector<std::uint32_t> pixels(count);
  std::memcpy(pixels.data(), xcb_get_image_data(image.get()), count * 4);
  return dominantColor(pixels);
}

}  // namespace vorlane
