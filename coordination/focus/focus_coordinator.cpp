// Focus and break periods: starting, pausing, extending and ending them, and what the
// mascot shows of them every second.
#include "coordination/focus/focus_coordinator.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

#include "coordination/visits/visit_queue.h"
#include "core/focus/focus_input.h"
#include "foundation/text.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;
using Kind = PomodoroSession::Kind;

constexpr const char* notificationTitle = "Vorlane";
constexpr const char* historyFailureBody = "Focus finished, but its history could not be saved.";
constexpr double timerInterval = 1.0;
constexpr double timerTolerance = 0.02;

// A command that the session's own rules would leave without effect (a menu row or a pill
// built before the phase changed) is refused in the user's sentence, before anything changes.
template <class Operation>
void refuseUnlessItChanges(const PomodoroSession& session, ActionErrorCase refusal,
                           Operation operation) {
  PomodoroSession trial = session;
  operation(trial);
  if (trial == session) throw ActionError(refusal);
}

Visit sessionVisit(Visit::Kind kind, Date now, std::string spoken, std::string bubble,
                   bool showsBubble, Choreography choreography) {
  return Visit{UUID::random(),
               kind,
               now,
               std::move(spoken),
               std::move(bubble),
               showsBubble,
               Visit::BubbleStyle::headline,
               choreography,
               true};
}

}  // namespace

std::shared_ptr<FocusCoordinator> FocusCoordinator::create(Dependencies dependencies) {
  auto focus = std::make_shared<FocusCoordinator>(ConstructionKey{}, std::move(dependencies));
  // These steps hand out weak references, which do not exist inside the constructor.
  focus->restoreCheckpoint();
  focus->installAccomplishmentHook();
  return focus;
}

FocusCoordinator::FocusCoordinator(ConstructionKey, Dependencies d)
    : clock_(std::move(d.clock)),
      presenter_(std::move(d.presenter)),
      notifications_(std::move(d.notifications)),
      preferencesStore_(std::move(d.preferencesStore)),
      focusHistory_(std::move(d.focusHistory)),
      recovery_(std::move(d.recovery)),
      priorities_(std::move(d.priorities)),
      focusSessionEditor_(std::move(d.focusSessionEditor)),
      resumeNote_(std::move(d.resumeNote)),
      focusHistoryWindow_(std::move(d.focusHistoryWindow)),
      sessionTimer_(d.sessionTimers ? d.sessionTimers() : nullptr),
      calendar_(std::move(d.calendar)),
      prefersReducedMotion_(std::move(d.prefersReducedMotion)),
      visits_(std::move(d.visits)),
      observer_(std::move(d.observer)),
      systemEvents_(std::move(d.systemEvents)),
      pomodoro_(preferencesStore_->preferences().effectiveWorkMinutes(),
                preferencesStore_->preferences().effectiveBreakMinutes()) {}

void FocusCoordinator::restoreCheckpoint() {
  const auto& checkpoint = recovery_->document().value();
  if (!checkpoint) return;
  // A refused checkpoint stays stored; the session starts idle.
  if (!pomodoro_.restore(checkpoint->session)) return;
  nextStep_ = checkpoint->nextStep;
  isStarterFocus_ = checkpoint->isStarter;
  activePriorityID_ = checkpoint->priorityID;
}

void FocusCoordinator::installAccomplishmentHook() {
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

void FocusCoordinator::start() {
  if (pomodoro_.isPaused()) updateSessionDisplay();
}

void FocusCoordinator::applyPreferences(const Preferences& preferences) {
  pomodoro_.setWorkDuration(static_cast<double>(preferences.effectiveWorkMinutes()) * 60);
  pomodoro_.setBreakDuration(static_cast<double>(preferences.effectiveBreakMinutes()) * 60);
}

int FocusCoordinator::workMinutes() const {
  return static_cast<int>(preferencesStore_->preferences().effectiveWorkMinutes());
}

void FocusCoordinator::showFocusSessionEditor(bool starter) {
  const auto editor = focusSessionEditor_;
  if (!editor) return;  // no editor window in this build: the request stays disabled
  userBusy(clock_->now());
  presenter_->dismissIdleFocusInvitation();
  const int minutes = starter ? starterMinutes : workMinutes();
  const bool replacing = pomodoro_.phase().kind().has_value();
  editor->show(minutes, replacing, starter,
               [weak = weak_from_this(), starter](const std::string& goal) {
                 const auto self = weak.lock();
                 if (!self) return;
                 // The length as it is when the user starts, not when the editor opened.
                 const int chosen = starter ? starterMinutes : self->workMinutes();
                 self->beginFocus(chosen, goal, starter);
               });
}

void FocusCoordinator::beginFocus(int minutes, const std::string& focus, bool starter) {
  // Judged on exactly the text the session will keep, so the checkpoint never refuses it.
  const std::string goal = trimmed(FocusInput::cleaned(focus));
  if (!FocusInput::isValidMinutes(minutes) || !FocusInput::fitsGoal(goal)) {
    throw ActionError(ActionErrorCase::invalidGoal);
  }

  closeResumeNote();
  nextStep_.clear();
  activePriorityID_.reset();
  clearCheckpoint();
  isStarterFocus_ = starter;
  pomodoro_.setWorkDuration(static_cast<double>(minutes) * 60);
  pomodoro_.setBreakDuration(
      static_cast<double>(preferencesStore_->preferences().effectiveBreakMinutes()) * 60);
  pomodoro_.start(clock_->now(), goal);
  userBusy(clock_->now());
  clearCompletionDisplay();
  Log::pomodoro().info("started a %ld minute session", static_cast<long>(minutes));
  const std::string count = std::to_string(minutes);
  const Visit visit =
      sessionVisit(Visit::Kind::pomodoroStart(), clock_->now(), count + " minutes. Go.",
                   count + " min", true, Choreography::brief());
  periodVisit_ = visit.id;
  visits_->enqueue(visit);
  startSessionTimer();
  stateChanged();
}

void FocusCoordinator::startBreak() {
  const std::string minutes =
      std::to_string(preferencesStore_->preferences().effectiveBreakMinutes());
  pomodoro_.startBreak(clock_->now());
  clearCompletionDisplay();
  Log::pomodoro().info("break started");
  // There is no break-start kind; it falls back as a break end would.
  const Visit visit = sessionVisit(Visit::Kind::breakComplete(), clock_->now(),
                                   "Break time. " + minutes + " minutes.", "Break " + minutes + "m",
                                   true, Choreography::brief());
  periodVisit_ = visit.id;
  visits_->enqueue(visit);
  startSessionTimer();
  stateChanged();
}

bool FocusCoordinator::advance(Date now) {
  const auto event = pomodoro_.advance(now, calendar_());
  if (!event) {
    updateSessionDisplay();
    return false;
  }
  clearCheckpoint();
  closeResumeNote();
  // What announced the period may still be on show: its end is the news now.
  periodVisit_.reset();
  completionPresentationAllowed_ = visits_->suppressionDecision(now).isAllowed();
  // A copy: the presenter and the history may call back into the coordinator.
  const std::optional<PomodoroSession::Completion> completion = pomodoro_.completion();
  if (*event == PomodoroSession::Event::workCompleted && completion) {
    try {
      focusHistory_->record(*completion, activePriorityID_);
    } catch (const std::exception& error) {
      // The session still moves on and its visit still comes.
      focusHistory_->reportFailure(error);
      notifications_->postSilent(notificationTitle, historyFailureBody);
    }
  }
  presenter_->showSession(std::nullopt, std::nullopt, std::nullopt);
  updateSessionDisplay();
  phaseChanged();

  // When the panel can show, it carries the title, so the visit goes without its bubble.
  const bool showsBubble = !completionPresentationAllowed_;
  if (completionPresentationAllowed_ && prefersReducedMotion_()) {
    Log::pomodoro().info("completion shown without motion");
  } else if (*event == PomodoroSession::Event::breakCompleted) {
    Log::pomodoro().info("break over");
    visits_->enqueue(sessionVisit(Visit::Kind::breakComplete(), clock_->now(), "Break's over.",
                                  completion ? completion->title() : "Break complete", showsBubble,
                                  Choreography::brief()));
  } else {
    Log::pomodoro().info("session complete, %ld done today",
                         static_cast<long>(pomodoro_.completedToday()));
    visits_->enqueue(sessionVisit(Visit::Kind::pomodoroComplete(), clock_->now(), "",
                                  completion ? completion->title() : "Focus complete", showsBubble,
                                  Choreography::triumphant()));
  }
  stateChanged();
  return true;
}

void FocusCoordinator::requestPauseSession() {
  refuseUnlessItChanges(pomodoro_, ActionErrorCase::noRunningSession,
                        [now = clock_->now()](PomodoroSession& s) { s.pause(now); });
  pauseSession();
  const auto* paused = pomodoro_.phase().as<Phase::Paused>();
  if (paused && paused->kind == Kind::work) showResumeNote(false);
}

void FocusCoordinator::requestResumeSession() {
  refuseUnlessItChanges(pomodoro_, ActionErrorCase::notPaused,
                        [now = clock_->now()](PomodoroSession& s) { s.resume(now); });
  const auto* paused = pomodoro_.phase().as<Phase::Paused>();
  // Without a note window the note cannot be shown: the session resumes at once rather
  // than stay paused for good.
  if (paused->kind == Kind::work && !nextStep_.empty() && resumeNote_) {
    showResumeNote(true);  // the user resumes from the window
    return;
  }
  resumeSession();
}

void FocusCoordinator::pauseSession() {
  const Phase& phase = pomodoro_.phase();
  if (!phase.is<Phase::Working>() && !phase.is<Phase::OnBreak>()) return;
  // A period that has just run out finishes; there is nothing left to pause.
  if (advance(clock_->now())) return;
  pomodoro_.pause(clock_->now());
  saveFocusForTermination();
  stopSessionTimer();
  updateSessionDisplay();
  Log::pomodoro().info("session paused");
  phaseChanged();
  stateChanged();
}

void FocusCoordinator::resumeSession() {
  if (!pomodoro_.isPaused()) return;
  closeResumeNote();
  clearCheckpoint();
  pomodoro_.resume(clock_->now());
  startSessionTimer();
  Log::pomodoro().info("session resumed");
  stateChanged();
}

void FocusCoordinator::extendSession(int minutes) {
  const double amount = static_cast<double>(minutes) * 60;
  refuseUnlessItChanges(pomodoro_, ActionErrorCase::noRunningSession,
                        [&, now = clock_->now()](PomodoroSession& s) { s.extend(amount, now); });
  const auto& completion = pomodoro_.completion();
  const bool continuesFinishedFocus = completion && completion->kind == Kind::work;
  pomodoro_.extend(amount, clock_->now());
  if (continuesFinishedFocus) clearCompletionDisplay();
  if (pomodoro_.isPaused()) {
    saveFocusForTermination();
    updateSessionDisplay();
  } else {
    startSessionTimer();
  }
  Log::pomodoro().info("session extended by %ld minutes", static_cast<long>(minutes));
  phaseChanged();
  stateChanged();
}

void FocusCoordinator::skipBreak() {
  refuseUnlessItChanges(pomodoro_, ActionErrorCase::noRunningSession,
                        [](PomodoroSession& s) { s.skipBreak(); });
  pomodoro_.skipBreak();
  leaveSessionDisplay("break skipped");
}

void FocusCoordinator::cancelPomodoro() {
  refuseUnlessItChanges(pomodoro_, ActionErrorCase::noRunningSession,
                        [](PomodoroSession& s) { s.cancel(); });
  closeResumeNote();
  nextStep_.clear();
  activePriorityID_.reset();
  clearCheckpoint();
  isStarterFocus_ = false;
  pomodoro_.cancel();
  leaveSessionDisplay("session cancelled");
}

void FocusCoordinator::leaveSessionDisplay(std::string_view line) {
  clearCompletionDisplay();
  // "25 min" must not stay on screen, or come later, once the session is stopped.
  if (const auto announced = std::exchange(periodVisit_, std::nullopt)) {
    visits_->cutShort(*announced);
  }
  userBusy(clock_->now());
  stopSessionTimer();
  presenter_->showSession(std::nullopt, std::nullopt, std::nullopt);
  Log::pomodoro().info(line);
  phaseChanged();
  stateChanged();
}

void FocusCoordinator::startSessionTimer() {
  stopSessionTimer();
  if (sessionTimer_) {
    sessionTimer_->start(timerInterval, timerTolerance, [weak = weak_from_this()] {
      const auto self = weak.lock();
      if (!self) return;
      // After a resume this timer may fire before the desktop reports the wake; the wake
      // goes first, so a period that ended in the sleep is not finished and celebrated.
      afterPendingWake(self->systemEvents_, [weak] {
        const auto self = weak.lock();
        if (!self || !self->sessionTimer_ || !self->sessionTimer_->isActive()) return;
        // An ended phase has signalled already.
        if (!self->advance(self->clock_->now())) self->stateChanged();
      });
    });
  }
  updateSessionDisplay();
  phaseChanged();
}

void FocusCoordinator::stopSessionTimer() {
  if (sessionTimer_) sessionTimer_->stop();
}

void FocusCoordinator::endPeriodLostInSleep(Date now) {
  const auto endsAt = pomodoro_.endsAt();
  if (!endsAt || now - *endsAt <= VisitQueue::staleLimit) return;
  Log::pomodoro().info("session ended while asleep, cancelling silently");
  pomodoro_.cancel();
  stopSessionTimer();
  presenter_->showCompletion(std::nullopt, "", "Finished just now", false);
  presenter_->showSession(std::nullopt, std::nullopt, std::nullopt);
}

void FocusCoordinator::startRequestedFocus(int minutes, const std::string& goal) {
  startJudgedFocus(minutes, goal, FocusInput::isValidGoal);
}

void FocusCoordinator::startJudgedFocus(int minutes, const std::string& goal,
                                        bool (*acceptable)(std::string_view)) {
  // Idle and a finished focus awaiting its break both make way for a new one.
  if (pomodoro_.phase().kind()) throw ActionError(ActionErrorCase::activeSession);
  const std::string cleaned = FocusInput::cleaned(goal);
  if (!acceptable(cleaned) || !FocusInput::isValidMinutes(minutes)) {
    throw ActionError(ActionErrorCase::invalidGoal);
  }
  beginFocus(minutes, cleaned, minutes == starterMinutes);
}

void FocusCoordinator::discardLastSession() {
  pomodoro_.discardLastCompletion();
  stateChanged();
}

void FocusCoordinator::stateChanged() const {
  if (const auto observer = observer_.lock()) observer->stateChanged();
}

void FocusCoordinator::phaseChanged() const {
  if (const auto observer = observer_.lock()) observer->phaseChanged();
}

void FocusCoordinator::userBusy(Date now) const {
  if (const auto observer = observer_.lock()) observer->userBusy(now);
}

}  // namespace vorlane
