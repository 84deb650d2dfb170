#pragma once

#include <functional>
#include <memory>

#include "coordination/windows/feature_windows.h"
#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "ui/kit/window_services.h"
#include "ui/windows/reminder_editor/reminder_editor_window.h"

namespace vorlane {

class AboutController;
class CalendarConsentPrompt;
class PreferencesController;
class WelcomeController;

// The shell's controllers name no kind of their own.
template <>
inline constexpr WindowKind windowKindOf<AboutController> = WindowKind::about;
template <>
inline constexpr WindowKind windowKindOf<WelcomeController> = WindowKind::welcome;
template <>
inline constexpr WindowKind windowKindOf<PreferencesController> = WindowKind::preferences;
template <>
inline constexpr WindowKind windowKindOf<CalendarConsentPrompt> = WindowKind::calendarConsent;

// Every window the application can open, by kind, each made once at launch and kept for the
// life of the process. A kind that is not here does not exist in this build: whatever would
// open it (a status menu entry, a hot key, a pill) stays disabled.
struct WindowRegistry {
  // Opened by the coordinator, and through it by the status menu and the mascot.
  WindowSet features;
  // Opened by the status item (the reminder editor), by the application shell and, before
  // its first read, by the calendar source (the calendar consent).
  WindowSet shell;

  bool has(WindowKind kind) const { return features.has(kind) || shell.has(kind); }
};

// What the windows' controllers may be built from.
struct WindowContext {
  std::shared_ptr<const Clock> clock;
  // The user's calendar, read at each use.
  std::function<Calendar()> calendar;
  // The clock, calendar, prompts and address opener the windows' views use.
  WindowServices services;
  // Whether a tray shows the status menu, as the mascot and the status item ask it; Qt's
  // own answer when absent.
  std::function<bool()> trayAvailable = nullptr;
};

// The application's windows. Besides its own folder, a new window takes its folder's line
// in ui/windows/CMakeLists.txt, its kind (coordination/windows/window_kind.h), its
// controller's interface (coordination/windows/feature_windows.h, or its own folder for a
// window only the tray or the shell opens) and its include and row here
// (window_registry.cpp). One the coordinator opens takes one case in VisitCoordinator::show
// (coordination/coordinator/visit_coordinator_routing.cpp); one the status menu opens, its
// row (ui/tray/status_window_rows.cpp) and its place in the menu
// (ui/tray/status_menu_model.cpp): eight edits in seven files for a menu's window.
WindowRegistry registeredWindows(const WindowContext& context);

}  // namespace vorlane
