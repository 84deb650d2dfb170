#include "ui/kit/menu_screen_keeper.h"

#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace vorlane {

QRect movedInside(const QRect& rect, const QRect& area) {
  QRect moved = rect;
  moved.moveRight(std::min(rect.right(), area.right()));
  moved.moveBottom(std::min(rect.bottom(), area.bottom()));
  moved.moveLeft(std::max(moved.left(), area.left()));
  moved.moveTop(std::max(moved.top(), area.top()));
  return moved;
}

namespace {

// The keeper's name among the menu's children: without a meta-object of its own, a search by
// its type would find any child.
const QString keeperName = QStringLiteral("vorlane-menu-screen-keeper");

}  // namespace

void MenuScreenKeeper::keep(QMenu& menu) {
  if (menu.findChild<QObject*>(keeperName, Qt::FindDirectChildrenOnly)) return;
  menu.installEventFilter(new MenuScreenKeeper(menu));
}

MenuScreenKeeper::MenuScreenKeeper(QMenu& menu) : QObject(&menu), menu_(menu) {
  setObjectName(keeperName);
}

bool MenuScreenKeeper::eventFilter(QObject* watched, QEvent* event) {
  // Qt places the menu itself as it opens; only a change of size after that is ours.
  if (watched != &menu_ || event->type() != QEvent::Resize || !menu_.isVisible()) return false;
  const QWindow* window = menu_.windowHandle();
  if (!window || !window->screen()) return false;
  const QRect geometry = menu_.geometry();
  const QRect inside = movedInside(geometry, window->screen()->availableGeometry());
  if (inside != geometry) menu_.move(inside.topLeft());
  return false;
}

}  // namespace vorlane
