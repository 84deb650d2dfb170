#include "ui/kit/window_placement.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vorlane {
namespace {

QMargins ownFrame(const QWidget& window) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// The screen a frame is on: the one under its centre, else the one it overlaps most, else the
// primary.
QScreen* screenOf(const QRect& frame) {
  if (QScreen* under = QGuiApplication::screenAt(frame.center())) return under;
  QScreen* best = QGuiApplication::primaryScreen();
  qint64 most = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect shared = screen->geometry().intersected(frame);
    const qint64 area = qint64(shared.width()) * shared.height();
    if (area > most) {
      most = area;
      best = screen;
    }
  }
  return best;
}

}  // namespace

QRect frameWithin(QRect frame, const QRect& area) {
  frame.setWidth(std::min(frame.width(), area.width()));
  frame.setHeight(std::min(frame.height(), area.height()));
  frame.moveLeft(std::clamp(frame.left(), area.left(), area.left() + area.width() - frame.width()));
  frame.moveTop(std::clamp(frame.top(), area.top(), area.top() + area.height() - frame.height()));
  return frame;
}

QMargins frameMargins(const QWidget& window) {
  if (window.windowFlags().testFlag(Qt::FramelessWindowHint)) return {};
  const QMargins own = ownFrame(window);
  if (!own.isNull()) return own;
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    if (other == &window || !other->isVisible() ||
        other->windowFlags().testFlag(Qt::FramelessWindowHint)) {
      continue;
    }
    const QMargins theirs = ownFrame(*other);
    if (!theirs.isNull()) return theirs;
  }
  return {};
}

QSize roomOnScreen(const QWidget& window) {
  const QMargins margins = frameMargins(window);
  const QScreen* screen = screenOf(QRect(window.pos(), window.size().grownBy(margins)));
  if (screen == nullptr) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  return screen->availableGeometry().size().shrunkBy(margins);
}

void centreOnPointerScreen(QWidget& window) {
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame(QPoint(0, 0), window.size().grownBy(frameMargins(window)));
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
  keepWithinScreen(window);
}

void keepWithinScreen(QWidget& window) {
  const QMargins margins = frameMargins(window);
  // A window's position is its frame's, before the frame is there too.
  const QRect frame(window.pos(), window.size().grownBy(margins));
  QScreen* screen = screenOf(frame);
  if (screen == nullptr) return;
  const QRect within = frameWithin(frame, screen->availableGeometry());
  if (within == frame) return;
  const QSize size = within.size().shrunkBy(margins);
  if (size != window.size() && window.minimumSize() == window.maximumSize()) {
    window.setFixedSize(size);
  } else if (size != window.size()) {
    window.setMinimumSize(window.minimumSize().boundedTo(size));
    window.resize(size);
  }
  window.move(within.topLeft());
}

void bringToFront(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace vorlane
