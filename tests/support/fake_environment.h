#pragma once

#include <optional>
#include <string>
#include <vector>

#include "coordination/contracts/environment_snapshot_source.h"

namespace vorlane {

// The user's situation as the test sets it, stamped with the asked moment. Like the real
// probe it reports the caller's mute; with none, the scripted one stands in for a mute set
// by means a test cannot reach yet. It remembers each question.
class FakeEnvironment final : public EnvironmentSnapshotSource {
 public:
  struct Question {
    Date now;
    std::optional<Date> mutedUntil;
    std::optional<std::string> preferredScreenID;
  };

  EnvironmentSnapshot snapshot(Date now, std::optional<Date> mutedUntil,
                               const std::optional<std::string>& preferredScreenID) override {
    questions.push_back({now, mutedUntil, preferredScreenID});
    EnvironmentSnapshot result = facts;
    result.now = now;
    if (mutedUntil) result.mutedUntil = mutedUntil;
    return result;
  }

  // Everything but `now`, which comes from the question.
  EnvironmentSnapshot facts;
  std::vector<Question> questions;
};

}  // namespace vorlane
