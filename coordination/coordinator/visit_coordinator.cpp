#include "coordination/coordinator/visit_coordinator.h"

#include <stdexcept>
#include <utility>

#include "foundation/date_description.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

// Sets a flag for the life of a scope, and puts back what it was.
class RaisedFlag {
 public:
  explicit RaisedFlag(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
  ~RaisedFlag() { flag_ = was_; }
  RaisedFlag(const RaisedFlag&) = delete;
  RaisedFlag& operator=(const RaisedFlag&) = delete;

 private:
  bool& flag_;
  bool was_;
};

template <class T>
void require(const T& dependency, const char* name) {
  if (!dependency) throw std::invalid_argument(std::string("VisitCoordinator needs ") + name);
}

}  // namespace

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
  if (!dependencies.prefersReducedMotion) dependencies.prefersReducedMotion = [] { return false; };
  if (!dependencies.random) dependencies.random = std::make_shared<SystemRandomGenerator>();
  if (!dependencies.calendar) dependencies.calendar = [] { return Calendar::current(); };

  auto coordinator = std::make_shared<VisitCoordinator>(ConstructionKey{}, dependencies);
  // The parts are wired through weak references, which do not exist inside the constructor.
  coordinator->makeParts(dependencies);
  return coordinator;
}

VisitCoordinator::VisitCoordinator(ConstructionKey, const Dependencies& d)
    : clock_(d.clock),
      scheduler_(d.scheduler),
      ticker_(d.ticker),
      presenter_(d.presenter),
      speech_(d.speech),
      notifications_(d.notifications),
      preferencesStore_(d.preferencesStore),
      focusHistory_(d.focusHistory),
      priorities_(d.priorities),
      windows_(d.windows),
      hotKeys_(d.hotKeys),
      calendarProvider_(d.calendar),
      systemEvents_(d.systemEvents),
      calendarFocus_(d.calendarFocus) {}

std::function<void()> VisitCoordinator::weakly(void (VisitCoordinator::*action)()) {
  return [weak = weak_from_this(), action] {
    if (const auto self = weak.lock()) ((*self).*action)();
  };
}

void VisitCoordinator::makeParts(Dependencies& d) {
  // The parts hear of one another through this coordinator, held weakly.
  const std::weak_ptr<CoordinationObserver> observer = weak_from_this();
  reminders_ = std::make_shared<ReminderCoordinator>(clock_, scheduler_, std::move(d.reminderStore),
                                                     calendarProvider_, observer);
  delivery_ = VisitDelivery::create({.clock = clock_,
                                     .presenter = presenter_,
                                     .speech = speech_,
                                     .notifications = notifications_,
                                     .preferencesStore = preferencesStore_,
                                     .environmentSnapshot = std::move(d.environmentSnapshot),
                                     .environment = std::move(d.environment),
                                     .mute = reminders_,
                                     .observer = observer});
  nudges_ = std::make_unique<IdleNudges>(
      IdleNudges::Dependencies{.clock = clock_,
                               .presenter = presenter_,
                               .preferencesStore = preferencesStore_,
                               .random = d.random,
                               .focusSessionEditor = windows_.get<FocusSessionEditorWindow>(),
                               .calendar = calendarProvider_,
                               .prefersReducedMotion = d.prefersReducedMotion,
                               .visits = delivery_,
                               .observer = observer});
  focus_ = FocusCoordinator::create({.clock = clock_,
                                     .presenter = presenter_,
                                     .notifications = notifications_,
                                     .preferencesStore = preferencesStore_,
                                     .focusHistory = focusHistory_,
                                     .recovery = std::move(d.recovery),
                                     .priorities = priorities_,
                                     .focusSessionEditor = windows_.get<FocusSessionEditorWindow>(),
                                     .resumeNote = windows_.get<ResumeNoteWindow>(),
                                     .focusHistoryWindow = windows_.get<FocusHistoryWindow>(),
                                     .sessionTimers = std::move(d.sessionTimers),
                                     .calendar = calendarProvider_,
                                     .prefersReducedMotion = std::move(d.prefersReducedMotion),
                                     .visits = delivery_,
                                     .observer = observer,
                                     .systemEvents = systemEvents_});
}

void VisitCoordinator::muteChanged() { refreshQuickActions(); }
void VisitCoordinator::phaseChanged() { refreshQuickActions(); }
void VisitCoordinator::userBusy(Date now) { nudges_->restartInvitationWait(now); }
void VisitCoordinator::visitPresenting(const Visit& visit) { reminders_->visitPresenting(visit); }

void VisitCoordinator::start() {
  const Date now = clock_->now();
  nudges_->restart(now);
  reminders_->handToScheduler();
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
    afterPendingWake(self->systemEvents_, [weak] {
      if (const auto self = weak.lock()) self->tick();
    });
  };
  ticker_->start();
  presenter_->onCharacterClicked = [weak = weak_from_this()] {
    const auto self = weak.lock();
    // A click starts the break only while a finished focus waits for it.
    if (self && self->focus_->pomodoro().phase().is<PomodoroSession::Phase::AwaitingBreak>()) {
      self->focus_->startBreak();
    }
  };
  wireUserInput();
  observeScreenAvailability();
  notifications_->queryCapabilities();
  // Anchors the scheduler here, so nothing due before start-up is shown.
  scheduler_->dueVisits();
  applyPreferences(std::nullopt, preferencesStore_->preferences());
  // The login item and the welcome are the shell's to follow.
  preferencesSubscription_ = preferencesStore_->follow(
      PreferenceFields::allBut(&PreferenceValues::launchAtLogin,
                               &PreferenceValues::hasCompletedOnboarding),
      [weak = weak_from_this()](const Preferences& before, const Preferences& now) {
        if (const auto self = weak.lock()) self->applyPreferences(before, now);
      });
  focus_->start();
}

void VisitCoordinator::applyPreferences(const std::optional<Preferences>& before,
                                        const Preferences& now) {
  static const PreferenceFields placements(&PreferenceValues::mascotPlacements);
  static const PreferenceFields applied = PreferenceFields::allBut(
      &PreferenceValues::mascotPlacements, &PreferenceValues::launchAtLogin,
      &PreferenceValues::hasCompletedOnboarding);
  // A placement only moves the column; at start the column is laid out where its display's
  // placement says anyway.
  if (before && placements.differ(*before, now)) presenter_->applyPlacement();
  if (before && !applied.differ(*before, now)) return;

  focus_->applyPreferences(now);
  if (!before || before->preferredScreenID != now.preferredScreenID) {
    presenter_->setPreferredScreenID(now.preferredScreenID);
  }
  // Only when it matters: re-applying dismisses an idle invitation the mascot is showing.
  const bool presenceChanged = !before || now.presenceDiffers(*before);
  if (presenceChanged) presenter_->applyPresenceMode();
  // A scene the presence made anew starts from its own defaults.
  if (presenceChanged || before->effectiveWorkMinutes() != now.effectiveWorkMinutes()) {
    refreshQuickActions();
  }
  signalStateChanged();
}

void VisitCoordinator::enqueue(const Visit& visit) { delivery_->enqueue(visit); }

void VisitCoordinator::tick() {
  const Date now = clock_->now();
  {
    // Many visits may fall due together (after a wake, or reminders set for one time): each
    // refused while the mascot is busy would refresh the status item, and each would look
    // at the desktop anew. The pass signals once at its end and looks once.
    const RaisedFlag inTick(ticking_);
    const VisitDelivery::SharedLook oneLook(*delivery_);
    reminders_->handToScheduler();
    focus_->advance(now);
    for (const Visit& visit : scheduler_->dueVisits()) enqueue(visit);
    delivery_->drain();
    nudges_->considerInvitation(focus_->pomodoro(), now);
    nudges_->considerEncouragement(focus_->pomodoro(), now);
    reminders_->pruneExpiredWhenDue(now);
  }
  signalStateChanged();
}

void VisitCoordinator::stateChanged() { signalStateChanged(); }

void VisitCoordinator::signalStateChanged() {
  if (ticking_) return;  // the tick signals once at its end
  // A copy: the callee may replace the callback.
  const auto callback = onStateChanged;
  if (callback) callback();
}

Calendar VisitCoordinator::calendar() const { return calendarProvider_(); }

const ShortTimeFormatter& VisitCoordinator::timeFormatter() {
  if (!timeFormatter_) timeFormatter_.emplace(calendar());
  return *timeFormatter_;
}

}  // namespace vorlane
