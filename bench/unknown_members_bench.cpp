// Saves of a record holding members this version does not know (a later version's file, or a
// hostile one), each beside the read of the same file: every save carries the members over,
// and should take about the time the read takes, up to files of the largest size read.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/reminders/reminder.h"
#include "core/settings/preferences.h"
#include "foundation/json.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/record_preferences_store.h"

namespace vorlane {
namespace {

// Members "k0" to "k<count - 1>" to close an object with, short enough that a million of them
// stay below the largest file read.
std::string unknownMembers(std::int64_t count) {
  std::string text;
  for (std::int64_t i = 0; i < count; ++i) text += ",\"k" + std::to_string(i) + "\":0";
  return text + "}";
}

// An object's text with `count` unknown members added at its end.
std::string withUnknownMembers(const Json& object, std::int64_t count) {
  std::string text = json::dump(object);
  text.pop_back();
  return text + unknownMembers(count);
}

// One daily reminder holding `count` unknown members.
std::string reminders(std::int64_t count) {
  const Reminder daily(UUID::random(), "stretch",
                       VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 9, 0)),
                       Date(8e8));
  return "[" + withUnknownMembers(daily.toJson(), count) + "]";
}

std::string preferences(std::int64_t count) {
  return withUnknownMembers(Preferences().encode(), count);
}

// A folder of its own holding `bytes` under `name` while it lives.
class StoredFile {
 public:
  StoredFile(const std::string& name, const std::string& bytes) {
    char pattern[] = "/tmp/vorlane-bench-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    size_ = bytes.size();
  }
  ~StoredFile() { std::filesystem::remove_all(folder_); }
  StoredFile(const StoredFile&) = delete;
  StoredFile& operator=(const StoredFile&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  std::int64_t size() const { return static_cast<std::int64_t>(size_); }

 private:
  std::filesystem::path folder_;
  std::size_t size_ = 0;
};

void BM_ReadReminderWithUnknownMembers(benchmark::State& state) {
  const StoredFile file(FileReminderStore::fileName, reminders(state.range(0)));
  for (auto _ : state) {
    const FileReminderStore store(file.folder() / FileReminderStore::fileName);
    benchmark::DoNotOptimize(store.reminders());
  }
  state.SetBytesProcessed(state.iterations() * file.size());
}

// Each save changes the reminder's phrase, as an edit does.
void BM_SaveReminderWithUnknownMembers(benchmark::State& state) {
  const StoredFile file(FileReminderStore::fileName, reminders(state.range(0)));
  FileReminderStore store(file.folder() / FileReminderStore::fileName);
  Reminder reminder = store.reminders().at(0);
  int saves = 0;
  for (auto _ : state) {
    reminder.phrase = "stretch " + std::to_string(++saves);
    if (!store.update(reminder)) state.SkipWithError("the reminder was not saved");
  }
  state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_ReadPreferencesWithUnknownMembers(benchmark::State& state) {
  const StoredFile file("preferences.json", preferences(state.range(0)));
  FileRecordStore records(file.folder());
  for (auto _ : state) {
    const RecordPreferencesStore store(records);
    benchmark::DoNotOptimize(store.preferences());
  }
  state.SetBytesProcessed(state.iterations() * file.size());
}

// Each save changes one setting, as a click in the preferences does.
void BM_SavePreferencesWithUnknownMembers(benchmark::State& state) {
  const StoredFile file("preferences.json", preferences(state.range(0)));
  FileRecordStore records(file.folder());
  RecordPreferencesStore store(records);
  Preferences changed = store.preferences();
  for (auto _ : state) {
    changed.speechEnabled = !changed.speechEnabled;
    store.setPreferences(changed);
  }
  state.SetBytesProcessed(state.iterations() * file.size());
}

// A million members fill about twelve of the sixteen megabytes read.
void unknownMemberCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_ReadReminderWithUnknownMembers)->Apply(unknownMemberCounts);
BENCHMARK(BM_SaveReminderWithUnknownMembers)->Apply(unknownMemberCounts);
BENCHMARK(BM_ReadPreferencesWithUnknownMembers)->Apply(unknownMemberCounts);
BENCHMARK(BM_SavePreferencesWithUnknownMembers)->Apply(unknownMemberCounts);

}  // namespace
}  // namespace vorlane
