#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QLoggingCategory>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/reminders/reminder.h"
#include "foundation/json.h"
#include "platform/persistence/file_reminder_store.h"

namespace vorlane {
namespace {

// Below the largest file that is read at all, with room for the closing bracket.
constexpr std::size_t fileSize = json::maximumDocumentSize - 64;

// A third each of one-off times, countdowns and daily times, as the program writes them.
std::string healthyReminders() {
  std::string text = "[";
  for (int i = 0; text.size() < fileSize - 300; ++i) {
    const VisitTrigger trigger =
        i % 3 == 0   ? VisitTrigger::oneOff(Date(8e8 + 86400 + i))
        : i % 3 == 1 ? VisitTrigger::countdown(86400.0 + i)
                     : VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), i % 24, i % 60));
    const Reminder reminder(UUID::random(),
                            "Water the plants on the balcony, box " + std::to_string(i), trigger,
                            Date(8e8));
    if (i > 0) text += ',';
    text += json::dump(reminder.toJson());
  }
  return text + "]";
}

// The same element again and again, in an array of about the largest size read.
std::string repeated(const std::string& element) {
  std::string text = "[";
  text.reserve(fileSize);
  while (text.size() + element.size() + 2 < fileSize) {
    if (text.size() > 1) text += ',';
    text += element;
  }
  return text + "]";
}

// Healthy reminders cut in the middle of the last one, as a full disk leaves them.
std::string truncatedReminders() {
  std::string text = healthyReminders();
  return text.substr(0, text.rfind(R"({"id")") + 40);
}

// Each shape is written once and read by a new store at every iteration, as at a start.
void readStoredReminders(benchmark::State& state, std::string (*shape)()) {
  // One error line per read is not what is measured.
  QLoggingCategory::setFilterRules("com.corvantis.vorlane.reminders.warning=false");
  char name[] = "/tmp/vorlane-bench-XXXXXX";
  const std::filesystem::path folder = ::mkdtemp(name);
  const std::filesystem::path file = folder / FileReminderStore::fileName;
  const std::string bytes = shape();
  std::ofstream(file, std::ios::binary) << bytes;
  std::size_t read = 0;
  for (auto _ : state) {
    const FileReminderStore store(file);
    read = store.reminders().size();
    benchmark::DoNotOptimize(read);
  }
  state.counters["reminders"] = static_cast<double>(read);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  std::filesystem::remove_all(folder);
}

// The shapes, each of about the largest size read.
std::string oneCharacterElements() { return repeated("1"); }
std::string invalidStrings() { return repeated("\"\xFF\""); }
std::string emptyObjects() { return repeated("{}"); }
std::string objectsThatAreNotJson() { return repeated("{\"\xFF\":1}"); }
std::string smallestObjectsThatAreNotJson() { return repeated("{\"\":x}"); }
std::string objectsOfOneMember() { return repeated("{\"a\":1}"); }

BENCHMARK_CAPTURE(readStoredReminders, healthy, healthyReminders)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, truncatedHealthy, truncatedReminders)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, oneCharacterElements, oneCharacterElements)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, invalidStrings, invalidStrings)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, emptyObjects, emptyObjects)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, objectsThatAreNotJson, objectsThatAreNotJson)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, smallestObjectsThatAreNotJson, smallestObjectsThatAreNotJson)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readStoredReminders, objectsOfOneMember, objectsOfOneMember)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlane
