#pragma once

#include <optional>
#include <string>
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
// Exact, case-sensitive: "Mute" is none.
std::optional<QuickAction> quickActionFromRaw(std::string_view raw);
// The pill's text; the start-focus pill names the work length ("25 min").
std::string label(QuickAction action, int workMinutes);
// The name of the pill's symbol, also the icon's file name.
std::string_view symbolName(QuickAction action);
// The actions that stop or undo something, drawn with the warning border.
bool isWarning(QuickAction action);

}  // namespace vorlane
