#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// Everything the status item shows, as plain values read at one moment from the
// coordinator, the settings and the application.
struct StatusSnapshot {
  struct ReminderRow {
    UUID id;
    std::string phrase;
    // When it comes next, as the reminder describes it.
    std::string schedule;
  };
  // Which windows and hooks exist; whatever would open a missing one stays disabled.
  struct Available {
    bool quickCommands = false;
    bool focusEditor = false;
    bool resumeNotes = false;
    bool today = false;
    bool focusHistory = false;
    bool reflection = false;
    bool calendarFocus = false;
    bool reminderEditor = false;
    bool preferences = false;
    bool appearance = false;
    bool about = false;
    bool mascot = false;
  };

  PomodoroSession session{25, 5};
  // `session.statusText(now)`: empty means the symbol alone tells the state.
  std::string statusText;
  std::string nextVisit;
  bool muted = false;
  // The end of the mute in the short time style, when known.
  std::optional<std::string> muteExpiry;
  bool isStarterFocus = false;
  std::string nextStep;
  bool recoveryNeedsAttention = false;
  std::optional<std::string> focusHistoryError;
  std::optional<std::string> lastAddedPhrase;
  std::optional<std::string> lastFiredPhrase;
  std::vector<ReminderRow> reminders;
  bool clickThrough = false;
  // A tray shows this menu; without one click-through is not offered.
  bool trayShown = false;
  Available available;
};

}  // namespace vorlane
