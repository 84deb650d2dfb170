#include "core/desktop/idle_fidget.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {
namespace {

using F = IdleFidget;
using S = ScriptedRandomGenerator;

TEST(IdleFidget, ScriptedDrawsWalkTheAllowedCandidatesByWeightAndTheDelayReachesBothEnds) {
  // previous, holding the sign, weight of the allowed candidates, draw, pick
  const std::tuple<std::optional<F>, bool, std::uint64_t, std::uint64_t, F> rows[] = {
      {std::nullopt, false, 13, 3, F::sway},
      {std::nullopt, false, 13, 4, F::lookAround},
      {F::wave, false, 12, 9, F::kick},
      {F::sway, true, 7, 6, F::lookAround},
  };
  for (const auto& [previous, holding, total, r, expected] : rows) {
    S words{S::wordFor(r, total)};
    EXPECT_EQ(F::pick(previous, holding, words), expected) << r << " of " << total;
    EXPECT_TRUE(words.allUsed());
  }
  S ends{S::lowest, S::highest};
  EXPECT_EQ(F::nextDelay(ends), 12.0);
  EXPECT_EQ(F::nextDelay(ends), 42.0);
}

TEST(IdleFidget, OverManySeedsPicksKeepToTheRulesAndTheWeights) {
  const int weights[] = {4, 3, 2, 1, 1, 2};
  for (bool holding : {false, true}) {
    for (int last = -1; last < 6; ++last) {  // -1: no previous movement
      auto weight = [&](F f) {
        const bool allowed =
            (!holding || f.keepsHandsOnSign()) && (f.value() != last || f == F::sway);
        return allowed ? weights[f.value()] : 0;
      };
      int total = 0, seen[6] = {};
      for (F f : F::allCases()) total += weight(f);
      for (int seed = 0; seed < 4000; ++seed) {
        SeededRandomGenerator generator(seed);
        ++seen[F::pick(last < 0 ? std::nullopt : std::optional<F>(F::Case(last)), holding,
                       generator)
                   .value()];
      }
      for (F f : F::allCases()) {
        EXPECT_NEAR(seen[f.value()], 4000.0 * weight(f) / total, 800.0 * weight(f) / total)
            << "holding " << holding << ", previous " << last << ", pick " << int(f.value());
      }
    }
  }
}

}  // namespace
}  // namespace vorlane
