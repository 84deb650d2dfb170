#pragma once

#include <string>

#include "core/focus/pomodoro_session.h"

namespace vorlane {

// A session's phase in a word: working, awaiting, break, paused or idle.
inline std::string phaseName(const PomodoroSession& session) {
  static const char* const names[] = {"working", "awaiting", "break", "paused", "idle"};
  return names[session.phase().value().index()];
}

// The length in seconds of the running focus; none while no focus runs.
inline double workingLength(const PomodoroSession& session) {
  const auto* working = session.phase().as<PomodoroSession::Phase::Working>();
  return working ? working->endsAt - working->startedAt : 0;
}

}  // namespace vorlane
