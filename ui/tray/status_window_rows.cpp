#include "ui/tray/status_window_rows.h"

#include <array>

#include "ui/kit/desktop_texts.h"

namespace vorlane {
namespace {

using enum WindowKind;

constexpr std::array rows{
    StatusWindowRow{quickCommands, quickActionsMenuTitle, StatusCommand::quickCommands},
    StatusWindowRow{focusEditor, "Start Pomodoro...", StatusCommand::startPomodoro},
    StatusWindowRow{resumeNotes, "Edit next step…", StatusCommand::editNextStep},
    StatusWindowRow{today, "Today — three priorities…", StatusCommand::showToday},
    StatusWindowRow{focusHistory, "Focus history…", StatusCommand::showFocusHistory},
    StatusWindowRow{reflection, "Weekly reflection…", StatusCommand::showReflection},
    StatusWindowRow{calendarFocus, "Find a calendar focus window…", StatusCommand::showCalendar},
    StatusWindowRow{reminderEditor, "Add reminder...", StatusCommand::addReminder},
    StatusWindowRow{preferences, "Preferences...", StatusCommand::openPreferences},
    StatusWindowRow{about, "About Vorlane", StatusCommand::openAbout},
};

// Entries that open a row's window under a title of their own.
constexpr std::array<std::pair<StatusCommand, WindowKind>, 3> otherWaysIn{{
    {StatusCommand::fiveMinutes, focusEditor},
    {StatusCommand::editReminder, reminderEditor},
    {StatusCommand::openAppearance, preferences},
}};

}  // namespace

std::span<const StatusWindowRow> statusWindowRows() { return rows; }

const StatusWindowRow* statusWindowRow(WindowKind kind) {
  for (const StatusWindowRow& row : rows) {
    if (row.kind == kind) return &row;
  }
  return nullptr;
}

std::optional<WindowKind> windowOpenedBy(StatusCommand command) {
  for (const StatusWindowRow& row : rows) {
    if (row.command == command) return row.kind;
  }
  for (const auto& [other, kind] : otherWaysIn) {
    if (other == command) return kind;
  }
  return std::nullopt;
}

}  // namespace vorlane
