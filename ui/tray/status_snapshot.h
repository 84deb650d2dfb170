#pragma once

#include <cstddef>

#include "coordination/status/coordinator_status.h"
#include "coordination/windows/window_kind.h"

namespace vorlane {

// The reminder rows a page of the status menu shows at most, in stored order; one more row
// opens the next page. Each row is a submenu of its own: a hundred build in about 20 ms, twice
// as many took 40 ms, and the menu must open within 50 ms whatever the number stored.
inline constexpr std::size_t menuReminderRows = 100;

// What a snapshot is read for: the icon and its tool tip show no reminder, the menu shows
// their rows, the one part that costs with thousands stored.
enum class StatusReading { icon, menu };

// Everything the status item shows, as plain values read at one moment: the coordinator's
// status as its source gives it (read for the icon, no reminder row), and what the item adds
// from the settings and the application.
struct StatusSnapshot : CoordinatorStatus {
  bool clickThrough = false;
  // A tray shows this menu; without one click-through is not offered.
  bool trayShown = false;
  // The mascot can be moved from the menu.
  bool mascot = false;

  // Whatever would open a window not in `windows` stays disabled.
  bool opens(WindowKind kind) const { return windows.contains(kind); }
};

}  // namespace vorlane
