#include "ui/kit/menu_column.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <limits>

namespace vorlane {
namespace {

// The screen a menu shows on, or would open on now: a menu not yet shown opens where the
// pointer is, at the tray icon or on the mascot that was clicked.
QScreen* screenOf(const QMenu& menu) {
  if (const QWindow* window = menu.windowHandle(); window && window->screen()) {
    return window->screen();
  }
  if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) return screen;
  return QGuiApplication::primaryScreen();
}

}  // namespace

std::size_t rowsThatFit(int rowHeight, int availableHeight) {
  if (rowHeight <= 0 || availableHeight < rowHeight) return 1;
  return static_cast<std::size_t>(availableHeight / rowHeight);
}

std::size_t submenuColumnRows(const QMenu& menu) {
  const QScreen* screen = screenOf(menu);
  // No screen shows no menu: nothing to fit.
  if (!screen) return std::numeric_limits<std::size_t>::max();
  // Measured on a menu of the same font and style: a row that opens a submenu of its own
  // and a plain one, the taller of the two, and what the frame adds around them. Qt gives
  // every row of text the height of the font, whatever its characters.
  QMenu probe;
  probe.setFont(menu.font());
  QAction* plain = probe.addAction(QStringLiteral("Xy"));
  QAction* opening = probe.addMenu(QStringLiteral("Xy"))->menuAction();
  const QRect plainRow = probe.actionGeometry(plain);
  const QRect openingRow = probe.actionGeometry(opening);
  const int rowHeight = std::max(plainRow.height(), openingRow.height());
  const int frame = probe.sizeHint().height() - plainRow.height() - openingRow.height();
  return rowsThatFit(rowHeight, screen->availableGeometry().height() - frame);
}

}  // namespace vorlane
