#include <benchmark/benchmark.h>

#include <string>

#include "core/settings/preferences.h"
#include "foundation/json.h"

namespace vorlane {
namespace {

// An object with `count` distinct keys, as a damaged or hostile record could hold.
std::string manyKeys(int count) {
  std::string text = "{";
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ',';
    text += "\"key" + std::to_string(i) + "\":" + std::to_string(i);
  }
  return text + "}";
}

// A preferences record whose placements fill about `bytes` bytes.
std::string manyPlacements(std::size_t bytes) {
  std::string text = R"({"speechEnabled":true,"mascotPlacements":{)";
  for (int i = 0; text.size() < bytes; ++i) {
    if (i > 0) text += ',';
    text += "\"" + std::to_string(i) + R"(":{"horizontal":0.25})";
  }
  return text + "}}";
}

void BM_ParseManyKeys(benchmark::State& state) {
  const std::string text = manyKeys(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(json::parse(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseManyKeys)->Arg(32000)->Unit(benchmark::kMillisecond);

void BM_PreferencesManyPlacements(benchmark::State& state) {
  const std::string text = manyPlacements(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const Preferences decoded = Preferences::decode(json::parse(text));
    benchmark::DoNotOptimize(json::dump(decoded.encode()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_PreferencesManyPlacements)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
