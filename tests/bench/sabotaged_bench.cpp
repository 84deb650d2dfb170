// A benchmark program for the test of the brief run of every benchmark
// (bench/run_each_once.sh): BM_Sabotaged goes wrong as VORLANE_SABOTAGE says ("abort",
// "throw", "error" through SkipWithError, which leaves the exit status at 0, or "exit" with
// status 0 before it reports), and BM_After runs after it; with none, all run to their end.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "bench/brief_run.h"

namespace vorlane {
namespace {

// A family whose smallest argument is not listed first.
void BM_Sized(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(state.range(0));
}
BENCHMARK(BM_Sized)->Arg(1000)->Arg(8)->Arg(64);

void BM_Fixed(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(state.iterations());
}
BENCHMARK(BM_Fixed)->Iterations(fixedIterations(1'000'000));

void BM_Sabotaged(benchmark::State& state) {
  const char* sabotage = std::getenv("VORLANE_SABOTAGE");
  const std::string_view how = sabotage ? sabotage : "";
  for (auto _ : state) {
    if (how == "abort") std::abort();
    if (how == "throw") throw std::runtime_error("thrown from a benchmark");
    if (how == "exit") std::exit(0);
    if (how == "error") {
      state.SkipWithError("went wrong");
      break;
    }
  }
}
BENCHMARK(BM_Sabotaged);

void BM_After(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(state.iterations());
}
BENCHMARK(BM_After);

}  // namespace
}  // namespace vorlane
