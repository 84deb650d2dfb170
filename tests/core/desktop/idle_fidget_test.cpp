#include "core/desktop/idle_fidget.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

using F = IdleFidget;

TEST(IdleFidget, DrawWalksTheAllowedCandidatesByWeight) {
  struct Row {
    const char* name;
    std::optional<F> previous;
    bool holdingSign;
    std::uint64_t total;  // weight of the allowed candidates
    std::uint64_t r;
    F expected;
  };
  const Row rows[] = {
      {"sign, after lookAround: only sway", F::lookAround, true, 4, 0, F::sway},
      {"sign, after lookAround: top draw", F::lookAround, true, 4, 3, F::sway},
      {"sign, after sway: sway", F::sway, true, 7, 3, F::sway},
      {"sign, after sway: lookAround", F::sway, true, 7, 4, F::lookAround},
      {"sign, after sway: top draw", F::sway, true, 7, 6, F::lookAround},
      {"sign, first: sway", std::nullopt, true, 7, 0, F::sway},
      {"sign, first: lookAround", std::nullopt, true, 7, 6, F::lookAround},
      {"sign, after wave", F::wave, true, 7, 4, F::lookAround},
      {"free, first: sway", std::nullopt, false, 13, 3, F::sway},
      {"free, first: lookAround", std::nullopt, false, 13, 4, F::lookAround},
      {"free, first: scratchHead", std::nullopt, false, 13, 8, F::scratchHead},
      {"free, first: wave", std::nullopt, false, 13, 9, F::wave},
      {"free, first: kick", std::nullopt, false, 13, 10, F::kick},
      {"free, first: swing", std::nullopt, false, 13, 11, F::swing},
      {"free, first: top draw", std::nullopt, false, 13, 12, F::swing},
      {"free, after wave: kick", F::wave, false, 12, 9, F::kick},
      {"free, after wave: swing", F::wave, false, 12, 10, F::swing},
      {"free, after wave: top draw", F::wave, false, 12, 11, F::swing},
      {"free, after sway: all six", F::sway, false, 13, 12, F::swing},
      {"free, after swing: kick last", F::swing, false, 11, 10, F::kick},
      {"free, after lookAround", F::lookAround, false, 10, 4, F::scratchHead},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedRandomGenerator words{ScriptedRandomGenerator::wordFor(row.r, row.total)};
    EXPECT_EQ(F::pick(row.previous, row.holdingSign, words), row.expected);
    EXPECT_TRUE(words.allUsed());
  }
}

TEST(IdleFidget, PickKeepsToTheRulesAndFollowsTheWeights) {
  const int weights[] = {4, 3, 2, 1, 1, 2};
  std::vector<std::optional<F>> previous{std::nullopt};
  for (F f : F::allCases()) previous.push_back(f);
  for (bool holding : {false, true}) {
    for (const std::optional<F>& last : previous) {
      SCOPED_TRACE(testing::Message() << "holding " << holding << " previous "
                                      << (last ? int(last->value()) : -1));
      auto allowed = [&](F f) {
        return (!holding || f.keepsHandsOnSign()) && (f != last || f == F::sway);
      };
      int total = 0;
      for (F f : F::allCases()) total += allowed(f) ? weights[f.value()] : 0;
      std::map<int, int> seen;
      const int draws = 4000;
      for (int seed = 0; seed < draws; ++seed) {
        SeededRandomGenerator generator(seed);
        ++seen[F::pick(last, holding, generator).value()];
      }
      for (F f : F::allCases()) {
        const double expected = double(draws) * (allowed(f) ? weights[f.value()] : 0) / total;
        EXPECT_NEAR(seen[f.value()], expected, expected * 0.2) << int(f.value());
      }
    }
  }
}

TEST(IdleFidget, DelayStaysWithinTwelveToFortyTwoSecondsBothEndsIncluded) {
  ScriptedRandomGenerator ends{ScriptedRandomGenerator::lowest, ScriptedRandomGenerator::highest};
  EXPECT_EQ(F::nextDelay(ends), 12.0);
  EXPECT_EQ(F::nextDelay(ends), 42.0);
  EXPECT_TRUE(ends.allUsed());

  for (int seed = 0; seed < 2000; ++seed) {
    SeededRandomGenerator generator(seed);
    const double delay = F::nextDelay(generator);
    ASSERT_TRUE(F::delayRange.contains(delay)) << delay;
  }
}

}  // namespace
}  // namespace vorlane
