#include "platform/desktop/tray/xembed_tray_watch.h"

#include <xcb/xfixes.h>

#include <QByteArray>
#include <QCoreApplication>
#include <string>

#include "platform/desktop/windows/xcb_reply.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

xcb_window_t rootOf(xcb_connection_t* c, int screenNumber) {
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  return screens.rem > 0 ? screens.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

}  // namespace

XEmbedTrayWatch::XEmbedTrayWatch(xcb_connection_t* c, int screenNumber,
                                 std::function<void()> changed)
    : changed_(std::move(changed)) {
  if (c == nullptr || xcb_connection_has_error(c) != 0) return;
  root_ = rootOf(c, screenNumber);
  if (root_ == XCB_WINDOW_NONE) return;
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber);
  const auto atomCookie = xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.c_str());
  xcb_prefetch_extension_data(c, &xcb_xfixes_id);
  const auto atom = owned(xcb_intern_atom_reply(c, atomCookie, nullptr));
  if (!atom) return;
  selection_ = atom->atom;
  const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
  // The highest version this library knows, as Qt asks on the same connection: the server
  // keeps the last version a client asked for, and a lower one would refuse Qt's requests.
  if (xfixes != nullptr && xfixes->present != 0 &&
      owned(xcb_xfixes_query_version_reply(
          c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
          nullptr))) {
    selectionNotify_ = std::uint8_t(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    // Asked for before the owner is read, so that no change falls between the two.
    xcb_xfixes_select_selection_input(c, root_, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    QCoreApplication::instance()->installNativeEventFilter(this);
  } else {
    Log::presentation().error("no XFixes on this X server: an XEmbed tray is looked for once");
  }
  const auto owner =
      owned(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection_), nullptr));
  owner_ = owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

XEmbedTrayWatch::~XEmbedTrayWatch() {
  if (selectionNotify_ != 0 && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

bool XEmbedTrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (selectionNotify_ == 0 || eventType != QByteArrayLiteral("xcb_generic_event_t")) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != selectionNotify_) return false;
  const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
  if (notify->window != root_ || notify->selection != selection_) return false;
  // Events come in the server's order: the last one tells the owner now.
  const bool was = isAvailable();
  owner_ = notify->owner;
  if (isAvailable() != was && changed_) changed_();
  return false;  // others may follow the same selection
}

}  // namespace vorlane
