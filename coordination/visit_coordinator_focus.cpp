// Focus and break periods: starting, pausing, extending and ending them, and what the
// mascot shows of them every second.
#include <exception>
#include <string>
#include <utility>

#include "platform/logging/log.h"
#include "coordination/visit_coordinator.h"
#include "core/focus/focus_input.h"
#include "foundation/text.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;
using Kind = PomodoroSession::Kind;

constexpr const char* notificationTitle = "Vorlane";
constexpr const char* historyFailureBody = "Focus finished, but its history could not be saved.";
constexpr double timerInterval = 1.0;
constexpr double timerTolerance = 0.02;

Visit sessionVisit(Visit::Kind kind, Date now, std::string spoken, std::string bubble,
                   bool showsBubble, Choreography choreography) {
  return Visit{UUID::random(), kind, now,          std::move(spoken), std::move(bubble),
               showsBubble,    Visit::BubbleStyle::headline, choreography, true};
}

}  // namespace

void VisitCoordinator::requestNewPomodoro() { openFocusEditor(false); }

void VisitCoordinator::requestFiveMinuteFocus() { openFocusEditor(true); }

void VisitCoordinator::openFocusEditor(bool starter) {
  const auto editor = windows_.focusEditor;
  if (!editor) return;  // no editor window in this build: the request stays disabled
  idleInvitations_.reset(clock_->now());
  presenter_->dismissIdleFocusInvitation();
  const int minutes = starter ? starterMinutes
                              : static_cast<int>(effectiveWorkMinutes(preferencesStore_->preferences()));
  const bool replacing = pomodoro_.phase().kind().has_value();
  editor->show(minutes, replacing, starter,
               [weak = weak_from_this(), starter](const std::string& goal) {
                 const auto self = weak.lock();
                 if (!self) return;
                 // The length as it is when the user starts, not when the editor opened.
                 const int chosen = starter ? starterMinutes
                                            : static_cast<int>(effectiveWorkMinutes(
                                                  self->preferencesStore_->preferences()));
                 self->beginFocus(chosen, goal, starter);
               });
}

void VisitCoordinator::beginFocus(int minutes, const std::string& focus, bool starter) {
  // Judged on exactly the text the session will keep, so the checkpoint never refuses it.
  const std::string goal = trimmed(FocusInput::cleaned(focus));
  if (minutes < 1 || minutes > 90 || graphemeCount(goal) > FocusInput::maximumLength) {
    throw ActionError(ActionErrorCase::invalidGoal);
  }

  closeResumeNotes();
  nextStep_.clear();
  activePriorityID_.reset();
  clearCheckpoint();
  isStarterFocus_ = starter;
  pomodoro_.setWorkDuration(static_cast<double>(minutes) * 60);
  pomodoro_.setBreakDuration(
      static_cast<double>(effectiveBreakMinutes(preferencesStore_->preferences())) * 60);
  pomodoro_.start(clock_->now(), goal);
  idleInvitations_.reset(clock_->now());
  clearCompletionDisplay();
  Log::pomodoro().info("started a %ld minute session", static_cast<long>(minutes));
  const std::string count = std::to_string(minutes);
  enqueue(sessionVisit(Visit::Kind::pomodoroStart(), clock_->now(), count + " minutes. Go.",
                       count + " min", true, Choreography::brief()));
  startSessionTimer();
  signalStateChanged();
}

void VisitCoordinator::startBreak() {
  const std::string minutes =
      std::to_string(effectiveBreakMinutes(preferencesStore_->preferences()));
  pomodoro_.startBreak(clock_->now());
  clearCompletionDisplay();
  Log::pomodoro().info("break started");
  // There is no break-start kind; it falls back as a break end would.
  enqueue(sessionVisit(Visit::Kind::breakComplete(), clock_->now(),
                       "Break time. " + minutes + " minutes.", "Break " + minutes + "m", true,
                       Choreography::brief()));
  startSessionTimer();
  signalStateChanged();
}

bool VisitCoordinator::advancePomodoro(Date now) {
  const auto event = pomodoro_.advance(now, calendar());
  if (!event) {
    updateSessionDisplay();
    return false;
  }
  clearCheckpoint();
  closeResumeNotes();
  completionPresentationAllowed_ = suppressionDecision(now).isAllowed();
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
  refreshQuickActions();

  // When the panel can show, it carries the title, so the visit goes without its bubble.
  const bool showsBubble = !completionPresentationAllowed_;
  if (completionPresentationAllowed_ && prefersReducedMotion_()) {
    Log::pomodoro().info("completion shown without motion");
  } else if (*event == PomodoroSession::Event::breakCompleted) {
    Log::pomodoro().info("break over");
    enqueue(sessionVisit(Visit::Kind::breakComplete(), clock_->now(), "Break's over.",
                         completion ? completion->title() : "Break complete", showsBubble,
                         Choreography::brief()));
  } else {
    Log::pomodoro().info("session complete, %ld done today",
                         static_cast<long>(pomodoro_.completedToday()));
    enqueue(sessionVisit(Visit::Kind::pomodoroComplete(), clock_->now(), "",
                         completion ? completion->title() : "Focus complete", showsBubble,
                         Choreography::triumphant()));
  }
  signalStateChanged();
  return true;
}

void VisitCoordinator::requestPauseSession() {
  const Phase& phase = pomodoro_.phase();
  if (!phase.is<Phase::Working>() && !phase.is<Phase::OnBreak>()) return;
  pauseSession();
  const auto* paused = pomodoro_.phase().as<Phase::Paused>();
  if (paused && paused->kind == Kind::work) showResumeNotes(false);
}

void VisitCoordinator::requestResumeSession() {
  const auto* paused = pomodoro_.phase().as<Phase::Paused>();
  if (!paused) return;
  if (paused->kind == Kind::work && !nextStep_.empty()) {
    showResumeNotes(true);  // the user resumes from the window
    return;
  }
  resumeSession();
}

void VisitCoordinator::pauseSession() {
  const Phase& phase = pomodoro_.phase();
  if (!phase.is<Phase::Working>() && !phase.is<Phase::OnBreak>()) return;
  // A period that has just run out finishes; there is nothing left to pause.
  if (advancePomodoro(clock_->now())) return;
  pomodoro_.pause(clock_->now());
  saveFocusForTermination();
  stopSessionTimer();
  updateSessionDisplay();
  Log::pomodoro().info("session paused");
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::resumeSession() {
  if (!pomodoro_.isPaused()) return;
  closeResumeNotes();
  clearCheckpoint();
  pomodoro_.resume(clock_->now());
  startSessionTimer();
  Log::pomodoro().info("session resumed");
  signalStateChanged();
}

void VisitCoordinator::extendSession(int minutes) {
  // A menu built before a break ended may still offer this once the session is idle.
  if (pomodoro_.phase().is<Phase::Idle>()) return;
  const auto& completion = pomodoro_.completion();
  const bool continuesFinishedFocus = completion && completion->kind == Kind::work;
  pomodoro_.extend(static_cast<double>(minutes) * 60, clock_->now());
  if (continuesFinishedFocus) clearCompletionDisplay();
  if (pomodoro_.isPaused()) {
    saveFocusForTermination();
    updateSessionDisplay();
  } else {
    startSessionTimer();
  }
  Log::pomodoro().info("session extended by %ld minutes", static_cast<long>(minutes));
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::skipBreak() {
  // Only a break or the wait for one; a menu built earlier may ask on another phase.
  const Phase& phase = pomodoro_.phase();
  if (!phase.is<Phase::AwaitingBreak>() && phase.kind() != Kind::rest) return;
  pomodoro_.skipBreak();
  clearCompletionDisplay();
  idleInvitations_.reset(clock_->now());
  stopSessionTimer();
  presenter_->showSession(std::nullopt, std::nullopt, std::nullopt);
  Log::pomodoro().info("break skipped");
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::cancelPomodoro() {
  closeResumeNotes();
  nextStep_.clear();
  activePriorityID_.reset();
  clearCheckpoint();
  isStarterFocus_ = false;
  pomodoro_.cancel();
  clearCompletionDisplay();
  idleInvitations_.reset(clock_->now());
  stopSessionTimer();
  presenter_->showSession(std::nullopt, std::nullopt, std::nullopt);
  Log::pomodoro().info("session cancelled");
  refreshQuickActions();
  signalStateChanged();
}

void VisitCoordinator::startSessionTimer() {
  stopSessionTimer();
  if (sessionTimer_) {
    sessionTimer_->start(timerInterval, timerTolerance, [weak = weak_from_this()] {
      const auto self = weak.lock();
      if (!self) return;
      // After a resume this timer may fire before the desktop reports the wake; the wake
      // goes first, so a period that ended in the sleep is not finished and celebrated.
      if (self->systemEvents_) self->systemEvents_->deliverPendingWake();
      if (!self->sessionTimer_ || !self->sessionTimer_->isActive()) return;
      // An ended phase has signalled already.
      if (!self->advancePomodoro(self->clock_->now())) self->signalStateChanged();
    });
  }
  updateSessionDisplay();
  refreshQuickActions();
}

void VisitCoordinator::stopSessionTimer() {
  if (sessionTimer_) sessionTimer_->stop();
}

}  // namespace vorlane
