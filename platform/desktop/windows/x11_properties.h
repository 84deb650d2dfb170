#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// Reads window properties over one X connection, checking the type, format and length of
// every reply: a property of another type or format reads as absent, never as garbage.
// Atoms are interned once per name. The connection is borrowed and must outlive this.
class X11Properties {
 public:
  explicit X11Properties(xcb_connection_t* connection);

  xcb_connection_t* connection() const { return connection_; }
  // The connection's first screen's root window; XCB_WINDOW_NONE when the setup lists none.
  xcb_window_t root() const { return root_; }

  // The atom of `name`; XCB_ATOM_NONE when the server did not answer.
  xcb_atom_t atom(const std::string& name);

  // The 32-bit items of a property of type `type`, at most `maxItems`. None when the
  // property is absent, of another type or format, or empty.
  std::optional<std::vector<std::uint32_t>> words(xcb_window_t window, xcb_atom_t property,
                                                  xcb_atom_t type, std::uint32_t maxItems);
  // The bytes of an 8-bit property of type `type`, at most `maxBytes`.
  std::optional<std::string> bytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                   std::uint32_t maxBytes);

  // The one 32-bit value of a property, when it holds at least one.
  std::optional<std::uint32_t> word(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

  // Sends the request without waiting; see `wordsReply`.
  xcb_get_property_cookie_t requestWords(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                         std::uint32_t maxItems);
  std::optional<std::vector<std::uint32_t>> wordsReply(xcb_get_property_cookie_t cookie,
                                                       xcb_atom_t type);

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  std::map<std::string, xcb_atom_t> atoms_;
};

}  // namespace vorlane
