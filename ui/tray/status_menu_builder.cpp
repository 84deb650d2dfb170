#include "ui/tray/status_menu_builder.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

#include "ui/kit/menu_screen_keeper.h"

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
                    const StatusCommandHandler& run, const ReminderPageReader& readPage) {
  menu.setToolTipsVisible(true);
  MenuScreenKeeper::keep(menu);
  for (const StatusMenuEntry& entry : entries) {
    switch (entry.kind) {
      case StatusMenuEntry::Kind::separator:
        menu.addSeparator();
        break;
      case StatusMenuEntry::Kind::submenu: {
        QMenu* sub = menu.addMenu(menuTitle(entry.title));
        sub->menuAction()->setToolTip(QString::fromStdString(entry.toolTip));
        sub->setEnabled(entry.enabled);
        if (entry.reminderPage) {
          sub->setEnabled(entry.enabled && readPage);
          // A tray host opens a submenu by asking for it (AboutToShow), then reads its
          // entries: made here they are there to read.
          QObject::connect(sub, &QMenu::aboutToShow, sub,
                           [sub, first = *entry.reminderPage, run, readPage] {
                             if (sub->isEmpty() && readPage) {
                               fillStatusMenu(*sub, readPage(first, *sub), run, readPage);
                             }
                           });
        } else if (entry.buildsOnOpen) {
          QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, children = entry.children, run] {
            if (sub->isEmpty()) fillStatusMenu(*sub, children, run);
          });
        } else {
          fillStatusMenu(*sub, entry.children, run, readPage);
        }
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

void clearStatusMenu(QMenu& menu, qsizetype from) {
  // Submenus are children of the menu, not of its actions: removing the action alone would
  // keep them. Each is emptied first: only a removed action lets go of the entry the tray
  // host's menu made for it, and a deleted menu removes none of its own, so every opening
  // leaked them.
  const QList<QAction*> actions = menu.actions();
  for (qsizetype i = from; i < actions.size(); ++i) {
    QAction* action = actions[i];
    QMenu* sub = action->menu();
    if (sub) clearStatusMenu(*sub);
    menu.removeAction(action);
    if (sub) {
      sub->deleteLater();
    } else if (action->parent() == &menu) {
      action->deleteLater();
    }
  }
}

namespace {

// Whether `fresh` can be shown by the actions made for `shown`, changing only titles and
// states.
bool sameRows(const std::vector<StatusMenuEntry>& shown,
              const std::vector<StatusMenuEntry>& fresh) {
  return std::equal(shown.begin(), shown.end(), fresh.begin(), fresh.end(),
                    [](const StatusMenuEntry& a, const StatusMenuEntry& b) {
                      if (a.kind != b.kind || a.command != b.command || a.data != b.data ||
                          a.checkable != b.checkable || a.buildsOnOpen != b.buildsOnOpen ||
                          a.reminderPage != b.reminderPage) {
                        return false;
                      }
                      // A page read when it opened shows the reminders that were stored
                      // then: one counting another number after it is read again.
                      if (a.reminderPage) return a.title == b.title;
                      // A submenu built on open keeps the entries it was made with.
                      if (a.buildsOnOpen) return a.children == b.children;
                      return sameRows(a.children, b.children);
                    });
}

void updateRows(const QList<QAction*>& actions, qsizetype from,
                const std::vector<StatusMenuEntry>& fresh) {
  for (std::size_t i = 0; i < fresh.size(); ++i) {
    const StatusMenuEntry& entry = fresh[i];
    QAction* action = actions[from + static_cast<qsizetype>(i)];
    if (entry.kind == StatusMenuEntry::Kind::separator) continue;
    action->setText(menuTitle(entry.title));
    action->setToolTip(QString::fromStdString(entry.toolTip));
    if (QMenu* sub = action->menu()) {
      if (entry.reminderPage) continue;  // the same title, the same page
      sub->setEnabled(entry.enabled);
      if (!entry.buildsOnOpen) updateRows(sub->actions(), 0, entry.children);
      continue;
    }
    action->setEnabled(entry.enabled);
    action->setChecked(entry.checked);
  }
}

}  // namespace

void updateStatusMenu(QMenu& menu, qsizetype from, const std::vector<StatusMenuEntry>& shown,
                      const std::vector<StatusMenuEntry>& fresh, const StatusCommandHandler& run,
                      const ReminderPageReader& readPage) {
  if (shown == fresh) return;
  if (sameRows(shown, fresh) && menu.actions().size() - from == std::ssize(fresh)) {
    updateRows(menu.actions(), from, fresh);
    return;
  }
  clearStatusMenu(menu, from);
  fillStatusMenu(menu, fresh, run, readPage);
}

}  // namespace vorlane
