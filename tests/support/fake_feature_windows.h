#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "coordination/windows/feature_windows.h"

namespace vorlane {

// Windows that only remember how often and with what they were shown, and keep the
// actions they were handed so that a test can play the user's part.

class FakeTodayWindow final : public TodayWindow {
 public:
  void show(DailyPrioritiesStore&, int shownMinutes, std::optional<std::string> error,
            std::function<void()> discard,
            std::function<void(const UUID&, bool)> startAction) override {
    ++shows;
    minutes = shownMinutes;
    recoveryError = std::move(error);
    discardRecovery = std::move(discard);
    start = std::move(startAction);
  }
  int shows = 0;
  int minutes = 0;
  std::optional<std::string> recoveryError;
  std::function<void()> discardRecovery;
  std::function<void(const UUID&, bool)> start;
};

class FakeWeeklyReflectionWindow final : public WeeklyReflectionWindow {
 public:
  void show(FocusHistoryStore&, DailyPrioritiesStore&, std::function<void()> manage) override {
    ++shows;
    manageHistory = std::move(manage);
  }
  int shows = 0;
  std::function<void()> manageHistory;
};

class FakeCalendarFocusWindow final : public CalendarFocusWindow {
 public:
  void show(CalendarFocusModel& shown, DailyPrioritiesStore&,
            std::function<void(int, const std::string&, std::optional<UUID>)> action) override {
    ++shows;
    model = &shown;
    start = std::move(action);
  }
  int shows = 0;
  CalendarFocusModel* model = nullptr;
  std::function<void(int, const std::string&, std::optional<UUID>)> start;
};

class FakeFocusSessionEditorWindow final : public FocusSessionEditorWindow {
 public:
  void show(int shownMinutes, bool isReplacing, bool isStarter,
            std::function<void(const std::string&)> action) override {
    ++shows;
    minutes = shownMinutes;
    replacing = isReplacing;
    starter = isStarter;
    start = std::move(action);
  }
  bool isOpen() const override { return open; }
  int shows = 0;
  int minutes = 0;
  bool replacing = false;
  bool starter = false;
  bool open = false;
  std::function<void(const std::string&)> start;
};

class FakeFocusHistoryWindow final : public FocusHistoryWindow {
 public:
  void show(FocusHistoryStore&) override { ++shows; }
  int shows = 0;
};

class FakeResumeNoteWindow final : public ResumeNoteWindow {
 public:
  void show(const std::string& shownGoal, const std::string& shownNote, bool isReturning,
            bool isPlaceSaved, std::function<void(const std::string&)> saveAction,
            std::function<void()> resumeAction) override {
    ++shows;
    goal = shownGoal;
    note = shownNote;
    returning = isReturning;
    placeSaved = isPlaceSaved;
    save = std::move(saveAction);
    resume = std::move(resumeAction);
  }
  void close() override { ++closes; }
  int shows = 0;
  int closes = 0;
  std::string goal;
  std::string note;
  bool returning = false;
  bool placeSaved = true;
  std::function<void(const std::string&)> save;
  std::function<void()> resume;
};

class FakeQuickCommandWindow final : public QuickCommandWindow {
 public:
  void show(bool available, std::function<std::string(const std::string&)> action) override {
    ++shows;
    shortcutAvailable = available;
    execute = std::move(action);
  }
  int shows = 0;
  bool shortcutAvailable = false;
  std::function<std::string(const std::string&)> execute;
};

// One of each of the coordinator's, shared with it through `controllers()`.
struct FakeFeatureWindows {
  std::shared_ptr<FakeTodayWindow> today = std::make_shared<FakeTodayWindow>();
  std::shared_ptr<FakeWeeklyReflectionWindow> weeklyReflection =
      std::make_shared<FakeWeeklyReflectionWindow>();
  std::shared_ptr<FakeCalendarFocusWindow> calendar = std::make_shared<FakeCalendarFocusWindow>();
  std::shared_ptr<FakeFocusSessionEditorWindow> focusSessionEditor =
      std::make_shared<FakeFocusSessionEditorWindow>();
  std::shared_ptr<FakeFocusHistoryWindow> focusHistory = std::make_shared<FakeFocusHistoryWindow>();
  std::shared_ptr<FakeResumeNoteWindow> resumeNote = std::make_shared<FakeResumeNoteWindow>();
  std::shared_ptr<FakeQuickCommandWindow> quickCommand = std::make_shared<FakeQuickCommandWindow>();

  WindowSet controllers() const {
    WindowSet windows;
    windows.set<TodayWindow>(today);
    windows.set<WeeklyReflectionWindow>(weeklyReflection);
    windows.set<CalendarFocusWindow>(calendar);
    windows.set<FocusSessionEditorWindow>(focusSessionEditor);
    windows.set<FocusHistoryWindow>(focusHistory);
    windows.set<ResumeNoteWindow>(resumeNote);
    windows.set<QuickCommandWindow>(quickCommand);
    return windows;
  }
};

}  // namespace vorlane
