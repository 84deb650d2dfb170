#include "ui/kit/window_cache_release.h"

#include <malloc.h>

#include <QApplication>
#include <QFont>
#include <QPixmapCache>
#include <QWidget>

namespace vorlane {

WindowCacheRelease::WindowCacheRelease(QGuiApplication& application,
                                       std::chrono::milliseconds delay) {
  timer_.setSingleShot(true);
  timer_.setInterval(delay);
  connect(&timer_, &QTimer::timeout, this, &WindowCacheRelease::releaseUnlessAWindowShows);
  // Tool windows (the mascot, its overlays) never count as the last window.
  connect(&application, &QGuiApplication::lastWindowClosed, &timer_, qOverload<>(&QTimer::start));
}

void WindowCacheRelease::releaseUnlessAWindowShows() {
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = window->windowType();
    if (window->isVisible() && (type == Qt::Window || type == Qt::Dialog)) return;
  }
  QPixmapCache::clear();
  // The font engines of every size and weight the windows used, with their glyphs and
  // shaping tables: fonts still alive find theirs again through a new cache when next drawn.
  QFont::cleanup();
  // The freed pixmaps lie in the middle of the heap: without a trim they stay resident.
  malloc_trim(0);
  ++releases_;
}

}  // namespace vorlane
