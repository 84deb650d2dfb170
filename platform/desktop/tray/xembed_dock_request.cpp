#include "platform/desktop/tray/xembed_dock_request.h"

#include <array>
#include <cstdint>
#include <string>

#include "platform/desktop/windows/x11_properties.h"
#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {
namespace {

constexpr std::uint32_t systemTrayRequestDock = 0;
constexpr std::uint32_t xembedVersion = 0;
constexpr std::uint32_t xembedMapped = 1;
// WM_SIZE_HINTS (ICCCM 4.1.2.3): flags, four unused words, the minimum size at 5 and 6, the
// base size at 15 and 16.
constexpr std::size_t wmSizeHintsWords = 18;
constexpr std::uint32_t minimumSizeFlag = 1u << 4;
constexpr std::uint32_t baseSizeFlag = 1u << 8;

}  // namespace

bool requestXEmbedDock(xcb_connection_t* connection, int screenNumber, xcb_window_t icon,
                       int size) {
  if (connection == nullptr || xcb_connection_has_error(connection) || icon == XCB_WINDOW_NONE) {
    return false;
  }
  X11Properties properties(connection);
  const xcb_atom_t selection = properties.atom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
  const xcb_atom_t opcode = properties.atom("_NET_SYSTEM_TRAY_OPCODE");
  const xcb_atom_t info = properties.atom("_XEMBED_INFO");
  if (selection == XCB_ATOM_NONE || opcode == XCB_ATOM_NONE || info == XCB_ATOM_NONE) {
    return false;
  }
  const auto owner = owned(xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, selection), nullptr));
  if (!owner || owner->owner == XCB_WINDOW_NONE) return false;

  const std::array<std::uint32_t, 2> embedding{xembedVersion, xembedMapped};
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, icon, info, info, 32, embedding.size(),
                      embedding.data());
  // Trays size an icon by its hints as they embed it (one pixel without any); the toolkit
  // sets them only once the window is shown, after this request.
  std::array<std::uint32_t, wmSizeHintsWords> hints{};
  hints[0] = minimumSizeFlag | baseSizeFlag;
  hints[5] = hints[6] = hints[15] = hints[16] = static_cast<std::uint32_t>(size);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, icon, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
  // Where the icon draws nothing the panel shows through, on trays without a visual of
  // their own for icons.
  const std::uint32_t parentRelative = XCB_BACK_PIXMAP_PARENT_RELATIVE;
  xcb_change_window_attributes(connection, icon, XCB_CW_BACK_PIXMAP, &parentRelative);

  xcb_client_message_event_t request{};
  request.response_type = XCB_CLIENT_MESSAGE;
  request.format = 32;
  request.window = owner->owner;
  request.type = opcode;
  request.data.data32[0] = XCB_CURRENT_TIME;
  request.data.data32[1] = systemTrayRequestDock;
  request.data.data32[2] = icon;
  xcb_send_event(connection, 0, owner->owner, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&request));
  xcb_flush(connection);
  return true;
}

void clearToBackground(xcb_connection_t* connection, xcb_window_t window) {
  if (connection == nullptr || xcb_connection_has_error(connection)) return;
  xcb_clear_area(connection, 0, window, 0, 0, 0, 0);
  xcb_flush(connection);
}

}  // namespace vorlane
