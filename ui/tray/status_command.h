#pragma once

#include <string>
#include <variant>

#include "coordination/windows/window_kind.h"
#include "foundation/uuid.h"

namespace vorlane {

// Every command of the status menu; `none` marks an entry that only informs. A window that
// only opens has no command of its own: `openWindow` carries its kind.
enum class StatusCommand {
  none,
  openWindow,
  vorlaneNow,
  encourageNow,
  fiveMinutes,
  moveMascot,
  resetMascot,
  toggleMascotClicks,
  openAppearance,
  pauseSession,
  resumeSession,
  editNextStep,
  extendSession,
  skipBreak,
  startBreak,
  startPomodoro,
  cancelPomodoro,
  markAccomplished,
  discardLastSession,
  addReminder,
  undoLastReminder,
  snoozeLastReminder,
  editReminder,
  deleteReminder,
  unmute,
  muteFor,
  quit,
};

// What an entry carries for its command: a horizontal place, a mute's raw value, a
// reminder's id or the kind of the window to open.
using StatusData = std::variant<std::monostate, double, std::string, UUID, WindowKind>;

}  // namespace vorlane
