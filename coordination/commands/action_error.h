#pragma once

#include <string_view>

#include "foundation/sentence_error.h"

namespace vorlane {

// Why the coordinator refused a focus or session command; the window or command that asked
// shows the sentence. `applicationClosing`: the coordinator is gone, so an action a window
// kept can no longer run.
enum class ActionErrorCase {
  activeSession,
  noRunningSession,
  notPaused,
  invalidGoal,
  applicationClosing
};

std::string_view describe(ActionErrorCase error);

using ActionError = SentenceError<ActionErrorCase>;

}  // namespace vorlane
