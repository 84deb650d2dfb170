#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "coordination/commands/action_error.h"
#include "coordination/commands/recovery_error.h"
#include "coordination/contracts/coordination_observer.h"
#include "coordination/contracts/visit_presenter.h"
#include "coordination/contracts/visit_sink.h"
#include "coordination/focus/focus_control.h"
#include "coordination/windows/feature_windows.h"
#include "core/contracts/clock.h"
#include "core/contracts/notification_service.h"
#include "core/contracts/repeating_timer.h"
#include "core/contracts/system_event_source.h"
#include "core/contracts/visit.h"
#include "core/focus/completion_reminders.h"
#include "core/focus/focus_history_store.h"
#include "core/focus/focus_recovery_store.h"
#include "core/focus/pomodoro_session.h"
#include "core/productivity/daily_priorities_store.h"
#include "core/settings/preferences_store.h"
#include "core/suppression/suppression_decision.h"
#include "foundation/calendar.h"
#include "foundation/short_time_formatter.h"
#include "foundation/uuid.h"

namespace vorlane {

// The focus session: starting, pausing, extending and ending its periods, its one-second
// timer, what the mascot shows of it, the finished-period panel and its reminders, the
// checkpoint that survives a quit or a pause, the next-step note, the history and the daily
// priority a focus works on. Main thread only.
//
// Every callback it hands out (timer, windows, presenter, history) holds it weakly. Once it
// is gone, saving a next step throws ActionError notPaused, as for a session that has moved
// on; the others do nothing.
class FocusCoordinator : public FocusControl,
                         public std::enable_shared_from_this<FocusCoordinator> {
 public:
  struct Dependencies {
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<VisitPresenter> presenter;
    std::shared_ptr<NotificationService> notifications;
    std::shared_ptr<PreferencesStore> preferencesStore;
    std::shared_ptr<FocusHistoryStore> focusHistory;
    std::shared_ptr<FocusRecoveryStore> recovery;
    std::shared_ptr<DailyPrioritiesStore> priorities;
    // Optional each: what is missing stays disabled.
    std::shared_ptr<FocusSessionEditorWindow> focusSessionEditor;
    std::shared_ptr<ResumeNoteWindow> resumeNote;
    std::shared_ptr<FocusHistoryWindow> focusHistoryWindow;
    // Optional: makes the one-second session timer.
    RepeatingTimerFactory sessionTimers;
    std::function<Calendar()> calendar;
    std::function<bool()> prefersReducedMotion;
    // Takes the session's visits, and judges whether its panel may show.
    std::shared_ptr<VisitSink> visits;
    // Told of every change, of each phase change and of the user's work on a session.
    std::weak_ptr<CoordinationObserver> observer;
    // Optional: a wake the desktop has not reported yet goes before the timer looks at time.
    std::shared_ptr<SystemEventSource> systemEvents;
  };

  // The minutes of the starter focus, whatever the settings say.
  static constexpr int starterMinutes = 5;

  struct ConstructionKey {};
  FocusCoordinator(ConstructionKey, Dependencies dependencies);
  // Builds the session from the settings, restores a valid saved checkpoint and installs
  // the history's accomplishment hook.
  static std::shared_ptr<FocusCoordinator> create(Dependencies dependencies);

  // A session restored from its checkpoint shows at once.
  void start();
  // The settings' work and break lengths.
  void applyPreferences(const Preferences& preferences);
  // Ends a phase whose time is up; true when one ended (and the change was signalled).
  bool advance(Date now);
  // After a sleep: a period whose end passed more than the stale limit ago is ended without
  // a record, a visit or a notification.
  void endPeriodLostInSleep(Date now);

  // ---- Control ----
  void requestNewPomodoro() override { showFocusSessionEditor(false); }
  void requestFiveMinuteFocus() override { showFocusSessionEditor(true); }
  void startBreak() override;
  void requestPauseSession() override;
  void requestResumeSession() override;
  void pauseSession() override;
  void resumeSession() override;
  void extendSession(int minutes) override;
  void skipBreak() override;
  void cancelPomodoro() override;
  void dismissCompletion() override;
  void markFocusAccomplished() override;
  void previewCelebration() override;
  void discardLastSession() override;
  // Throws ActionError activeSession while a period runs or is paused, invalidGoal for a
  // goal with nothing visible or too long, or minutes outside the focus range.
  void startRequestedFocus(int minutes, const std::string& goal) override;
  // Throws, before anything changes, DailyPriorities::Error missing or alreadyDone, then
  // what startRequestedFocus throws.
  void startPriority(const UUID& id, bool starter) override;
  // Throws, before anything changes, ActionError activeSession, then invalidGoal (goal, or
  // minutes outside 5 to the full length), then the priority's missing or alreadyDone.
  void startCalendarFocus(int minutes, const std::string& goal,
                          std::optional<UUID> priorityID) override;

  // ---- Recovery ----
  void saveFocusForTermination() override;
  void showResumeNote(bool returning) override;
  // Throws ActionError notPaused, RecoveryError noteTooLong or the store's own error; then
  // nothing changed.
  void saveNextStep(const std::string& text) override;
  // The user's explicit discard: the saved checkpoint goes, also an unreadable one; a
  // failed removal is reported through recoverySaveError(), never thrown.
  void discardRecovery();
  // The checkpoint's load error, else the last failure to write one.
  std::optional<std::string> recoveryError() const;
  const std::optional<std::string>& recoverySaveError() const override {
    return recoverySaveError_;
  }

  // ---- Windows ----
  void showFocusHistory();

  // ---- State ----
  const PomodoroSession& pomodoro() const override { return pomodoro_; }
  const std::string& nextStep() const override { return nextStep_; }
  bool isStarterFocus() const override { return isStarterFocus_; }
  const std::optional<UUID>& activePriorityID() const override { return activePriorityID_; }

 private:
  void restoreCheckpoint();
  void installAccomplishmentHook();
  void showFocusSessionEditor(bool starter);
  // Throws ActionError invalidGoal, before anything changes, for minutes outside the focus
  // range or a goal that would be stored too long.
  void beginFocus(int minutes, const std::string& focus, bool starter);
  // startRequestedFocus with `acceptable` judging the cleaned goal.
  void startJudgedFocus(int minutes, const std::string& goal, bool (*acceptable)(std::string_view));
  int workMinutes() const;
  void startSessionTimer();
  void stopSessionTimer();
  void updateSessionDisplay();
  std::string sessionCaption() const;
  void clearCompletionDisplay();
  // What follows a session stopped between its periods (a skipped break, a cancel): the
  // completion, the period's visit, the timer and the working pose go; `line` is logged.
  void leaveSessionDisplay(std::string_view line);
  // Leaves unreadable stored data in place for the user to see.
  void clearCheckpoint();
  void closeResumeNote();
  // The priority with that id, when it is still open; throws missing or alreadyDone.
  const DailyPriority& openPriority(const UUID& id) const;
  const ShortTimeFormatter& timeFormatter();
  void stateChanged() const;
  void phaseChanged() const;
  void userBusy(Date now) const;

  std::shared_ptr<const Clock> clock_;
  std::shared_ptr<VisitPresenter> presenter_;
  std::shared_ptr<NotificationService> notifications_;
  std::shared_ptr<PreferencesStore> preferencesStore_;
  std::shared_ptr<FocusHistoryStore> focusHistory_;
  std::shared_ptr<FocusRecoveryStore> recovery_;
  std::shared_ptr<DailyPrioritiesStore> priorities_;
  std::shared_ptr<FocusSessionEditorWindow> focusSessionEditor_;
  std::shared_ptr<ResumeNoteWindow> resumeNote_;
  std::shared_ptr<FocusHistoryWindow> focusHistoryWindow_;
  std::unique_ptr<RepeatingTimer> sessionTimer_;
  std::function<Calendar()> calendar_;
  std::function<bool()> prefersReducedMotion_;
  std::shared_ptr<VisitSink> visits_;
  std::weak_ptr<CoordinationObserver> observer_;
  std::shared_ptr<SystemEventSource> systemEvents_;

  PomodoroSession pomodoro_;
  bool isStarterFocus_ = false;
  std::string nextStep_;
  std::optional<UUID> activePriorityID_;
  // The visit that announced the running period, cut short when the session stops.
  std::optional<UUID> periodVisit_;
  std::optional<std::string> recoverySaveError_;
  bool completionPresentationAllowed_ = false;
  CompletionReminders completionReminders_;
  std::optional<ShortTimeFormatter> timeFormatter_;
};

}  // namespace vorlane
