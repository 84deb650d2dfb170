#include "platform/desktop/windows/x11_properties.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {

namespace {

std::uint32_t longsFor(std::uint32_t bytes) { return (bytes + 3) / 4; }

}  // namespace

X11Properties::X11Properties(xcb_connection_t* connection) : connection_(connection) {
  if (connection_ == nullptr || xcb_connection_has_error(connection_)) return;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  if (it.rem > 0) root_ = it.data->root;
}

xcb_atom_t X11Properties::atom(const std::string& name) {
  if (auto found = atoms_.find(name); found != atoms_.end()) return found->second;
  if (connection_ == nullptr || xcb_connection_has_error(connection_)) return XCB_ATOM_NONE;
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data());
  XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
  if (!reply) return XCB_ATOM_NONE;
  atoms_.emplace(name, reply->atom);
  return reply->atom;
}

xcb_get_property_cookie_t X11Properties::requestWords(xcb_window_t window, xcb_atom_t property,
                                                      xcb_atom_t type, std::uint32_t maxItems) {
  return xcb_get_property(connection_, 0, window, property, type, 0, maxItems);
}

std::optional<std::vector<std::uint32_t>> X11Properties::wordsReply(
    xcb_get_property_cookie_t cookie, xcb_atom_t type) {
  XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr));
  if (!reply || reply->type != type || reply->format != 32) return std::nullopt;
  const int length = xcb_get_property_value_length(reply.get());
  if (length <= 0 || length % 4 != 0) return std::nullopt;
  std::vector<std::uint32_t> items(static_cast<std::size_t>(length) / 4);
  std::memcpy(items.data(), xcb_get_property_value(reply.get()), items.size() * 4);
  return items;
}

std::optional<std::vector<std::uint32_t>> X11Properties::words(xcb_window_t window,
                                                               xcb_atom_t property, xcb_atom_t type,
                                                               std::uint32_t maxItems) {
  if (connection_ == nullptr || xcb_connection_has_error(connection_)) return std::nullopt;
  if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return std::nullopt;
  return wordsReply(requestWords(window, property, type, maxItems), type);
}

std::optional<std::uint32_t> X11Properties::word(xcb_window_t window, xcb_atom_t property,
                                                 xcb_atom_t type) {
  const auto items = words(window, property, type, 1);
  if (!items || items->empty()) return std::nullopt;
  return items->front();
}

std::optional<std::string> X11Properties::bytes(xcb_window_t window, xcb_atom_t property,
                                                xcb_atom_t type, std::uint32_t maxBytes) {
  if (connection_ == nullptr || xcb_connection_has_error(connection_)) return std::nullopt;
  if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return std::nullopt;
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection_, 0, window, property, type, 0, longsFor(maxBytes));
  XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr));
  if (!reply || reply->type != type || reply->format != 8) return std::nullopt;
  const int length = xcb_get_property_value_length(reply.get());
  if (length <= 0) return std::nullopt;
  const auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
  return std::string(data, std::min<std::size_t>(static_cast<std::size_t>(length), maxBytes));
}

}  // namespace vorlane
