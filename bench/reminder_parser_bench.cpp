#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/reminders/reminder_parser.h"
#include "foundation/calendar.h"

namespace vorlane {
namespace {

// Lines as users type them: every schedule family, filler words, typing noise, and lines
// that give no reminder.
const std::array<const char*, 38> phrases = {
    "4pm standup",
    "in 25m stretch",
    "weekdays 9:30am yoga",
    "9am standup",
    "in 2 hours drink water",
    "in 90 secs tea",
    "IN 5 MIN break",
    "every weekday at 8am run",
    "every day 21:00 pills",
    "daily 9pm journal",
    "remind me to at 4pm call mom",
    "12pm lunch",
    "12am backup",
    "9.45am stretch",
    "call me at 4pm",
    "at 3am check the oven",
    "  11 AM  team sync",
    "tomorrow at 5pm dentist",
    "4pm CET call Berlin",
    "In 5 minutes I will go home",
    "in 1 hour get eggs and milk",
    "in 15m check the laundry",
    "Thursday 9AM report",
    "remind me to water the plants at 6:30pm",
    "Want to meet for dinner (5pm EST)?",
    "at 9am on Saturday",
    "in 2hour stand up",
    "weekdays 7:45am take vitamins",
    "remind me in 20 minutes to take the pizza out",
    "every day 22:30 read",
    "3-4pm focus block",
    "between 3:30-4:30pm review",
    "laughing out loud",
    "14PM",
    "25:12",
    "in 15m",
    "half three",
    "at noon",
};

const ReminderParser& parser() {
  static const ReminderParser instance(Calendar("America/New_York", "en_US"));
  return instance;
}

// Monday 2026-03-02 10:00 EST.
const Date now = Date::fromUnix(1772463600.0);

void parseOnce(const char* text) {
  try {
    benchmark::DoNotOptimize(parser().parse(text, now));
  } catch (const ReminderParser::ParseError& error) {
    benchmark::DoNotOptimize(error.value());
  }
}

// Each phrase on its own.
void BM_ParsePhrase(benchmark::State& state) {
  const char* text = phrases[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) parseOnce(text);
  state.SetLabel(text);
}
BENCHMARK(BM_ParsePhrase)->DenseRange(0, phrases.size() - 1);

// Thread CPU time, so that time spent waiting for a core is not counted.
double cpuNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Each iteration parses every phrase a batch of times. The counter median_ns is the median
// over the phrases of each phrase's mean parse time; slowest_ns the largest of those means.
void BM_ParseMedianPhrase(benchmark::State& state) {
  constexpr int batch = 64;
  std::vector<double> totalNs(phrases.size(), 0.0);
  for (auto _ : state) {
    for (std::size_t i = 0; i < phrases.size(); ++i) {
      const double start = cpuNanoseconds();
      for (int n = 0; n < batch; ++n) parseOnce(phrases[i]);
      totalNs[i] += cpuNanoseconds() - start;
    }
  }
  std::vector<double> meanNs;
  const double parsesPerPhrase = static_cast<double>(state.iterations()) * batch;
  for (double total : totalNs) meanNs.push_back(total / parsesPerPhrase);
  std::sort(meanNs.begin(), meanNs.end());
  const std::size_t middle = meanNs.size() / 2;
  state.counters["median_ns"] =
      meanNs.size() % 2 ? meanNs[middle] : (meanNs[middle - 1] + meanNs[middle]) / 2;
  state.counters["slowest_ns"] = meanNs.back();
}
BENCHMARK(BM_ParseMedianPhrase);

// A 100 KB line of words with the time at its end.
void BM_ParseLongLine(benchmark::State& state) {
  std::string line;
  while (line.size() < 100 * 1024) line += "water the plants ";
  line += "at 4pm";
  for (auto _ : state) parseOnce(line.c_str());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_ParseLongLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
