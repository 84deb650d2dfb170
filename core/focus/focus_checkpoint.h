#pragma once

#include <optional>
#include <string>

#include "core/focus/pomodoro_session.h"
#include "foundation/json.h"
#include "foundation/uuid.h"

namespace vorlane {

// What brings a running or paused focus back after a restart: the suspended session and
// what the user was about to do next.
struct FocusCheckpoint {
  PomodoroSession::Suspension session;
  // At most FocusInput::maximumNextStepLength characters, checked as stored.
  std::string nextStep;
  // The session was begun as a starter focus.
  bool isStarter = false;
  // The daily priority the session works on.
  std::optional<UUID> priorityID;

  // A valid session and a next step of at most 240 user-perceived characters.
  bool isValid() const;

  // {"session","nextStep","isStarter","priorityID"}, the last left out when absent. Throws
  // EncodingError for a non-finite number in the session.
  Json toJson() const;
  // Requires the first three keys; a missing or null "priorityID" reads as absent. Throws
  // DecodingError naming the first bad field. Does not check isValid().
  static FocusCheckpoint fromJson(const JsonReader& reader);

  bool operator==(const FocusCheckpoint&) const = default;
};

}  // namespace vorlane
