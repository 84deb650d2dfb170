#include "coordination/visit_coordinator.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/logging/log.h"
#include "foundation/date_description.h"

namespace vorlane {
namespace {

// A reminder stays stored this long after it expires.
constexpr double pruneGrace = 150;

template <class T>
void require(const T& dependency, const char* name) {
  if (!dependency) throw std::invalid_argument(std::string("VisitCoordinator needs ") + name);
}

}  // namespace

std::int64_t VisitCoordinator::effectiveWorkMinutes(const Preferences& preferences) {
  return std::clamp<std::int64_t>(preferences.workMinutes, 1, 90);
}

std::int64_t VisitCoordinator::effectiveBreakMinutes(const Preferences& preferences) {
  return std::clamp<std::int64_t>(preferences.breakMinutes, 1, 30);
}

std::shared_ptr<VisitCoordinator> VisitCoordinator::create(Dependencies dependencies) {
  require(dependencies.clock, "a clock");
  require(dependencies.scheduler, "a scheduler");
  require(dependencies.ticker, "a ticker");
  require(dependencies.presenter, "a presenter");
  require(dependencies.speech, "a speech service");
  require(dependencies.notifications, "a notification service");
  require(dependencies.preferencesStore, "a preferences store");
  require(dependencies.reminderStore, "a reminder store");
  require(dependencies.focusHistory, "a focus history store");
  require(dependencies.recovery, "a focus recovery store");
  require(dependencies.priorities, "a daily priorities store");
  if (!dependencies.environmentSnapshot) require(dependencies.environment, "an environment source");

  auto coordinator = std::make_shared<VisitCoordinator>(ConstructionKey{}, std::move(dependencies));
  // These steps hand out weak references, which do not exist inside the constructor.
  coordinator->restoreCheckpoint();
  coordinator->installAccomplishmentHook();
  coordinator->idleInvitations_.reset(coordinator->clock_->now());
  return coordinator;
}

VisitCoordinator::VisitCoordinator(ConstructionKey, Dependencies d)
    : clock_(std::move(d.clock)),
      scheduler_(std::move(d.scheduler)),
      ticker_(std::move(d.ticker)),
      presenter_(std::move(d.presenter)),
      speech_(std::move(d.speech)),
      notifications_(std::move(d.notifications)),
      preferencesStore_(std::move(d.preferencesStore)),
      reminderStore_(std::move(d.reminderStore)),
      environmentSnapshot_(std::move(d.environmentSnapshot)),
      prefersReducedMotion_(d.prefersReducedMotion ? std::move(d.prefersReducedMotion)
                                                   : [] { return false; }),
      focusHistory_(std::move(d.focusHistory)),
      priorities_(std::move(d.priorities)),
      windows_(std::move(d.windows)),
      random_(d.random ? std::move(d.random) : std::make_shared<SystemRandomGenerator>()),
      pomodoro_(effectiveWorkMinutes(preferencesStore_->preferences()),
                effectiveBreakMinutes(preferencesStore_->preferences())),
      recovery_(std::move(d.recovery)),
      hotKeys_(std::move(d.hotKeys)),
      sessionTimer_(d.sessionTimers ? d.sessionTimers() : nullptr),
      environment_(std::move(d.environment)),
      calendarProvider_(d.calendar ? std::move(d.calendar) : [] { return Calendar::current(); }),
      systemEvents_(std::move(d.systemEvents)),
      calendarFocus_(std::move(d.calendarFocus)) {}

void VisitCoordinator::restoreCheckpoint() {
  const auto& checkpoint = recovery_->document().value();
  if (!checkpoint) return;
  // A refused checkpoint stays stored; the session starts idle.
  if (!pomodoro_.restore(checkpoint->session)) return;
  nextStep_ = checkpoint->nextStep;
  isStarterFocus_ = checkpoint->isStarter;
  activePriorityID_ = checkpoint->priorityID;
}

void VisitCoordinator::installAccomplishmentHook() {
  focusHistory_->setOnAccomplished(
      [weak = weak_from_this()](const FocusHistoryEntry& entry, Date at) {
        const auto self = weak.lock();
        if (!self || !entry.priorityID) return;
        const UUID id = *entry.priorityID;
        const auto& items = self->priorities_->plan().items();
        if (std::none_of(items.begin(), items.end(),
                         [&](const DailyPriority& item) { return item.id == id; })) {
          return;
        }
        // Saves a marked copy and publishes it only once saved; errors go to the history.
        self->priorities_->apply([&](DailyPriorities& plan) { plan.markAccomplished(id, at); });
      });
}

void VisitCoordinator::start() {
  const Date now = clock_->now();
  idleInvitations_.reset(now);
  encouragements_.reset(now, *random_);
  scheduler_->setReminders(reminderStore_->reminders());
  scheduler_->onSkippedStaleVisits = [](const std::vector<Date>& dates) {
    for (const Date date : dates) {
      Log::scheduling().info("skipping stale visit for %{public}s, machine was probably asleep",
                             describeDate(date));
    }
  };
  ticker_->onTick = [weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self) return;
    // A wake the desktop has not reported yet is handled before the tick looks at time.
    if (self->systemEvents_) self->systemEvents_->deliverPendingWake();
    self->tick();
  };
  ticker_->start();
  presenter_->onCharacterClicked = [weak = weak_from_this()] {
    const auto self = weak.lock();
    // A click starts the break only while a finished focus waits for it.
    if (self && self->pomodoro_.phase().is<PomodoroSession::Phase::AwaitingBreak>()) {
      self->startBreak();
    }
  };
  wireUserInput();
  observeScreenAvailability();
  notifications_->queryCapabilities();
  // Anchors the scheduler here, so nothing due before start-up is shown.
  scheduler_->dueVisits();
  applyPreferences();
  // A session restored from its checkpoint shows at once.
  if (pomodoro_.isPaused()) updateSessionDisplay();
}

void VisitCoordinator::applyPreferences() {
  const Preferences preferences = preferencesStore_->preferences();
  pomodoro_.setWorkDuration(static_cast<double>(effectiveWorkMinutes(preferences)) * 60);
  pomodoro_.setBreakDuration(static_cast<double>(effectiveBreakMinutes(preferences)) * 60);
  presenter_->setPreferredScreenID(preferences.preferredScreenID);
  presenter_->applyPresenceMode();
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::tick() {
  const Date now = clock_->now();
  scheduler_->setReminders(reminderStore_->reminders());
  advancePomodoro(now);
  for (const Visit& visit : scheduler_->dueVisits()) enqueue(visit);
  drainPendingVisits();
  considerIdleFocusInvitation();
  considerEncouragement();
  reminderStore_->pruneExpired(now - pruneGrace);
  signalStateChanged();
}

void VisitCoordinator::signalStateChanged() {
  // A copy: the callee may replace the callback.
  const auto callback = onStateChanged;
  if (callback) callback();
}

Calendar VisitCoordinator::calendar() const { return calendarProvider_(); }

}  // namespace vorlane
