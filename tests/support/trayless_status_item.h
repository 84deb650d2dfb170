#pragma once

#include <QColor>
#include <QIcon>
#include <memory>
#include <string>
#include <utility>

#include "ui/tray/status_item_controller.h"

namespace vorlane {

// A status item on a desktop with no tray and blank icons: only its menu over these actions
// is there to look at.
inline StatusItemController::Dependencies traylessStatusItem(
    std::shared_ptr<StatusItemActions> actions) {
  return StatusItemController::Dependencies{
      .actions = std::move(actions),
      .trayAvailable = [] { return false; },
      .followTray = nullptr,
      .trays = nullptr,
      .icon = [](const std::string&, const QColor&) { return QIcon(); },
      .ink = nullptr,
  };
}

}  // namespace vorlane
