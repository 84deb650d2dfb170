#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "coordination/windows/window_set.h"
#include "foundation/uuid.h"

namespace vorlane {

class CalendarFocusModel;
class DailyPrioritiesStore;
class FocusHistoryStore;

// The small windows the coordinator opens, kept in a WindowSet and read as their interfaces
// (`get<TodayWindow>()`); a kind without a controller has no window, and whatever would open
// it stays disabled.
// Each controller makes its window on first use and brings the same window forward
// afterwards. Actions that throw have their error's text shown in the window that asked.

class TodayWindow {
 public:
  static constexpr WindowKind kind = WindowKind::today;
  virtual ~TodayWindow() = default;
  // `start` gets a priority's id and true for a five-minute start, false for a full focus.
  virtual void show(DailyPrioritiesStore& store, int minutes,
                    std::optional<std::string> recoveryError, std::function<void()> discardRecovery,
                    std::function<void(const UUID&, bool)> start) = 0;
};

class WeeklyReflectionWindow {
 public:
  static constexpr WindowKind kind = WindowKind::weeklyReflection;
  virtual ~WeeklyReflectionWindow() = default;
  virtual void show(FocusHistoryStore& history, DailyPrioritiesStore& priorities,
                    std::function<void()> manageHistory) = 0;
};

class CalendarFocusWindow {
 public:
  static constexpr WindowKind kind = WindowKind::calendarFocus;
  virtual ~CalendarFocusWindow() = default;
  // `start` gets the gap's minutes, the goal and the chosen priority.
  virtual void show(CalendarFocusModel& model, DailyPrioritiesStore& priorities,
                    std::function<void(int, const std::string&, std::optional<UUID>)> start) = 0;
};

class FocusSessionEditorWindow {
 public:
  static constexpr WindowKind kind = WindowKind::focusSessionEditor;
  virtual ~FocusSessionEditorWindow() = default;
  virtual void show(int minutes, bool replacing, bool starter,
                    std::function<void(const std::string&)> start) = 0;
  // The window exists and is visible (not minimised).
  virtual bool isOpen() const = 0;
};

class FocusHistoryWindow {
 public:
  static constexpr WindowKind kind = WindowKind::focusHistory;
  virtual ~FocusHistoryWindow() = default;
  virtual void show(FocusHistoryStore& store) = 0;
};

class ResumeNoteWindow {
 public:
  static constexpr WindowKind kind = WindowKind::resumeNote;
  virtual ~ResumeNoteWindow() = default;
  // `placeSaved` is false when the checkpoint of the paused session could not be stored.
  virtual void show(const std::string& goal, const std::string& note, bool returning,
                    bool placeSaved, std::function<void(const std::string&)> save,
                    std::function<void()> resume) = 0;
  virtual void close() = 0;
};

class QuickCommandWindow {
 public:
  static constexpr WindowKind kind = WindowKind::quickCommand;
  virtual ~QuickCommandWindow() = default;
  // `execute` returns the sentence to show, or throws the one to show as a failure.
  virtual void show(bool shortcutAvailable,
                    std::function<std::string(const std::string&)> execute) = 0;
};

}  // namespace vorlane
