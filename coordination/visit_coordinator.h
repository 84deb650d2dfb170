#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coordination/action_error.h"
#include "coordination/coordination_observer.h"
#include "coordination/environment_snapshot_source.h"
#include "coordination/feature_windows.h"
#include "coordination/focus/focus_coordinator.h"
#include "coordination/nudges/idle_nudges.h"
#include "coordination/quick_action.h"
#include "coordination/recovery_error.h"
#include "coordination/reminders/reminder_coordinator.h"
#include "coordination/visit_presenter.h"
#include "coordination/visits/visit_delivery.h"
#include "coordination/visits/visit_queue.h"
#include "core/contracts/clock.h"
#include "core/contracts/hot_key_registrar.h"
#include "core/contracts/notification_service.h"
#include "core/contracts/repeating_timer.h"
#include "core/contracts/speech_service.h"
#include "core/contracts/system_event_source.h"
#include "core/contracts/ticker.h"
#include "core/contracts/visit.h"
#include "core/focus/focus_history_store.h"
#include "core/focus/focus_recovery_store.h"
#include "core/focus/mute_duration.h"
#include "core/focus/pomodoro_session.h"
#include "core/productivity/daily_priorities_store.h"
#include "core/reminders/reminder.h"
#include "core/reminders/reminder_store.h"
#include "core/settings/preferences_store.h"
#include "core/visits/visit_scheduler.h"
#include "foundation/calendar.h"
#include "foundation/observers.h"
#include "foundation/random.h"
#include "foundation/short_time_formatter.h"
#include "foundation/uuid.h"

namespace vorlane {

// The one place where time, settings and the user's commands meet. It owns four parts that
// barely share state: the visit delivery (queue, suppression, the screen away), the focus
// session (with its checkpoint, history and priorities), the reminders and the mute, and the
// idle nudges. It makes and wires them, runs the tick, routes the windows and dispatches
// pills and typed commands. Main thread only; one instance for the life of the process.
//
// The parts hold none of one another: the focus session and the nudges hand their visits to
// the delivery as a VisitSink, the delivery asks the reminders for the mute as a MuteState,
// and each part reports its events to the coordinator as its CoordinationObserver.
//
// Every callback it hands out (ticker, timers, presenter, hot keys, stores, windows) holds
// it weakly and does nothing once it is gone.
class VisitCoordinator : public CoordinationObserver,
                         public std::enable_shared_from_this<VisitCoordinator> {
 public:
  // What the coordinator works with. All pointers are required unless marked optional;
  // `create` refuses a missing one.
  struct Dependencies {
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<VisitScheduler> scheduler;  // over the same clock
    std::shared_ptr<Ticker> ticker;
    std::shared_ptr<VisitPresenter> presenter;
    std::shared_ptr<SpeechService> speech;
    std::shared_ptr<NotificationService> notifications;
    std::shared_ptr<PreferencesStore> preferencesStore;
    std::shared_ptr<ReminderStore> reminderStore;
    // Optional: replaces the environment source whole (the mute does not reach it).
    std::function<EnvironmentSnapshot(Date)> environmentSnapshot;
    // Optional: false when absent.
    std::function<bool()> prefersReducedMotion;
    std::shared_ptr<FocusHistoryStore> focusHistory;
    std::shared_ptr<FocusRecoveryStore> recovery;
    std::shared_ptr<DailyPrioritiesStore> priorities;
    // Required unless `environmentSnapshot` is given.
    std::shared_ptr<EnvironmentSnapshotSource> environment;
    // Optional: the system's generator when absent.
    std::shared_ptr<RandomGenerator> random;
    // Optional: no shortcuts when absent.
    std::shared_ptr<HotKeyRegistrar> hotKeys;
    // Optional: makes the one-second session timer.
    RepeatingTimerFactory sessionTimers;
    // Optional: the user's calendar, read at each use; the current one when absent.
    std::function<Calendar()> calendar;
    WindowSet windows;
    // Optional: without it the screen is taken as always present and no wake is noticed.
    std::shared_ptr<SystemEventSource> systemEvents;
    // Optional: the free time in the user's calendar; no calendar focus without it.
    std::shared_ptr<CalendarFocusModel> calendarFocus;
  };

  // Builds the coordinator: the focus session from the settings, a valid saved checkpoint
  // restored, the history's accomplishment hook installed, the first idle invitation set.
  // Throws std::invalid_argument naming a missing dependency.
  static std::shared_ptr<VisitCoordinator> create(Dependencies dependencies);

  VisitCoordinator(const VisitCoordinator&) = delete;
  VisitCoordinator& operator=(const VisitCoordinator&) = delete;
  ~VisitCoordinator() override = default;

  // Wires the tick, asks for notification rights, anchors the scheduler at this moment,
  // applies the settings and follows their changes. Called once, after `onStateChanged` is
  // set.
  void start();

  // Re-applies the current settings; the store's changes reach it by themselves. The
  // mascot's presence is re-applied only when a field it reads has changed since.
  void applyPreferences();

  // The entry of every scheduled visit: judged against a fresh look at the environment,
  // then shown, held while another visit is on screen, posted as a silent notification or
  // dropped, by the reason's fallback for the visit's kind.
  void enqueue(const Visit& visit);

  // ---- Reminders, mute, quick actions, typed commands and the status line ----
  // Every change to the stored reminders reaches the scheduler at once. The undo target,
  // the snooze source and the mute live in memory only.

  // Parses and stores a reminder typed in plain words. Throws ReminderParser::ParseError
  // unchanged; then nothing is stored.
  Reminder addReminder(const std::string& text);
  // Revises a stored reminder; a blank schedule keeps its trigger. Throws
  // ReminderEditing::Error when it is no longer stored, or the parser's error.
  Reminder updateReminder(const UUID& id, const std::string& phrase,
                          const std::string& schedule);
  void removeReminder(const UUID& id);
  // Removes the reminder added (or snoozed) last; nothing when there is none.
  void undoLastReminder();
  // Repeats the reminder whose visit came last, `minutes` from now, once. Nothing when no
  // reminder visit came since, or when the minutes do not fit in seconds.
  void snoozeLastReminder(std::int64_t minutes);
  // A new mute replaces the old end, even an earlier one.
  void mute(MuteDuration duration);
  void unmute();
  // The mute hot key: unmutes while muted, else mutes for an hour.
  void toggleMute();
  // The end of a mute still in force.
  std::optional<Date> muteExpiry() const;
  const std::optional<Reminder>& lastAddedReminder() const { return reminders_->lastAdded(); }

  // What the mascot does next, for the status menu: the mute, a finished period, the
  // paused or running period, or the next visit.
  std::string nextVisitDescription();

  // The pills the current phase offers, in order.
  std::vector<QuickAction> availableQuickActions() const;
  // Hands the pills, the work length and the mute state to the mascot.
  void refreshQuickActions();
  // Sends the mascot at once, past the queue, suppression and the mute; nothing when it is
  // busy with another visit.
  void vorlaneNow();
  // Runs one pill.
  void perform(QuickAction action);
  // Runs one typed command and returns the sentence that answers it. Throws
  // QuickCommand::Error, ActionError or ReminderParser::ParseError; then nothing changed.
  std::string executeCommand(const std::string& text);
  // Starts a focus the user asked for; exactly five minutes makes the starter. Throws
  // ActionError activeSession while a period runs or is paused, invalidGoal for a goal
  // that is empty or over 120 characters once cleaned, or minutes outside 1...90.
  void startRequestedFocus(int minutes, const std::string& goal);
  // ---- end of reminders, mute, quick actions, typed commands and the status line ----

  // Told after every change the status item shows.
  std::function<void()> onStateChanged;

  const PomodoroSession& pomodoro() const { return focus_->pomodoro(); }
  const std::string& nextStep() const { return focus_->nextStep(); }
  bool isStarterFocus() const { return focus_->isStarterFocus(); }
  const std::optional<UUID>& activePriorityID() const { return focus_->activePriorityID(); }
  const std::optional<Date>& mutedUntil() const { return reminders_->mutedUntil(); }
  bool screenIsAway() const { return delivery_->screenIsAway(); }
  const VisitQueue& pendingVisits() const { return delivery_->pending(); }
  // The stored reminder behind the last reminder visit handed to the mascot.
  const std::optional<Reminder>& lastFiredReminder() const { return reminders_->lastFired(); }

  // The settings' lengths as a session uses them (Preferences::effectiveWorkMinutes).
  static std::int64_t effectiveWorkMinutes(const Preferences& preferences) {
    return preferences.effectiveWorkMinutes();
  }
  static std::int64_t effectiveBreakMinutes(const Preferences& preferences) {
    return preferences.effectiveBreakMinutes();
  }


  // ---- Focus sessions: control, display, completion and recovery ----
 public:
  using ActionError = vorlane::ActionError;
  using RecoveryError = vorlane::RecoveryError;

  // The minutes of the starter focus, whatever the settings say.
  static constexpr int starterMinutes = FocusCoordinator::starterMinutes;

  // Open the focus editor for a full focus or for the five-minute starter; nothing
  // changes until the user starts from it.
  void requestNewPomodoro();
  void requestFiveMinuteFocus();
  // Begins the break; offered only while a finished focus waits for it.
  void startBreak();
  // Guarded: pause a running focus or break (a focus also asks for its next step);
  // resume a paused one, showing its note first when it has one.
  void requestPauseSession();
  void requestResumeSession();
  // A phase that has just run out ends instead of pausing.
  void pauseSession();
  void resumeSession();
  // Lengthens the running or paused phase, or goes on with a focus that has just finished;
  // nothing while idle.
  void extendSession(int minutes);
  // Ends the break or the wait for it; nothing in any other phase.
  void skipBreak();
  // Back to idle with nothing kept: goal, note, linked priority, checkpoint, panel.
  void cancelPomodoro();
  // Takes down a finished period that is waiting; nothing otherwise.
  void dismissCompletion();
  // Records the finished named focus as accomplished (and its linked priority) and opens
  // the history; on a failure the session and its panel stay for another try.
  void markFocusAccomplished();
  // Shows the celebration once when the mascot is free, bypassing queue and suppression.
  void previewCelebration();

  // Writes the checkpoint of a running or paused focus; a refused or failed write keeps
  // what was stored and sets recoverySaveError().
  void saveFocusForTermination();
  // Opens the next-step window for a paused focus; nothing in any other phase.
  void showResumeNotes(bool returning);
  // Stores the cleaned note with the checkpoint. Throws ActionError notPaused without a
  // paused focus, RecoveryError noteTooLong over 240 characters, or the store's own
  // error; then nothing changed.
  void saveNextStep(const std::string& text);
  // The text shown when the last checkpoint could not be written.
  const std::optional<std::string>& recoverySaveError() const {
    return focus_->recoverySaveError();
  }
  // ---- end of focus sessions ----

 private:
  struct ConstructionKey {};

 public:
  VisitCoordinator(ConstructionKey, const Dependencies& dependencies);

 private:
  void makeParts(Dependencies& dependencies);
  // What one part reports, passed on to the others.
  void stateChanged() override;
  void muteChanged() override;
  void phaseChanged() override;
  void userBusy(Date now) override;
  void visitPresenting(const Visit& visit) override;
  void tick();
  void signalStateChanged();
  // A callback that runs `action` on the coordinator while it lives, and nothing after.
  std::function<void()> weakly(void (VisitCoordinator::*action)());
  // The presenter's pull and pill reports and the two hot keys, from start().
  void wireUserInput();
  Calendar calendar() const;
  const ShortTimeFormatter& timeFormatter();

  std::shared_ptr<const Clock> clock_;
  std::shared_ptr<VisitScheduler> scheduler_;
  std::shared_ptr<Ticker> ticker_;
  std::shared_ptr<VisitPresenter> presenter_;
  std::shared_ptr<SpeechService> speech_;
  std::shared_ptr<NotificationService> notifications_;
  std::shared_ptr<PreferencesStore> preferencesStore_;
  std::shared_ptr<FocusHistoryStore> focusHistory_;
  std::shared_ptr<DailyPrioritiesStore> priorities_;
  WindowSet windows_;
  std::shared_ptr<HotKeyRegistrar> hotKeys_;
  std::unique_ptr<HotKeyRegistration> hotKey_;
  std::unique_ptr<HotKeyRegistration> quickActionHotKey_;
  std::function<Calendar()> calendarProvider_;
  std::optional<ShortTimeFormatter> timeFormatter_;
  Observers<Preferences>::Subscription preferencesSubscription_;
  // The settings last applied; none before start().
  std::optional<Preferences> applied_;

  std::shared_ptr<ReminderCoordinator> reminders_;
  std::shared_ptr<VisitDelivery> delivery_;
  std::shared_ptr<FocusCoordinator> focus_;
  std::unique_ptr<IdleNudges> nudges_;

  // ---- Screen availability, sleep and wake -------------------------------------------
 public:
  // The screen went dark, was locked or the session was left: held visits become silent
  // notifications or are dropped by their fallback, the visit on screen is abandoned and
  // speech stops. Only the first of several acts.
  void screenBecameUnavailable();
  // The screen is back: stale presentations go; after an absence the scheduler is
  // re-anchored, so missed visits are skipped, and both cadences start over.
  void screenBecameAvailable();

 private:
  void observeScreenAvailability();
  // The machine woke: as a return of the screen, and a period whose end passed during the
  // sleep is ended without a record, a visit or a notification.
  void didWake();

  std::shared_ptr<SystemEventSource> systemEvents_;
  std::vector<Observers<>::Subscription> systemEventSubscriptions_;

  // ---- Idle focus invitations and encouragement --------------------------------------
 public:
  // Shows an encouragement at once when the mascot is free; nothing when it is busy.
  void encourageNow();

  // ---- Feature windows ----------------------------------------------------------------
 public:
  // Opens the window of a kind that only opens (the quick commands, today, the focus
  // history, the weekly reflection, the calendar focus), or brings it forward; nothing
  // while it has no controller, for the calendar focus without a calendar model, and for
  // any other kind.
  void show(WindowKind kind);

  // Starts a focus on an open daily priority: five minutes as a starter, else the full
  // length, with the priority's title as the goal. Throws, before anything changes,
  // DailyPriorities::Error missing or alreadyDone, then ActionError activeSession while a
  // period runs or is paused, or invalidGoal for a title that cannot be a goal.
  void startPriority(const UUID& id, bool starter);
  // Starts a focus of `minutes` in a free calendar gap, linked to the priority when one is
  // chosen; never a starter. Throws, before anything changes, ActionError activeSession,
  // then invalidGoal (goal, or minutes outside 5 to the full length), then the priority's
  // missing or alreadyDone.
  void startCalendarFocus(int minutes, const std::string& goal, std::optional<UUID> priorityID);

 private:
  void showQuickCommands();
  void showToday();
  void showWeeklyReflection();
  void showFocusHistory();
  void showCalendarFocus();

  std::shared_ptr<CalendarFocusModel> calendarFocus_;

  // ---- What the status item reads, and its one command of its own ---------------------
 public:
  std::vector<Reminder> reminders() const;
  // The saved checkpoint cannot be read, or the last one could not be written.
  bool recoveryNeedsAttention() const { return focus_->recoveryError().has_value(); }
  // Why the focus history cannot be read or written; none when it is fine.
  std::optional<std::string> focusHistoryError() const;
  const WindowSet& featureWindows() const { return windows_; }
  bool hasCalendarFocus() const { return calendarFocus_ != nullptr; }
  bool hasQuickCommandShortcut() const { return quickActionHotKey_ != nullptr; }
  Date now() const { return clock_->now(); }
  Calendar userCalendar() const { return calendar(); }
  // A clock time in the one short style of every time text the coordinator shows.
  std::string formatTime(Date date) { return timeFormatter().format(date); }
  // Uncounts the last finished session of the day.
  void discardLastSession();
};

}  // namespace vorlane
