#include "coordination/quick_action.h"

namespace vorlane {

std::string_view rawValue(QuickAction action) {
  switch (action) {
    case QuickAction::vorlane: return "vorlane";
    case QuickAction::startPomodoro: return "startPomodoro";
    case QuickAction::restartPomodoro: return "restartPomodoro";
    case QuickAction::dismissCompletion: return "dismissCompletion";
    case QuickAction::markAccomplished: return "markAccomplished";
    case QuickAction::keepGoing: return "keepGoing";
    case QuickAction::finishStarter: return "finishStarter";
    case QuickAction::stopForNow: return "stopForNow";
    case QuickAction::pauseSession: return "pauseSession";
    case QuickAction::resumeSession: return "resumeSession";
    case QuickAction::extendSession: return "extendSession";
    case QuickAction::cancelSession: return "cancelSession";
    case QuickAction::startBreak: return "startBreak";
    case QuickAction::skipBreak: return "skipBreak";
    case QuickAction::mute: return "mute";
    case QuickAction::unmute: return "unmute";
  }
  return "vorlane";
}

}  // namespace vorlane
