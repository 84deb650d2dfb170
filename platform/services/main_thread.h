#pragma once

#include <QCoreApplication>
#include <QThread>

namespace vorlane {

// The services are main-thread objects: their timers, sinks and bus replies are delivered
// on the thread that owns the application object.
inline bool isMainThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace vorlane
