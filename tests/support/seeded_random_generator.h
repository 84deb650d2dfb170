#pragma once

#include <cstdint>
#include <random>

#include "foundation/random.h"

namespace vorlane {

// A seeded, repeatable generator, for tests and benchmarks.
class SeededRandomGenerator final : public RandomGenerator {
 public:
  explicit SeededRandomGenerator(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t nextWord() override { return engine_(); }

 private:
  std::mt19937_64 engine_;
};

}  // namespace vorlane
