#pragma once

#include <string_view>

#include "foundation/sentence_error.h"

namespace vorlane {

// Why the coordinator refused a focus or session command; the window or command that asked
// shows the sentence.
enum class ActionErrorCase { activeSession, noRunningSession, notPaused, invalidGoal };

std::string_view describe(ActionErrorCase error);

using ActionError = SentenceError<ActionErrorCase>;

}  // namespace vorlane
