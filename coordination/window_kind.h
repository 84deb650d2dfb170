#pragma once

namespace vorlane {

// Every window the application can open, as the registry keys it and the status menu's rows
// name it.
enum class WindowKind {
  // The coordinator's.
  quickCommands,
  focusEditor,
  resumeNotes,
  today,
  focusHistory,
  reflection,
  calendarFocus,
  // The status item's.
  reminderEditor,
  // The application shell's.
  preferences,
  about,
  welcome,
  // Asked by the calendar source before its first read.
  calendarConsent,
};

}  // namespace vorlane
