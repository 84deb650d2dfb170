#include "coordination/commands/session_quick_actions.h"

namespace vorlane {

std::vector<QuickAction> quickActionsFor(const PomodoroSession& session, bool isStarterFocus,
                                         bool isMuted) {
  using Phase = PomodoroSession::Phase;
  using enum QuickAction;
  const Phase& phase = session.phase();
  if (phase.is<Phase::Working>()) return {pauseSession, extendSession, cancelSession};
  if (phase.is<Phase::AwaitingBreak>()) {
    if (isStarterFocus) return {keepGoing, finishStarter, stopForNow};
    if (!session.focus().empty()) {
      return {startBreak, extendSession, restartPomodoro, markAccomplished, dismissCompletion};
    }
    return {startBreak, restartPomodoro, dismissCompletion};
  }
  if (phase.is<Phase::OnBreak>()) return {pauseSession, extendSession, skipBreak};
  if (const auto* paused = phase.as<Phase::Paused>()) {
    if (paused->kind == PomodoroSession::Kind::work) return {resumeSession, cancelSession};
    return {resumeSession, skipBreak};
  }
  if (session.completion()) return {restartPomodoro, dismissCompletion};
  return {vorlane, startPomodoro, isMuted ? unmute : mute};
}

}  // namespace vorlane
