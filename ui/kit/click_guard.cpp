#include "ui/kit/click_guard.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>

namespace vorlane {
namespace {

QRect globalRect(const QWidget& widget) {
  return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

}  // namespace

ClickGuard::ClickGuard(QWidget& area) : QObject(&area), area_(area) {
  // Presses go to the deepest widget under the pointer, so only the application sees them
  // all before the buttons do.
  QCoreApplication::instance()->installEventFilter(this);
}

bool ClickGuard::isPending() const {
  return sinceChange_.isValid() &&
         sinceChange_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

void ClickGuard::contentChanging() {
  if (!pointer_) return;
  // A second change while the first is still fresh keeps what was there before the first.
  const bool sameSpot = isPending() && *pointer_ == changedAt_;
  if (!sameSpot) {
    changedAt_ = *pointer_;
    QWidget* window = area_.window();
    before_ = window->childAt(window->mapFromGlobal(changedAt_));
    beforeRect_ = before_ ? globalRect(*before_) : QRect();
  }
  sinceChange_.start();
}

bool ClickGuard::inArea(const QObject* object) const {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget != nullptr && (widget == &area_ || area_.isAncestorOf(widget));
}

bool ClickGuard::refuses(QWidget& target, QPoint at) const {
  if (!isPending() || qobject_cast<QAbstractButton*>(&target) == nullptr) return false;
  // A pointer that moved since the change aims at what it finds now.
  if ((at - changedAt_).manhattanLength() >
      QGuiApplication::styleHints()->mouseDoubleClickDistance()) {
    return false;
  }
  return &target != before_ || globalRect(target) != beforeRect_;
}

bool ClickGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (!inArea(watched)) break;
      const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      pointer_ = at;
      if (refuses(*static_cast<QWidget*>(watched), at)) return true;
      break;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
      if (inArea(watched)) pointer_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      break;
    case QEvent::Enter:
      if (inArea(watched)) pointer_ = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
      break;
    case QEvent::Leave:
      if (watched == &area_) pointer_.reset();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vorlane
