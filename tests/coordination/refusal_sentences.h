#pragma once

namespace vorlane {

// The refusals the focus session's requests share, as the user reads them.
inline constexpr const char* activeSession =
    "A session is already active. Resume it, or stop it before starting a new focus.";
inline constexpr const char* invalidGoal =
    "Use a goal of 1\u2013120 characters and a duration from 1 to 90 minutes.";
inline constexpr const char* noRunning = "There is no running session to pause or stop.";
inline constexpr const char* notPaused = "There is no paused session to resume.";
// What an action a window kept says once the coordinator is gone.
inline constexpr const char* closing = "Vorlane is closing. Nothing was changed.";

}  // namespace vorlane
