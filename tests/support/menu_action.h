#pragma once

#include <QAction>
#include <QMenu>

namespace vorlane {

// The action with this text in the menu or any of its submenus, or null.
inline QAction* actionTitled(const QMenu& menu, const QString& text) {
  for (QAction* a : menu.actions()) {
    if (a->text() == text) return a;
    if (QAction* inner = a->menu() ? actionTitled(*a->menu(), text) : nullptr) return inner;
  }
  return nullptr;
}

}  // namespace vorlane
