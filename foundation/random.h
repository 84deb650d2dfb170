#pragma once

#include <cstdint>

namespace vorlane {

// A source of uniformly distributed 64-bit words. All random choices in the core draw
// from one of these, passed in by the caller, through the helpers below (never through
// std::uniform_*_distribution, whose results differ between standard libraries).
class RandomGenerator {
 public:
  virtual ~RandomGenerator() = default;
  virtual std::uint64_t nextWord() = 0;
};

// Words from the operating system (getrandom).
class SystemRandomGenerator final : public RandomGenerator {
 public:
  std::uint64_t nextWord() override;
};

// A uniform integer in [0, n), unbiased (Lemire's nearly-divisionless method). n must be > 0.
std::uint64_t uniformBelow(RandomGenerator& generator, std::uint64_t n);

// A uniform double in [lo, hi], both ends reachable: a draw r below 2^53 + 1, where
// r == 2^53 gives hi and any other r gives lo + (hi - lo) * r * 2^-53.
double uniformClosed(RandomGenerator& generator, double lo, double hi);

}  // namespace vorlane
