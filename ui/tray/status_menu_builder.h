#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ui/tray/status_menu_model.h"

class QMenu;

Q_DECLARE_METATYPE(vorlane::UUID)

namespace vorlane {

using StatusCommandHandler = std::function<void(StatusCommand, const StatusData&)>;
// The entries of the page of reminders that starts at the `from`th stored one, read as
// `page`, the submenu that shows them, opens.
using ReminderPageReader =
    std::function<std::vector<StatusMenuEntry>(std::size_t from, const QMenu& page)>;

// Adds the entries to a Qt menu: titles with `&` doubled so none becomes a mnemonic,
// each entry's data on its action (a double, a text
// or a UUID), tool tips shown. A triggered entry calls `run` with its command and data. A
// submenu that builds on open gets its entries as it first opens; a page of reminders
// gets them from `readPage` then, and is disabled without it. The rows change while the
// menu is open: the menu and its submenus are kept inside their screen as they grow.
void fillStatusMenu(QMenu& menu, const std::vector<StatusMenuEntry>& entries,
                    const StatusCommandHandler& run, const ReminderPageReader& readPage = {});
// Removes the menu's actions from the `from`th on, their submenus emptied and deleted.
void clearStatusMenu(QMenu& menu, qsizetype from = 0);
// Shows `fresh` in place of `shown`, the entries filled above at the end of the menu from its
// `from`th action on. When every row keeps its command, data and kind, the rows stay and
// only their titles and states change, so a submenu the user has open stays open; else the
// entries are built again. A page of reminders keeps its rows while it starts at the same
// reminder and counts as many after it.
void updateStatusMenu(QMenu& menu, qsizetype from, const std::vector<StatusMenuEntry>& shown,
                      const std::vector<StatusMenuEntry>& fresh, const StatusCommandHandler& run,
                      const ReminderPageReader& readPage = {});

// "Plan & reflect" as a menu writes it: "Plan && reflect".
QString menuTitle(const std::string& title);
QVariant menuData(const StatusData& data);

}  // namespace vorlane
