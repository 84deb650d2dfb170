#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "coordination/windows/window_kind.h"
#include "ui/tray/status_command.h"

namespace vorlane {

// A window the status menu opens: its kind, the title of its entry and the command that
// entry runs with the kind as its data: `openWindow` for a window that only opens, a
// command of its own for one whose opening asks more (a new focus, the next step). The entry
// is enabled only while the window can be opened.
struct StatusWindowRow {
  WindowKind kind;
  std::string_view title;
  StatusCommand command;
};

// One row per window the menu opens, in no particular order: the menu places each.
std::span<const StatusWindowRow> statusWindowRows();
// The row of a kind; none for a window the menu never opens (the welcome).
const StatusWindowRow* statusWindowRow(WindowKind kind);
// The window a command opens: the kind `openWindow` carries, a row's own command's or
// another entry's way into it ("Just five minutes…" into the focus editor); none for a
// command that opens no window.
std::optional<WindowKind> windowOpenedBy(StatusCommand command, const StatusData& data = {});

}  // namespace vorlane
