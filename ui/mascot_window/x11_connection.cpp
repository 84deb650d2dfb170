#include "ui/mascot_window/x11_connection.h"

#include <QGuiApplication>

namespace vorlane {

xcb_connection_t* qtConnection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = app != nullptr ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace vorlane
