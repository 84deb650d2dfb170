#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "coordination/window_kind.h"
#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// The reminder rows the status menu shows at most, the first in stored order; one more row
// counts the others. Each row is a submenu of its own: a hundred build in about 20 ms, twice as
// many took 40 ms, and the menu must open within 50 ms whatever the number stored.
inline constexpr std::size_t menuReminderRows = 100;

// What a snapshot is read for: the icon and its tool tip show no reminder, the menu shows
// their rows, the one part that costs with thousands stored.
enum class StatusReading { icon, menu };

// Everything the status item shows, as plain values read at one moment from its source, the
// settings and the application.
struct StatusSnapshot {
  struct ReminderRow {
    UUID id;
    std::string phrase;
    // When it comes next, as the reminder describes it.
    std::string schedule;
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
  // The first `menuReminderRows` reminders at most, in stored order; none when read for the
  // icon.
  std::vector<ReminderRow> reminders;
  // How many reminders are stored; never fewer than the rows above.
  std::size_t reminderCount = 0;
  // A count as the user's locale writes it ("12,345"); plain digits when absent.
  std::function<std::string(std::size_t)> formatCount;
  bool clickThrough = false;
  // A tray shows this menu; without one click-through is not offered.
  bool trayShown = false;
  // The windows that can be opened now; whatever would open another stays disabled.
  std::set<WindowKind> windows;
  // The mascot can be moved from the menu.
  bool mascot = false;

  bool opens(WindowKind kind) const { return windows.contains(kind); }
};

}  // namespace vorlane
