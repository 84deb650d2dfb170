#include "ui/mascot_window/screen_change_watcher.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/windows/xcb_reply.h"

namespace vorlane {

ScreenChangeWatcher::ScreenChangeWatcher(QObject* parent) : QObject(parent) {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr) return;
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
    watch(screen);
    emit changed();
  });
  connect(app, &QGuiApplication::screenRemoved, this, &ScreenChangeWatcher::changed);
  connect(app, &QGuiApplication::primaryScreenChanged, this, &ScreenChangeWatcher::changed);
  watchWorkspaces();
}

ScreenChangeWatcher::~ScreenChangeWatcher() {
  if (root_ != 0 && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

void ScreenChangeWatcher::watch(QScreen* screen) {
  connect(screen, &QScreen::geometryChanged, this, &ScreenChangeWatcher::changed);
  connect(screen, &QScreen::availableGeometryChanged, this, &ScreenChangeWatcher::changed);
}

void ScreenChangeWatcher::watchWorkspaces() {
  xcb_connection_t* c = SystemEnvironment::qtConnection();
  if (c == nullptr) return;  // no X: no workspaces to follow
  const auto screen = xcb_setup_roots_iterator(xcb_get_setup(c));
  if (screen.rem == 0) return;
  const char name[] = "_NET_CURRENT_DESKTOP";
  const auto atom =
      owned(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr));
  if (!atom) return;
  root_ = screen.data->root;
  currentDesktop_ = atom->atom;
  // Qt already hears the root's property changes (the work area); make sure without
  // dropping any event it asked for.
  const auto attributes =
      owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root_), nullptr));
  if (attributes && (attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE) == 0) {
    const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
  }
  QCoreApplication::instance()->installNativeEventFilter(this);
}

bool ScreenChangeWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || message == nullptr) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
  const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
  if (root_ != 0 && notify->window == root_ && notify->atom == currentDesktop_) {
    // Inside Qt's event dispatch: the column is laid out once it is done.
    QMetaObject::invokeMethod(this, &ScreenChangeWatcher::changed, Qt::QueuedConnection);
  }
  return false;
}

}  // namespace vorlane
