#include <benchmark/benchmark.h>
#include <unicode/calendar.h>

#include <string>

#include "foundation/calendar.h"
#include "foundation/text.h"
#include "platform/calendar/ics_events.h"
#include "tests/platform/calendar/crowded_time_zone.h"
#include "tests/support/utc_stamp.h"

namespace vorlane {
namespace {

const Calendar& newYork() {
  static const Calendar calendar("America/New_York", "en_US");
  return calendar;
}

// 2026-03-07 23:10 EST, a few hours before the clocks go forward.
const Date eveningBeforeSpringForward = Date::fromUnix(1772943000.0);

void BM_NextDate(benchmark::State& state) {
  Date after = eveningBeforeSpringForward;
  for (auto _ : state) {
    const std::optional<Date> next = newYork().nextDate(after, 30);
    benchmark::DoNotOptimize(next);
    after = after + 60.0;
  }
}
BENCHMARK(BM_NextDate);

void BM_PlaceWallTimeOnDay(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(newYork().date(9, 30, 0, eveningBeforeSpringForward));
  }
}
BENCHMARK(BM_PlaceWallTimeOnDay);

void BM_Components(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(newYork().components(eveningBeforeSpringForward));
  }
}
BENCHMARK(BM_Components);

void BM_WeekInterval(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(newYork().weekInterval(eveningBeforeSpringForward));
  }
}
BENCHMARK(BM_WeekInterval);

void BM_MakeCalendar(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Calendar("Europe/Berlin", "de_DE"));
}
BENCHMARK(BM_MakeCalendar);

// Every formatted date takes a fresh ICU calendar, zone included.
void BM_MakeIcuCalendar(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(newYork().makeIcuCalendar());
}
BENCHMARK(BM_MakeIcuCalendar);

void BM_GraphemeCountAscii(benchmark::State& state) {
  const std::string text = "Stand up, stretch and drink a glass of water before the next call";
  for (auto _ : state) benchmark::DoNotOptimize(graphemeCount(text));
}
BENCHMARK(BM_GraphemeCountAscii);

void BM_GraphemeCountEmoji(benchmark::State& state) {
  const std::string text =
      "Caf\u00e9 with the family \U0001F468\u200D\U0001F469\u200D\U0001F467 at 4pm "
      "\U0001F44D\U0001F3FD";
  for (auto _ : state) benchmark::DoNotOptimize(graphemeCount(text));
}
BENCHMARK(BM_GraphemeCountEmoji);

// Reading calendar files that cost libical far more than their size suggests, each next to
// the real meeting that must still be found in the same file.
std::string meeting() {
  return "BEGIN:VEVENT\nUID:real\nDTSTART:20150302T150000Z\nDTEND:20150302T160000Z\n"
         "RRULE:FREQ=DAILY;COUNT=5000\nEND:VEVENT\n";
}

std::string wrapped(const std::string& body) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane bench//EN\n" + body + meeting() +
         "END:VCALENDAR\n";
}

std::string recurring(const std::string& uid, const std::string& lines) {
  return "BEGIN:VEVENT\nUID:" + uid + "\n" + lines + "END:VEVENT\n";
}

// 2026-03-02 00:00 UTC plus that many seconds, as an iCalendar UTC time.
std::string utcStamp(long long seconds) { return testing::utcStamp(1772409600LL + seconds); }

std::string hourlyOnTheSecondSunday() {
  return wrapped(recurring("h",
                           "DTSTART:20260301T090000Z\nDURATION:PT1H\n"
                           "RRULE:FREQ=HOURLY;BYDAY=2SU\n"));
}

// Every minute for three years, counted, with `excluded` dates.
std::string everyMinuteSince2023(int excluded) {
  std::string lines =
      "DTSTART:20230302T000000Z\nDURATION:PT1M\nRRULE:FREQ=MINUTELY;COUNT=1500000\n";
  for (int i = 0; i < excluded; ++i) lines += "EXDATE:" + utcStamp(-86400LL * 300 + 60 * i) + "\n";
  return wrapped(recurring("m", lines));
}

std::string everySecond() {
  return wrapped(recurring("s", "DTSTART:20260302T000000Z\nDURATION:PT1S\nRRULE:FREQ=SECONDLY\n"));
}

std::string thousandEverySevenMinutes() {
  std::string body;
  for (int i = 0; i < 1000; ++i) {
    body +=
        recurring("e" + std::to_string(i), "DTSTART:" + utcStamp(-86400 * 30 + i) +
                                               "\nDURATION:PT1M\nRRULE:FREQ=MINUTELY;INTERVAL=7\n");
  }
  return wrapped(body);
}

std::string manyDates(const char* name, int count, const std::string& rule) {
  std::string lines = "DTSTART:20250302T100000Z\nDURATION:PT30M\n" + rule;
  for (int i = 0; i < count; ++i) {
    lines += std::string(name) + ":" + utcStamp(-86400LL * 365 + 1800LL * i) + "\n";
  }
  return wrapped(recurring("d", lines));
}

std::string zoneWithRules(int rules) {
  return wrapped(crowdedTimeZone(rules) +
                 recurring("z", "DTSTART;TZID=Crowded:20260302T100000\nDURATION:PT1H\n"));
}

// Finished counted series: each is a few occurrences, long over.
std::string finishedCountedSeries(int series) {
  std::string body;
  for (int i = 0; i < series; ++i) {
    body += recurring("c" + std::to_string(i),
                      "DTSTART:20250701T090000Z\nDURATION:PT1H\nRRULE:FREQ=HOURLY;COUNT=3\n");
  }
  return wrapped(body);
}

// A counted series begun centuries back, every other day: read from the range, not walked
// from its start.
std::string countedSinceCenturiesBack() {
  return wrapped(recurring("c",
                           "DTSTART:02260302T090000Z\nDURATION:PT1H\n"
                           "RRULE:FREQ=DAILY;INTERVAL=2;COUNT=20260401\n"));
}

// What a real calendar holds: years of weekly meetings, some with a few excluded dates.
std::string ordinaryCalendar() {
  std::string body;
  for (int i = 0; i < 300; ++i) {
    std::string lines = "DTSTART:" + utcStamp(-86400LL * 7 * (i % 400) + 3600LL * (i % 10)) +
                        "\nDURATION:PT30M\nRRULE:FREQ=WEEKLY\n";
    for (int k = 0; k < 3; ++k)
      lines += "EXDATE:" + utcStamp(-86400LL * 7 * (k + 1) + 3600LL * (i % 10)) + "\n";
    body += recurring("w" + std::to_string(i), lines);
  }
  for (int i = 0; i < 300; ++i) {
    body += recurring("o" + std::to_string(i),
                      "DTSTART:" + utcStamp(-86400LL * i) + "\nDURATION:PT1H\n");
  }
  return wrapped(body);
}

void readIcs(benchmark::State& state, const std::string& text) {
  const DateInterval week{Date::fromUnix(1772409600.0), Date::fromUnix(1772409600.0 + 7 * 86400)};
  const IcsReadOptions options{std::nullopt, Calendar("UTC")};
  std::size_t found = 0;
  for (auto _ : state) found = busyIntervalsInIcs(text, week, options).size();
  state.counters["busy"] = double(found);
  state.counters["bytes"] = double(text.size());
}

#define VORLANE_ICS_BENCH(name, text)           \
  void BM_Ics_##name(benchmark::State& state) { \
    static const std::string file = text;       \
    readIcs(state, file);                       \
  }                                             \
  BENCHMARK(BM_Ics_##name)->Unit(benchmark::kMillisecond)

VORLANE_ICS_BENCH(HourlyOnTheSecondSunday, hourlyOnTheSecondSunday());
VORLANE_ICS_BENCH(EveryMinuteCounted, everyMinuteSince2023(0));
VORLANE_ICS_BENCH(EveryMinuteCounted400Exdates, everyMinuteSince2023(400));
VORLANE_ICS_BENCH(EverySecondForAWeek, everySecond());
VORLANE_ICS_BENCH(ThousandEverySevenMinutes, thousandEverySevenMinutes());
VORLANE_ICS_BENCH(Rdates20k, manyDates("RDATE", 20000, ""));
VORLANE_ICS_BENCH(Rdates200k, manyDates("RDATE", 200000, ""));
VORLANE_ICS_BENCH(Exdates200k, manyDates("EXDATE", 200000, "RRULE:FREQ=DAILY;COUNT=1000\n"));
VORLANE_ICS_BENCH(ZoneWith50kRules, zoneWithRules(50000));
VORLANE_ICS_BENCH(FinishedCountedSeries700, finishedCountedSeries(700));
VORLANE_ICS_BENCH(CountedSinceCenturiesBack, countedSinceCenturiesBack());
VORLANE_ICS_BENCH(OrdinaryCalendar, ordinaryCalendar());

}  // namespace
}  // namespace vorlane
