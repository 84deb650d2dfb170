#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/brief_run.h"
#include "bench/offscreen_application.h"
#include "coordination/calendar_focus/calendar_focus_model.h"
#include "platform/calendar/calendar_reader.h"
#include "platform/calendar/eds_busy_reader.h"
#include "platform/calendar/ics_availability_source.h"
#include "platform/calendar/time_limited_reader.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/platform/calendar/eds/eds_session.h"
#include "tests/support/utc_stamp.h"

namespace vorlane {
namespace {

// 2026-01-05 00:00 UTC, a Monday: the first day of the generated year.
constexpr long long yearStart = 1767571200;

// One of the ten calendars of a busy working year: 40 weekly series (each with two cancelled
// and one moved meeting) and 160 single meetings spread over the working days.
std::string busyYearEvents(int file) {
  std::string text;
  for (int i = 0; i < 40; ++i) {
    const int n = file * 40 + i;
    const long long first = yearStart + 86400LL * (n % 5) + 3600LL * (8 + n % 9) + 900 * (n % 4);
    const std::string uid = "series-" + std::to_string(n);
    text += "BEGIN:VEVENT\nUID:" + uid + "\nDTSTART:" + testing::utcStamp(first) +
            "\nDURATION:PT30M\n" + "RRULE:FREQ=WEEKLY;UNTIL=20261231T235959Z\nEXDATE:" +
            testing::utcStamp(first + 604800LL * 3) +
            "\nEXDATE:" + testing::utcStamp(first + 604800LL * (10 + n % 20)) + "\nEND:VEVENT\n";
    const long long moved = first + 604800LL * (5 + n % 30);
    text += "BEGIN:VEVENT\nUID:" + uid + "\nRECURRENCE-ID:" + testing::utcStamp(moved) +
            "\nDTSTART:" + testing::utcStamp(moved + 3600) + "\nDURATION:PT45M\nEND:VEVENT\n";
  }
  for (int i = 0; i < 160; ++i) {
    const int n = file * 160 + i;
    const long long start = yearStart + 86400LL * (n % 360) + 3600LL * (9 + n % 8) + 1800 * (n % 2);
    text += "BEGIN:VEVENT\nUID:single-" + std::to_string(n) +
            "\nDTSTART:" + testing::utcStamp(start) + "\nDURATION:PT1H\nEND:VEVENT\n";
  }
  return text;
}

std::string calendarOf(const std::string& events) {
  return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane bench//EN\n" + events + "END:VCALENDAR\n";
}

// The busy year in ten files, 2,000 events in all.
void writeBusyYear(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  for (int file = 0; file < 10; ++file) {
    std::ofstream(folder / ("work-" + std::to_string(file) + ".ics"))
        << calendarOf(busyYearEvents(file));
  }
}

class FixedClock final : public Clock {
 public:
  explicit FixedClock(Date now) : now_(now) {}
  Date now() const override { return now_; }

 private:
  Date now_;
};

class AlwaysAllowed final : public ConsentPrompt {
 public:
  void ask(const std::vector<std::string>&, std::function<void(Answer)> answer) override {
    answer(Answer::granted);
  }
};

// From the request to the offered block: the read on the source's worker thread, the hand
// back to the main thread and the gap search, over the real .ics reader.
void BM_CalendarFocusRefreshOverABusyYear(benchmark::State& state) {
  offscreenApplication();
  char name[] = "/tmp/vorlane-bench-XXXXXX";
  const std::filesystem::path root = ::mkdtemp(name);
  writeBusyYear(root / "calendars");

  InMemoryRecordStore records;
  records.setData("calendarAccess.v1", "true");
  records.setData("calendarFocusEnabled", "true");
  AlwaysAllowed prompt;
  const Calendar berlin("Europe/Berlin", "en_GB");
  auto reader =
      std::make_shared<CalendarReader>(CalendarFolders{root / "calendars", root / "evolution"},
                                       IcsReadOptions{std::nullopt, berlin});
  auto source = std::make_shared<IcsAvailabilitySource>(records, prompt, reader);
  // Wednesday 10 June 2026, 10:00 in Berlin.
  CalendarFocusModel model({.source = source,
                            .clock = std::make_shared<FixedClock>(*berlin.date(2026, 6, 10, 10, 0)),
                            .calendar = [berlin] { return berlin; },
                            .maximumMinutes = [] { return 25; },
                            .recordStore = &records});
  for (auto _ : state) {
    bool done = false;
    model.refresh([&] { done = true; });
    while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  if (model.state().kind() != CalendarFocusState::Kind::available &&
      model.state().kind() != CalendarFocusState::Kind::noGap) {
    state.SkipWithError("the refresh did not end in an offer");
  }
  // That the year was really read: its busy times in the week around the request.
  const Date now = *berlin.date(2026, 6, 10, 10, 0);
  state.counters["busyThisWeek"] =
      double(reader->read({now - 3 * 86400.0, now + 4 * 86400.0}).size());
  state.counters["offeredMinutes"] =
      model.opportunity() ? double(model.opportunity()->minutes) : 0.0;
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_CalendarFocusRefreshOverABusyYear)->Unit(benchmark::kMillisecond);

// The variables the calendar service's private session changes, put back when it ends, so
// that the benchmarks after it see the real home and bus again.
class SavedEnvironment {
 public:
  SavedEnvironment() {
    for (const char* name :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
          "GSETTINGS_BACKEND", "GIO_USE_VFS", "DISPLAY", "DBUS_SESSION_BUS_ADDRESS"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  ~SavedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  SavedEnvironment(const SavedEnvironment&) = delete;
  SavedEnvironment& operator=(const SavedEnvironment&) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Why the calendar service cannot be measured here, or nothing when it can.
std::optional<std::string> serviceMissing(const std::filesystem::path& plugin) {
  std::error_code error;
  if (plugin.empty() || !std::filesystem::exists(plugin, error)) {
    return "built without the calendar service plugin";
  }
  for (const char* name : {"Sources5", "Calendar8"}) {
    const std::filesystem::path file = std::string("/usr/share/dbus-1/services/") +
                                       "org.gnome.evolution.dataserver." + name + ".service";
    if (!std::filesystem::exists(file, error)) return "Evolution Data Server is not installed";
  }
  return std::nullopt;
}

// The same year and request through the calendar service (Evolution Data Server), over its
// plugin: a private session bus starts the service's factories for a home of its own, with
// one local calendar holding all 2,000 events. The first refresh, which starts the service
// and opens the calendar, is measured apart (coldMs); the loop times the refreshes after it.
// The service ends with the bus when the benchmark does.
void BM_CalendarFocusRefreshThroughTheCalendarService(benchmark::State& state) {
  offscreenApplication();
  const std::filesystem::path plugin = EdsBusyReader::standardPluginPath();
  if (const auto missing = serviceMissing(plugin)) {
    state.SkipWithError(missing->c_str());
    return;
  }
  const SavedEnvironment saved;
  testing::EdsSession session;
  session.addSource("work",
                    "[Data Source]\nDisplayName=Work\nEnabled=true\n"
                    "Parent=local-stub\n\n[Calendar]\nBackendName=local\n");
  const auto folder = session.dataFolder() / "evolution/calendar/work";
  std::filesystem::create_directories(folder);
  std::string events;
  for (int file = 0; file < 10; ++file) events += busyYearEvents(file);
  testing::writeFile(folder / "calendar.ics", calendarOf(events));
  if (!session.start()) {
    state.SkipWithError("the private session bus did not start");
    return;
  }

  InMemoryRecordStore records;
  records.setData("calendarAccess.v1", "true");
  records.setData("calendarFocusEnabled", "true");
  AlwaysAllowed prompt;
  const Calendar berlin("Europe/Berlin", "en_GB");
  auto reader = std::make_shared<TimeLimitedReader>(
      std::make_unique<EdsBusyReader>(plugin, berlin.timeZoneID()), std::chrono::seconds(30));
  {
    auto source = std::make_shared<IcsAvailabilitySource>(records, prompt, reader);
    CalendarFocusModel model(
        {.source = source,
         .clock = std::make_shared<FixedClock>(*berlin.date(2026, 6, 10, 10, 0)),
         .calendar = [berlin] { return berlin; },
         .maximumMinutes = [] { return 25; },
         .recordStore = &records});
    const auto refresh = [&] {
      bool done = false;
      model.refresh([&] { done = true; });
      while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    QElapsedTimer cold;
    cold.start();
    refresh();
    state.counters["coldMs"] = double(cold.elapsed());
    for (auto _ : state) refresh();
    const Date now = *berlin.date(2026, 6, 10, 10, 0);
    const auto week = reader->read({now - 3 * 86400.0, now + 4 * 86400.0}, {});
    state.counters["busyThisWeek"] = double(week.size());
    state.counters["offeredMinutes"] =
        model.opportunity() ? double(model.opportunity()->minutes) : 0.0;
    if (week.empty() || (model.state().kind() != CalendarFocusState::Kind::available &&
                         model.state().kind() != CalendarFocusState::Kind::noGap)) {
      state.SkipWithError("the calendar service's events were not read");
    }
  }
  reader.reset();
}
BENCHMARK(BM_CalendarFocusRefreshThroughTheCalendarService)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(fixedIterations(50));

}  // namespace
}  // namespace vorlane
