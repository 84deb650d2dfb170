#include "ui/tray/status_menu_builder.h"

#include <QAction>
#include <QMenu>

namespace vorlane {

QString menuTitle(const std::string& title) {
  return QString::fromStdString(title).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QVariant menuData(const StatusData& data) {
  if (const auto* number = std::get_if<double>(&data)) return QVariant(*number);
  if (const auto* text = std::get_if<std::string>(&data)) {
    return QVariant(QString::fromStdString(*text));
  }
  if (const auto* id = std::get_if<UUID>(&data)) return QVariant::fromValue(*id);
  return {};
}

void fillStatusMenu(QMenu& menu, const std::vector<StatusMenuEntry>& entries,
                    const StatusCommandHandler& run) {
  menu.setToolTipsVisible(true);
  for (const StatusMenuEntry& entry : entries) {
    switch (entry.kind) {
      case StatusMenuEntry::Kind::separator:
        menu.addSeparator();
        break;
      case StatusMenuEntry::Kind::submenu: {
        QMenu* sub = menu.addMenu(menuTitle(entry.title));
        sub->menuAction()->setToolTip(QString::fromStdString(entry.toolTip));
        sub->setEnabled(entry.enabled);
        fillStatusMenu(*sub, entry.children, run);
        break;
      }
      case StatusMenuEntry::Kind::item: {
        QAction* action = menu.addAction(menuTitle(entry.title));
        action->setEnabled(entry.enabled);
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
        action->setToolTip(QString::fromStdString(entry.toolTip));
        action->setData(menuData(entry.data));
        if (entry.command != StatusCommand::none && run) {
          QObject::connect(
              action, &QAction::triggered, action,
              [run, command = entry.command, data = entry.data] { run(command, data); });
        }
        break;
      }
    }
  }
}

void clearStatusMenu(QMenu& menu) {
  // Submenus are children of the menu, not of its actions: clear() alone would keep them.
  // Each is emptied first: only a removed action lets go of the entry the tray host's menu
  // made for it, and a deleted menu removes none of its own, so every opening leaked them.
  for (QMenu* sub : menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
    clearStatusMenu(*sub);
    menu.removeAction(sub->menuAction());
    sub->deleteLater();
  }
  menu.clear();
}

}  // namespace vorlane
