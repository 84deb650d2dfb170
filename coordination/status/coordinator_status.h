#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "coordination/commands/quick_action.h"
#include "coordination/windows/window_kind.h"
#include "core/focus/pomodoro_session.h"
#include "foundation/uuid.h"

namespace vorlane {

// What the coordinator shows of itself at one moment, as plain values: the status line, the
// status menu's entries and the pills. Read whole, by one call, so that its parts agree.
struct CoordinatorStatus {
  struct ReminderLine {
    UUID id;
    std::string phrase;
    // When it comes next, as the reminder describes it.
    std::string schedule;
  };
  PomodoroSession session{25, 5};
  // `session.statusText(now)`: empty means the symbol alone tells the state.
  std::string statusText;
  // What the mascot does next ("next visit at 4:00 PM").
  std::string nextVisit;
  // A mute is in force; its end in the short time style, when known.
  bool muted = false;
  std::optional<std::string> muteExpiry;
  bool isStarterFocus = false;
  std::string nextStep;
  // The saved checkpoint cannot be read, or the last one could not be written.
  bool recoveryNeedsAttention = false;
  // Why the focus history cannot be read or written; none when it is fine.
  std::optional<std::string> focusHistoryError;
  // The phrases of the reminder added (or snoozed) last, and of the last reminder visit.
  std::optional<std::string> lastAddedPhrase;
  std::optional<std::string> lastFiredPhrase;
  // Stored reminders in store order, as many as were asked for, from the `firstReminder`th
  // on (the first of them is at index `firstReminder`).
  std::vector<ReminderLine> reminders;
  std::size_t firstReminder = 0;
  // How many reminders are stored, counted only when rows were asked for; never fewer than
  // the rows above.
  std::size_t reminderCount = 0;
  // A count as the user's locale writes it ("12,345"); plain digits when absent.
  std::function<std::string(std::size_t)> formatCount;
  // The pills the current phase offers, in order.
  std::vector<QuickAction> quickActions;
  // The coordinator's windows that can be opened now.
  std::set<WindowKind> windows;
};

}  // namespace vorlane
