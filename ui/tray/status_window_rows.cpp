#include "ui/tray/status_window_rows.h"

#include <array>

#include "ui/kit/desktop_texts.h"

namespace vorlane {
namespace {

using enum WindowKind;

constexpr std::array rows{
    StatusWindowRow{quickCommand, quickActionsMenuTitle, StatusCommand::openWindow},
    StatusWindowRow{focusSessionEditor, "Start Pomodoro...", StatusCommand::startPomodoro},
    StatusWindowRow{resumeNote, "Edit next step…", StatusCommand::editNextStep},
    StatusWindowRow{today, "Today — three priorities…", StatusCommand::openWindow},
    StatusWindowRow{focusHistory, "Focus history…", StatusCommand::openWindow},
    StatusWindowRow{weeklyReflection, "Weekly reflection…", StatusCommand::openWindow},
    StatusWindowRow{calendarFocus, "Find a calendar focus window…", StatusCommand::openWindow},
    StatusWindowRow{reminderEditor, "Add reminder...", StatusCommand::addReminder},
    StatusWindowRow{preferences, "Preferences...", StatusCommand::openWindow},
    StatusWindowRow{about, "About Vorlane", StatusCommand::openWindow},
};

// Entries that open a row's window under a title of their own.
constexpr std::array<std::pair<StatusCommand, WindowKind>, 3> otherWaysIn{{
    {StatusCommand::fiveMinutes, focusSessionEditor},
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

std::optional<WindowKind> windowOpenedBy(StatusCommand command, const StatusData& data) {
  if (command == StatusCommand::openWindow) {
    if (const auto* kind = std::get_if<WindowKind>(&data)) return *kind;
    return std::nullopt;
  }
  for (const StatusWindowRow& row : rows) {
    if (row.command == command) return row.kind;
  }
  for (const auto& [other, kind] : otherWaysIn) {
    if (other == command) return kind;
  }
  return std::nullopt;
}

}  // namespace vorlane
