#include "ui/mascot/controller/mascot_window_controller.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <stdexcept>

#include "foundation/date_description.h"
#include "platform/logging/log.h"
#include "ui/mascot_window/target_screen.h"

namespace vorlane {
namespace {

std::string describeKind(const Visit::Kind& kind) {
  switch (kind.value()) {
    case Visit::Kind::Case::reminder:
      return "reminder(" + kind.reminderID().toString() + ")";
    case Visit::Kind::Case::hourly:
      return "hourly";
    case Visit::Kind::Case::manual:
      return "manual";
    case Visit::Kind::Case::pomodoroStart:
      return "pomodoroStart";
    case Visit::Kind::Case::pomodoroComplete:
      return "pomodoroComplete";
    case Visit::Kind::Case::breakComplete:
      return "breakComplete";
    case Visit::Kind::Case::encouragement:
      return "encouragement";
  }
  return "unknown";
}

std::unique_ptr<DelayedWork> timerWork() {
  // A QTimer is coarse unless told otherwise: the fidget timer's tolerance comes with it.
  return std::make_unique<TimerDelayedWork>();
}

}  // namespace

MascotWindowController::MascotWindowController(Dependencies d)
    : preferencesStore_(std::move(d.preferencesStore)),
      screens_(std::move(d.screens)),
      prefersReducedMotion_(d.prefersReducedMotion ? std::move(d.prefersReducedMotion)
                                                   : [] { return false; }),
      random_(d.random ? std::move(d.random) : std::make_shared<SystemRandomGenerator>()),
      trayAvailable_(d.trayAvailable ? std::move(d.trayAvailable)
                                     : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }),
      pointerLocation_(d.pointerLocation ? std::move(d.pointerLocation)
                                         : [] { return QCursor::pos(); }) {
  if (!preferencesStore_ || !screens_) {
    throw std::invalid_argument("the mascot needs a preferences store and a screen provider");
  }
  const auto makeWork = d.makeWork ? std::move(d.makeWork) : timerWork;
  settleWork_ = makeWork();
  redrawWork_ = makeWork();
  fidgetTimer_ = makeWork();
  invitationWork_ = makeWork();
  fontWork_ = makeWork();
  pointer_ = std::make_unique<MascotPointerInput>(MascotPointerInput::Dependencies{
      .host = this,
      .preferences = preferencesStore_,
      .pointerLocation = pointerLocation_,
      .trayAvailable = trayAvailable_,
      .doubleClickInterval =
          d.doubleClickInterval
              ? std::move(d.doubleClickInterval)
              : [] { return QGuiApplication::styleHints()->mouseDoubleClickInterval(); },
      .pillGuard = makeWork()});

  QPointer<MascotWindowController> self(this);
  appearanceObserver_ = std::make_unique<AppearanceObserver>([self](const MascotTheme& theme) {
    if (!self || !self->scene_) return;
    self->scene_->applyTheme(theme);
    self->redrawStaticScene();
  });
  if (d.watchesScreens) {
    screenWatcher_ = std::make_unique<ScreenChangeWatcher>();
    connect(screenWatcher_.get(), &ScreenChangeWatcher::changed, this,
            &MascotWindowController::screenParametersChanged);
  }
  if (d.systemEvents) {
    const auto relayout = [self] {
      if (self) self->screenParametersChanged();
    };
    systemSubscriptions_.push_back(d.systemEvents->didWake().subscribe(relayout));
    systemSubscriptions_.push_back(d.systemEvents->screenCameBack().subscribe(relayout));
  }
  preferredScreenID_ = preferences().preferredScreenID;
}

MascotWindowController::~MascotWindowController() {
  // No block may reach back into a half-destroyed controller.
  systemSubscriptions_.clear();
  settleWork_->cancel();
  redrawWork_->cancel();
  fidgetTimer_->cancel();
  invitationWork_->cancel();
  fontWork_->cancel();
  if (view_) view_->setInput(nullptr);
  pointer_.reset();  // pops the cursor of a gesture in progress
  if (driver_) driver_->stop();
  delete window_.data();  // takes the view with it
  if (scene_) scene_->tearDown();
}

ScreenInfo MascotWindowController::targetScreen() const {
  return vorlane::targetScreen(*screens_, preferredScreenID_);
}

MascotPlacement MascotWindowController::savedPlacement(const ScreenInfo& screen) const {
  const Preferences p = preferences();
  const auto found = p.mascotPlacements.find(screen.id);
  return found != p.mascotPlacements.end() ? found->second : MascotPlacement(1.0, 0);
}

void MascotWindowController::showWindow() {
  if (!window_) return;
  window_->show();
  window_->raise();  // never activated: the mascot takes no focus
}

bool MascotWindowController::performIfFree(const Visit& visit, Completion completion) {
  if (isPerformingVisit()) {
    Log::presentation().info("visit already in progress, dropping %s", describeKind(visit.kind));
    // The caller may start over from here: nothing of this object is touched afterwards.
    const Completion refused = std::move(completion);
    if (refused) refused();
    return false;
  }
  pointer_->yieldToVisit();  // a move ends where it got to, a pull is dropped
  currentVisit_ = visit;
  const std::uint64_t serial = ++visitSerial_;
  visitCompletion_ = std::move(completion);
  dismissIdleFocusInvitation();
  Log::presentation().info("performing visit scheduled for %{public}s",
                           describeDate(visit.scheduledFor));
  MascotScene& scene = ensureScene();
  scene.setPresenceMode(presenceBetweenVisits());
  showWindow();
  settleWork_->cancel();
  setAnimating(true);
  QPointer<MascotWindowController> self(this);
  scene.perform(visit, showBubble_, [self, serial] {
    if (self) self->endVisit(serial);
  });
  pointer_->startWatchingPointer();
  pointer_->updateInteractivity(pointerLocation_());
  return true;
}

void MascotWindowController::endVisit(std::uint64_t serial) {
  // A scene may report a visit that already ended (abandoned) or belongs to a scene since
  // replaced: only the visit in flight ends, and only once.
  if (!isPerformingVisit() || serial != visitSerial_) return;
  currentVisit_.reset();
  const Completion completion = std::move(visitCompletion_);
  visitCompletion_ = nullptr;
  const std::function<void()> after = std::move(afterVisit_);
  afterVisit_ = nullptr;
  settleAfterVisit();
  // Either may start the next visit or drop this controller: locals only from here.
  if (completion) completion();
  if (after) after();
}

void MascotWindowController::settleAfterVisit() {
  if (completionOnShow()) {
    pointer_->startWatchingPointer();
    stopStretching();  // no fidgets while the panel is up
    stir(0.4);
  } else if (!hasActiveSession_ && presenceBetweenVisits() == PresenceMode::hidden) {
    pointer_->stopWatchingPointer();
    stopStretching();
    teardownScene();
  } else {
    pointer_->startWatchingPointer();
    startStretching();
    stir(1.2);
  }
}

bool MascotWindowController::abandonVisit(std::optional<Date> scheduledBefore) {
  if (!currentVisit_ || !scene_) return false;
  if (scheduledBefore && currentVisit_->scheduledFor >= *scheduledBefore) return false;
  Log::presentation().info("abandoning visit scheduled for %{public}s",
                           describeDate(currentVisit_->scheduledFor));
  afterVisit_ = nullptr;  // dropped, not run
  const std::uint64_t serial = visitSerial_;
  scene_->abandonVisit();
  // A scene that was not visiting does not finish the visit: end it here, or every later
  // visit would be refused.
  if (isPerformingVisit() && serial == visitSerial_) endVisit(serial);
  return true;
}

bool MascotWindowController::cutVisitShort(const UUID& visitID) {
  if (!currentVisit_ || !scene_ || currentVisit_->id != visitID) {
    return false;
  }
  Log::presentation().info("ending visit scheduled for %{public}s early",
                           describeDate(currentVisit_->scheduledFor));
  // A scene that left the visiting pose has nothing to climb away from: end it here, or
  // every later visit would be refused.
  if (scene_->presenceState() != PresenceState::visiting) {
    endVisit(visitSerial_);
    return true;
  }
  scene_->endVisitEarly();
  return true;
}

void MascotWindowController::endVisitEarly() {
  if (!scene_) return;
  Log::presentation().info("character clicked, ending visit early");
  QPointer<MascotWindowController> self(this);
  afterVisit_ = [self] {
    if (self && self->onCharacterClicked) self->onCharacterClicked();
  };
  scene_->endVisitEarly();
}

void MascotWindowController::setPlacement(const MascotPlacement& placement) {
  // Only written: the driver lays the column out (applyPlacement).
  const std::string screenID = targetScreen().id;
  preferencesStore_->modify(
      [&](Preferences& p) { p.mascotPlacements.insert_or_assign(screenID, placement); });
}

void MascotWindowController::setHorizontalPlacement(double horizontal) {
  setPlacement(MascotPlacement(horizontal, savedPlacement(targetScreen()).vertical()));
}

void MascotWindowController::resetPlacement() { setPlacement(MascotPlacement(1.0, 0)); }

void MascotWindowController::applyPlacement() {
  if (!scene_ || pointer_->isMoving()) return;
  ensureScene();
  redrawStaticScene();
  pointer_->refreshLiveRects();
}

void MascotWindowController::screenParametersChanged() {
  pointer_->cancelPointerGesture();
  configureClock();
  if (!window_) return;
  ensureScene();
  redrawStaticScene();
  pointer_->refreshLiveRects();
}

void MascotWindowController::chooseQuickAction(QuickAction action) {
  if (onQuickAction) onQuickAction(action);
}

void MascotWindowController::pullDown() {
  if (onPullDown) onPullDown();
}

void MascotWindowController::addStatusMenu(QMenu& menu) {
  if (!fillStatusMenu) return;
  menu.addSeparator();
  fillStatusMenu(menu);
}

}  // namespace vorlane
