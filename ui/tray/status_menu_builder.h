#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QMetaType>
#include <QString>
#include <QVariant>

#include "ui/tray/status_menu_model.h"

class QMenu;

Q_DECLARE_METATYPE(vorlane::UUID)

namespace vorlane {

using StatusCommandHandler = std::function<void(StatusCommand, const StatusData&)>;

// Adds the entries to a Qt menu: titles with `&` doubled so none becomes a mnemonic,
// each entry's data on its action (a double, a text
// or a UUID), tool tips shown. A triggered entry calls `run` with its command and data.
void fillStatusMenu(QMenu& menu, const std::vector<StatusMenuEntry>& entries,
                    const StatusCommandHandler& run);
// Empties a menu filled above, submenus included.
void clearStatusMenu(QMenu& menu);

// "Plan & reflect" as a menu writes it: "Plan && reflect".
QString menuTitle(const std::string& title);
QVariant menuData(const StatusData& data);

}  // namespace vorlane
