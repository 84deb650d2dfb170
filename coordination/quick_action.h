#pragma once

#include <string_view>

namespace vorlane {

// The one-tap commands the mascot's pills offer, in their fixed order. Which ones are
// offered, and what each does, is the coordinator's; how a pill looks is the scene's.
enum class QuickAction {
  vorlane,
  startPomodoro,
  restartPomodoro,
  dismissCompletion,
  markAccomplished,
  keepGoing,
  finishStarter,
  stopForNow,
  pauseSession,
  resumeSession,
  extendSession,
  cancelSession,
  startBreak,
  skipBreak,
  mute,
  unmute
};

// The case name ("startPomodoro"), which is also its stored and compared form.
std::string_view rawValue(QuickAction action);

}  // namespace vorlane
