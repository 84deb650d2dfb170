#pragma once

#include <functional>
#include <memory>

#include "coordination/feature_windows.h"
#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "ui/kit/window_services.h"

namespace vorlane {

class AboutController;
class CalendarConsentPrompt;
class PreferencesController;
class WelcomeController;

// Every window the application can open, each made once at launch and kept for the life of
// the process. A window that is not here does not exist in this build: whatever would open
// it (a status menu entry, a hot key, a pill) stays disabled.
struct WindowRegistry {
  // Opened by the coordinator, and through it by the status menu and the mascot.
  FeatureWindowControllers features;
  // Opened by the application shell.
  std::shared_ptr<AboutController> about;
  std::shared_ptr<WelcomeController> welcome;
  std::shared_ptr<PreferencesController> preferences;
  // Opened by the calendar source, before its first read.
  std::shared_ptr<CalendarConsentPrompt> calendarConsent;
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

// The application's windows: a new window is its own files plus one line here
// (window_registry.cpp).
WindowRegistry registeredWindows(const WindowContext& context);

}  // namespace vorlane
