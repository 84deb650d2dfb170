#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ui/tray/status_command.h"
#include "ui/tray/status_snapshot.h"

namespace vorlane {

// One entry of the status menu, as the menu shows it: titles as written (an `&` is a plain
// character here). No entry shows a key: a tray host draws the menu itself and passes no
// key back, and Qt's own popup menu runs no shortcut of its entries either.
struct StatusMenuEntry {
  enum class Kind { item, separator, submenu };

  Kind kind = Kind::item;
  std::string title;
  bool enabled = false;
  bool checkable = false;
  bool checked = false;
  std::string toolTip;
  StatusCommand command = StatusCommand::none;
  StatusData data;
  std::vector<StatusMenuEntry> children;
  // A submenu whose children become menu entries only when it opens: a reminder's row, of
  // which the menu may hold hundreds.
  bool buildsOnOpen = false;
  // A page of reminders, "More reminders (N)": its rows are read only when it opens, from the
  // stored reminder at this index on in store order. None for every other entry.
  std::optional<std::size_t> reminderPage;

  bool operator==(const StatusMenuEntry&) const = default;
};

// The whole menu, rebuilt from scratch each time it opens. An entry without a command is
// disabled, and so is one whose window or hook does not exist. Its Reminders submenu is the
// first page of reminders (`reminderPage`), a column of `submenuRows` rows.
std::vector<StatusMenuEntry> statusMenu(
    const StatusSnapshot& snapshot,
    std::size_t submenuRows = std::numeric_limits<std::size_t>::max());

// One page of the stored reminders, from `snapshot.firstReminder` on in store order, that
// fills one column of `columnRows` rows: a row per reminder, each with "Edit..." and "Delete
// reminder", at most `menuReminderRows` of them. When more are stored than the page holds,
// its last row is the next page, "More reminders (12,345)", counting those after this page.
// A page holds at least one reminder whatever the column, so that every one can be reached.
std::vector<StatusMenuEntry> reminderPage(const StatusSnapshot& snapshot, std::size_t columnRows);

// The characters of a user's text a row shows at most, on one line: a longer text would
// widen the whole menu and open each submenu over the rows below it.
inline constexpr std::size_t menuTextLength = 40;

// "Focus: " and the goal, isolated; a goal of 56 characters or more shows its first 52 and
// "...".
std::string goalLine(const std::string& goal);
// The reminder's phrase on one line of at most `menuTextLength` characters, isolated, then
// " - " and when it comes.
std::string reminderLine(const std::string& phrase, const std::string& schedule);

}  // namespace vorlane
