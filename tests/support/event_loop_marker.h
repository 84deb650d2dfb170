#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <chrono>

namespace vorlane::testing {

// Delivers the events posted so far, then runs the event loop until a precise timer of
// `span`, started after them, has fired. Qt fires timers in the order they fall due, so every
// timer armed before this to fall due within `span` (a coarse one up to 5% late included) has
// fired by the time this returns: the marker after which something that did not happen will
// not happen from what was already set going.
inline void runEventLoopPast(std::chrono::milliseconds span) {
  QCoreApplication::sendPostedEvents();
  bool fired = false;
  QTimer marker;
  marker.setSingleShot(true);
  marker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&marker, &QTimer::timeout, [&fired] { fired = true; });
  marker.start(span);
  while (!fired) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace vorlane::testing
