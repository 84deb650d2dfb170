#include "coordination/commands/quick_action.h"

namespace vorlane {

std::string_view rawValue(QuickAction action) {
  switch (action) {
    case QuickAction::vorlane:
      return "vorlane";
    case QuickAction::startPomodoro:
      return "startPomodoro";
    case QuickAction::restartPomodoro:
      return "restartPomodoro";
    case QuickAction::dismissCompletion:
      return "dismissCompletion";
    case QuickAction::markAccomplished:
      return "markAccomplished";
    case QuickAction::keepGoing:
      return "keepGoing";
    case QuickAction::finishStarter:
      return "finishStarter";
    case QuickAction::stopForNow:
      return "stopForNow";
    case QuickAction::pauseSession:
      return "pauseSession";
    case QuickAction::resumeSession:
      return "resumeSession";
    case QuickAction::extendSession:
      return "extendSession";
    case QuickAction::cancelSession:
      return "cancelSession";
    case QuickAction::startBreak:
      return "startBreak";
    case QuickAction::skipBreak:
      return "skipBreak";
    case QuickAction::mute:
      return "mute";
    case QuickAction::unmute:
      return "unmute";
  }
  return "vorlane";
}

std::optional<QuickAction> quickActionFromRaw(std::string_view raw) {
  for (int i = 0; i <= static_cast<int>(QuickAction::unmute); ++i) {
    const auto action = static_cast<QuickAction>(i);
    if (rawValue(action) == raw) return action;
  }
  return std::nullopt;
}

std::string label(QuickAction action, int workMinutes) {
  switch (action) {
    case QuickAction::vorlane:
      return "Time";
    case QuickAction::startPomodoro:
      return std::to_string(workMinutes) + " min";
    case QuickAction::restartPomodoro:
      return "New session";
    case QuickAction::dismissCompletion:
      return "Dismiss";
    case QuickAction::markAccomplished:
      return "Accomplished";
    case QuickAction::keepGoing:
      return "Keep going";
    case QuickAction::finishStarter:
      return "Done";
    case QuickAction::stopForNow:
      return "Stop for now";
    case QuickAction::pauseSession:
      return "Pause";
    case QuickAction::resumeSession:
      return "Resume";
    case QuickAction::extendSession:
      return "+5 min";
    case QuickAction::cancelSession:
      return "Stop";
    case QuickAction::startBreak:
      return "Break";
    case QuickAction::skipBreak:
      return "Skip";
    case QuickAction::mute:
      return "Mute";
    case QuickAction::unmute:
      return "Unmute";
  }
  return {};
}

std::string_view symbolName(QuickAction action) {
  switch (action) {
    case QuickAction::vorlane:
      return "clock";
    case QuickAction::startPomodoro:
      return "timer";
    case QuickAction::restartPomodoro:
      return "arrow.clockwise";
    case QuickAction::dismissCompletion:
    case QuickAction::stopForNow:
    case QuickAction::cancelSession:
      return "xmark";
    case QuickAction::markAccomplished:
    case QuickAction::finishStarter:
      return "checkmark";
    case QuickAction::keepGoing:
    case QuickAction::extendSession:
      return "goforward.5";
    case QuickAction::pauseSession:
      return "pause.fill";
    case QuickAction::resumeSession:
      return "play.fill";
    case QuickAction::startBreak:
      return "cup.and.saucer";
    case QuickAction::skipBreak:
      return "forward.end";
    case QuickAction::mute:
      return "moon";
    case QuickAction::unmute:
      return "moon.fill";
  }
  return {};
}

bool isWarning(QuickAction action) {
  return action == QuickAction::stopForNow || action == QuickAction::cancelSession ||
         action == QuickAction::skipBreak || action == QuickAction::unmute;
}

}  // namespace vorlane
