#include "app/instance_contest.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using Outcome = InstanceContest::Outcome;

// A holder that may answer, and a claim that comes free at some moment, on a clock that
// only the contest's own waits move.
struct Scene {
  std::chrono::milliseconds claimFreeAt = std::chrono::milliseconds::max();
  std::chrono::milliseconds answersFrom = std::chrono::milliseconds::max();
  std::chrono::milliseconds silentAskTakes = 0ms;  // an unanswered request waits this long
  std::chrono::milliseconds elapsed = 0ms;
  int asks = 0;

  InstanceContest contest() {
    return InstanceContest{
        .claim = [this] { return elapsed >= claimFreeAt; },
        .askHolderToShow =
            [this](std::chrono::milliseconds limit) {
              ++asks;
              if (elapsed >= answersFrom) return true;
              elapsed += std::min(limit, silentAskTakes);
              return false;
            },
        .pause = [this](std::chrono::milliseconds d) { elapsed += d; },
        .now = [this] { return std::chrono::steady_clock::time_point(elapsed); },
    };
  }
};

TEST(InstanceContest, RunsOnlyWhenTheClaimIsFreeAndLeavesOnlyForAnAnswer) {
  struct Row {
    const char* name;
    Scene scene;
    Outcome expected;
  };
  const Row rows[] = {
      {"nobody else", {.claimFreeAt = 0ms}, Outcome::claimed},
      {"a running copy answers", {.answersFrom = 0ms}, Outcome::otherShown},
      {"a copy still starting answers later", {.answersFrom = 3s}, Outcome::otherShown},
      // The one quitting no longer answers and lets go of the lock a moment later.
      {"a copy quitting", {.claimFreeAt = 1200ms}, Outcome::claimed},
      {"a copy quitting, each request timing out",
       {.claimFreeAt = 2500ms, .silentAskTakes = 1s},
       Outcome::claimed},
      {"the claim comes free during the last request",
       {.claimFreeAt = 7999ms, .silentAskTakes = 1s},
       Outcome::claimed},
      {"a holder that never answers nor ends", {}, Outcome::otherSilent},
  };
  for (Row row : rows) {
    EXPECT_EQ(row.scene.contest().settle(), row.expected) << row.name;
  }
}

TEST(InstanceContest, WaitsForASilentHolderAboutItsPatienceAndNoLonger) {
  Scene scene{.silentAskTakes = 1s};
  ASSERT_EQ(scene.contest().settle(), Outcome::otherSilent);
  EXPECT_GE(scene.elapsed, 8s);
  EXPECT_LE(scene.elapsed, 8s + 50ms);

  Scene quick;
  ASSERT_EQ(quick.contest().settle(), Outcome::otherSilent);
  EXPECT_GE(quick.asks, 100) << "asked again between waits, not once";
}

}  // namespace
}  // namespace vorlane
