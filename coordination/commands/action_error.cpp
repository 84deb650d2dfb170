#include "coordination/commands/action_error.h"

namespace vorlane {

std::string_view describe(ActionErrorCase error) {
  switch (error) {
    case ActionErrorCase::activeSession:
      return "A session is already active. Resume it, or stop it before starting a new focus.";
    case ActionErrorCase::noRunningSession:
      return "There is no running session to pause or stop.";
    case ActionErrorCase::notPaused:
      return "There is no paused session to resume.";
    case ActionErrorCase::invalidGoal:
      return "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.";
    case ActionErrorCase::applicationClosing:
      return "Vorlane is closing. Nothing was changed.";
  }
  return {};
}

}  // namespace vorlane
