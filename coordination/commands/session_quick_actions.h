#pragma once

#include <vector>

#include "coordination/commands/quick_action.h"
#include "core/focus/pomodoro_session.h"

namespace vorlane {

// The pills a session's phase offers, in their order: the running period's controls, the
// choices after a finished focus (the starter's own three after a five-minute starter),
// or, when idle, a visit, a new focus and the mute switch for the current mute state.
std::vector<QuickAction> quickActionsFor(const PomodoroSession& session, bool isStarterFocus,
                                         bool isMuted);

}  // namespace vorlane
