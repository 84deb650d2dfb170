#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace vorlane {

// The tests run every benchmark once, briefly, to show that each runs to its end
// (bench/run_each_once.sh, which sets VORLANE_BENCH_BRIEF). There a benchmark that fixes its
// number of iterations makes one: fifteen spoken visits of nine seconds each would take the
// brief run's minutes on their own.
inline benchmark::IterationCount fixedIterations(benchmark::IterationCount count) {
  return std::getenv("VORLANE_BENCH_BRIEF") != nullptr ? 1 : count;
}

}  // namespace vorlane
