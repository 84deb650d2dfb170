#pragma once

#include <QGuiApplication>
#include <QStyleHints>

namespace vorlane {

// Sets the desktop's double-click interval for as long as it lives, then restores it. An
// interval of 0 makes every second click come after it, as a click half a second later does,
// without waiting half a second.
struct DoubleClickInterval {
  explicit DoubleClickInterval(int milliseconds)
      : saved(QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(milliseconds);
  }
  ~DoubleClickInterval() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(saved); }
  DoubleClickInterval(const DoubleClickInterval&) = delete;
  DoubleClickInterval& operator=(const DoubleClickInterval&) = delete;
  int saved;
};

}  // namespace vorlane
