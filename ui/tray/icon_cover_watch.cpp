#include "ui/tray/icon_cover_watch.h"

#include <QEvent>
#include <QWidget>

namespace vorlane {

IconCoverWatch::IconCoverWatch(std::chrono::milliseconds settle,
                               std::chrono::milliseconds partlyDrawn) {
  settle_.setSingleShot(true);
  settle_.setInterval(settle);
  connect(&settle_, &QTimer::timeout, this, &IconCoverWatch::tell);
  partlyDrawn_.setSingleShot(true);
  partlyDrawn_.setInterval(partlyDrawn);
  connect(&partlyDrawn_, &QTimer::timeout, this, &IconCoverWatch::tell);
}

void IconCoverWatch::follow(const std::vector<QWidget*>& windows, bool drawnInPart,
                            std::function<void()> uncovered) {
  stop();
  uncovered_ = std::move(uncovered);
  for (QWidget* window : windows) {
    window->installEventFilter(this);
    // The window may go without hiding first.
    connect(window, &QObject::destroyed, this, &IconCoverWatch::changed);
    windows_.emplace_back(window);
  }
  if (drawnInPart) partlyDrawn_.start();
}

void IconCoverWatch::stop() {
  for (const QPointer<QWidget>& window : windows_) {
    if (!window) continue;
    window->removeEventFilter(this);
    disconnect(window, &QObject::destroyed, this, &IconCoverWatch::changed);
  }
  windows_.clear();
  uncovered_ = nullptr;
  settle_.stop();
  partlyDrawn_.stop();
}

bool IconCoverWatch::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
      changed();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void IconCoverWatch::changed() {
  // Later changes (a submenu closing with its menu) wait with it: one look at the end.
  if (uncovered_) settle_.start();
}

void IconCoverWatch::tell() {
  std::function<void()> uncovered = std::move(uncovered_);
  stop();
  if (uncovered) uncovered();
}

}  // namespace vorlane
