#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coordination/commands/action_error.h"
#include "coordination/commands/quick_action.h"
#include "coordination/commands/recovery_error.h"
#include "coordination/contracts/coordination_observer.h"
#include "coordination/contracts/environment_snapshot_source.h"
#include "coordination/contracts/visit_presenter.h"
#include "coordination/focus/focus_coordinator.h"
#include "coordination/nudges/idle_nudges.h"
#include "coordination/reminders/reminder_coordinator.h"
#include "coordination/status/coordinator_status.h"
#include "coordination/visits/visit_delivery.h"
#include "coordination/visits/visit_queue.h"
#include "coordination/windows/feature_windows.h"
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
// Its callers reach the focus session and the reminders through those parts' interfaces
// (focus(), reminders()), and the status item reads one CoordinatorStatus.
//
// Every callback it hands out (ticker, timers, presenter, hot keys, stores, windows) holds
// it weakly. Once it is gone, the three that start something the user typed or chose (the
// quick command, a Today priority, a calendar focus) throw ActionError applicationClosing,
// so their window says why nothing happened; the others do nothing.
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

  // The entry of every scheduled visit: judged against a fresh look at the environment,
  // then shown, held while another visit is on screen, posted as a silent notification or
  // dropped, by the reason's fallback for the visit's kind.
  void enqueue(const Visit& visit);

  // The parts a caller reaches through their own interfaces, for what only they do: the
  // focus session (control, recovery and what can be read) and the reminders with the mute.
  FocusControl& focus() const { return *focus_; }
  ReminderControl& reminders() const { return *reminders_; }

  // What the status line, the status menu and the pills show, read at this moment.
  // `reminderRows`: how many of the stored reminders to describe (each schedule is a few
  // calendar searches), from the `firstReminder`th on in store order; none for the icon, the
  // tray menu's bound for a page of its menu.
  CoordinatorStatus status(std::size_t reminderRows = std::numeric_limits<std::size_t>::max(),
                           std::size_t firstReminder = 0);
  // Told after every change the status item shows.
  std::function<void()> onStateChanged;

  // ---- Mute, pills, typed commands ----
  // A new mute replaces the old end, even an earlier one; it also silences what is being
  // said now.
  void mute(MuteDuration duration);
  // Sends the mascot at once, past the queue, suppression and the mute; nothing when it is
  // busy with another visit.
  void vorlaneNow();
  // Runs one pill.
  void perform(QuickAction action);
  // Runs one typed command and returns the sentence that answers it. Throws
  // QuickCommand::Error, ActionError, ReminderParser::ParseError or the reminder store's
  // refusal; then nothing changed.
  std::string executeCommand(const std::string& text);

 private:
  friend class VisitCoordinatorPeer;  // tests read the delivery
  struct ConstructionKey {};

 public:
  VisitCoordinator(ConstructionKey, const Dependencies& dependencies);

 private:
  void makeParts(Dependencies& dependencies);
  // What the mascot does next, for the status line: the mute, a finished period, the
  // paused or running period, or the next visit.
  std::string nextVisitDescription();
  // The pills the current phase offers, in order.
  std::vector<QuickAction> availableQuickActions() const;
  // Hands the pills, the work length and the mute state to the mascot.
  void refreshQuickActions();
  // The mute hot key: unmutes while muted, else mutes for an hour.
  void toggleMute();
  // What one part reports, passed on to the others.
  void stateChanged() override;
  void muteChanged() override;
  void phaseChanged() override;
  void userBusy(Date now) override;
  void visitPresenting(const Visit& visit) override;
  void tick();
  // Calls onStateChanged, except inside a tick, which calls it once at its end.
  void signalStateChanged();
  // Applies the settings `now`, all of them at start (no `before`), afterwards what differs
  // from `before`: the mascot hears only of its own fields (the display, its presence, the
  // placements, the work length on its pills), and the status of every field but the
  // placements, the login item and the welcome, which others follow.
  void applyPreferences(const std::optional<Preferences>& before, const Preferences& now);
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

  std::shared_ptr<ReminderCoordinator> reminders_;
  std::shared_ptr<VisitDelivery> delivery_;
  std::shared_ptr<FocusCoordinator> focus_;
  std::unique_ptr<IdleNudges> nudges_;
  bool ticking_ = false;

  // ---- Screen availability, sleep and wake -------------------------------------------
  // The screen went dark, was locked or the session was left: held visits become silent
  // notifications or are dropped by their fallback, the visit on screen is abandoned and
  // speech stops. Only the first of several acts.
  void screenBecameUnavailable();
  // The screen is back: stale presentations go; after an absence the scheduler is
  // re-anchored, so missed visits are skipped, and both cadences start over.
  void screenBecameAvailable();
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

 private:
  void showQuickCommand();
  void showToday();
  void showWeeklyReflection();
  void showFocusHistory();
  void showCalendarFocus();

  std::shared_ptr<CalendarFocusModel> calendarFocus_;
};

}  // namespace vorlane
