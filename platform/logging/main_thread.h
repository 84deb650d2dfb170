#pragma once

#include <QCoreApplication>
#include <QThread>

namespace vorlane {

// Whether this is the thread that owns the application object, where the services' timers,
// sinks and bus replies are delivered and the desktop's windows and X connection live. No
// thread is, before there is an application.
inline bool isMainThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace vorlane
