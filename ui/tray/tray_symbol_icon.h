#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <string>

namespace vorlane {

// The theme name of a tray symbol: "vorlane-<symbol, dots as dashes>-symbolic"
// ("figure.climbing" gives "vorlane-figure-climbing-symbolic"). The build installs the
// drawings under these names, so a StatusNotifierItem host that finds one in its icon theme
// draws it in the panel's own colours.
QString traySymbolIconName(const std::string& symbol);

// The tray's icon for a symbol: that name, and our drawing in `ink` at the sizes trays ask
// for (16 to 48 pixels) for hosts that take the pixels. Without a drawing of that name the
// icon has the name only.
QIcon traySymbolIcon(const std::string& symbol, const QColor& ink);

}  // namespace vorlane
