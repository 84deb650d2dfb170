#pragma once

#include <string>
#include <variant>

#include "foundation/uuid.h"

namespace vorlane {

// Every command of the status menu; `none` marks an entry that only informs.
enum class StatusCommand {
  none,
  quickCommands, vorlaneNow, encourageNow, fiveMinutes,
  showToday, showFocusHistory, showReflection, showCalendar,
  moveMascot, resetMascot, toggleMascotClicks, openAppearance,
  pauseSession, resumeSession, editNextStep, extendSession, skipBreak, startBreak,
  startPomodoro, cancelPomodoro, markAccomplished, discardLastSession,
  addReminder, undoLastReminder, snoozeLastReminder, editReminder, deleteReminder,
  unmute, muteFor,
  openPreferences, openAbout, quit,
};

// What an entry carries for its command: a horizontal place, a mute's raw value or a
// reminder's id.
using StatusData = std::variant<std::monostate, double, std::string, UUID>;

}  // namespace vorlane
