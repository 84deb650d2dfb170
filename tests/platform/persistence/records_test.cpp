#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "platform/persistence/atomic_file.h"
#include "platform/persistence/file_error.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/thrown.h"

namespace vorlane {

template <>
struct JsonCoding<double> {
  static Json encode(double value) { return json::fromDouble(value); }
  static double decode(const Json& json) { return JsonReader(json).asDouble(); }
};

namespace {
using Document = LocalJSONDocument<std::vector<double>>;
using Failure = LocalJSONDocumentFailure;
using Lines = std::vector<LogCapture::Line>;

bool nonNegative(const std::vector<double>& values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return !(v < 0); });
}

// The refusal a save throws, or none when it succeeds.
std::optional<Failure> failureOf(const std::function<void()>& save) {
  return thrown<LocalJSONDocumentError>(save, [](const auto& e) { return e.value(); });
}

TEST(LocalJSONDocument, UnreadableStoredDataIsKeptAndBlocksSaves) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {
      {"empty", ""},
      {"truncated", "[1,2"},
      {"wrong shape", "{}"},
      {"beyond double", "[1e400]"},
      {"one bad element", "[1,\"2\"]"},
      {"rejected by validate", "[1,-2]"},
      {"NUL byte after a valid value", std::string("[1]\0garbage", 11)},
      {"over the size limit", "[" + std::string(json::maximumDocumentSize, ' ') + "1]"},
      {"read failure", std::nullopt},
  };
  for (const auto& [name, bytes] : rows) {
    InMemoryRecordStore recordStore;
    recordStore.setData("values", bytes.value_or("[1]"));
    if (!bytes) recordStore.makeUnreadable("values", "I/O error");
    const auto before = recordStore.rawBytes("values");
    Document doc(&recordStore, "values", {42}, nonNegative);
    EXPECT_EQ(doc.value(), doc.empty()) << name;
    EXPECT_EQ(doc.errorMessage(),
              "Saved data could not be read and was preserved. Clear this "
              "record explicitly to start over.")
        << name;
    // Blocked comes before validation: even an invalid value reports unreadable.
    EXPECT_EQ(failureOf([&] { doc.save({-1}); }), Failure::unreadable) << name;
    EXPECT_EQ(failureOf([&] { doc.save({1}); }), Failure::unreadable) << name;
    EXPECT_EQ(recordStore.rawBytes("values"), before) << name;
    EXPECT_EQ(recordStore.writeCount("values"), 1) << name;
    // Regression: a clear that could not remove the bytes reported success and unblocked.
    recordStore.setFailing(true);
    EXPECT_EQ(failureOf([&] { doc.clear(); }), Failure::notCleared) << name;
    EXPECT_TRUE(doc.errorMessage()) << name;
    EXPECT_EQ(recordStore.rawBytes("values"), before) << name;
    recordStore.setFailing(false);
    doc.clear();
    EXPECT_FALSE(doc.errorMessage() || recordStore.rawBytes("values")) << name;
    EXPECT_EQ(recordStore.rawBytes("values.unreadable-1"), before) << name << ": moved, not lost";
  }
}

TEST(LocalJSONDocument, RefusedOrFailedSavesChangeNothing) {
  InMemoryRecordStore recordStore;
  Document doc(&recordStore, "values", {}, nonNegative);
  doc.save({600, 0.5});
  EXPECT_EQ(failureOf([&] { doc.save({-1}); }), Failure::invalid);
  EXPECT_EQ(describe(Failure::invalid), "The change contains invalid data. Nothing was saved.");
  EXPECT_THROW(doc.save({std::nan("")}), EncodingError);
  // Regression: a failed write was assumed to succeed and changed the value.
  recordStore.setFailing(true);
  EXPECT_EQ(failureOf([&] { doc.save({2}); }), Failure::diskFull);
  EXPECT_EQ(doc.value(), (std::vector<double>{600, 0.5}));
  EXPECT_EQ(recordStore.rawBytes("values"), "[600,0.5]");
  EXPECT_FALSE(doc.errorMessage()) << "save never blocks the document";
  EXPECT_EQ(failureOf([&] { doc.clear(); }), Failure::notCleared);
  EXPECT_EQ(doc.value(), (std::vector<double>{600, 0.5})) << "the stored value is still there";
}

Preferences withWork(std::int64_t minutes) {
  Preferences p;
  p.workMinutes = minutes;
  return p;
}
std::int64_t storedWork(RecordStore& recordStore) {
  return RecordPreferencesStore(recordStore).preferences().workMinutes;
}

// Regression for lost settings: a record that could not be read used to be replaced by the
// first write. It must give the defaults, then be moved aside before that write.
TEST(RecordPreferencesStore, UnreadableRecordIsMovedAsideBeforeTheFirstWrite) {
  const std::pair<const char*, std::string> rows[] = {
      {"empty", ""},
      {"truncated", R"({"workMinutes":50,"speech)"},
      {"wrong shape", "[1,2,3]"},
      {"number beyond double", R"({"workMinutes":1e400})"},
      {"NUL byte after a valid record", std::string("{\"workMinutes\":50}\0garbage", 25)},
      {"huge", "{"},  // grown below
  };
  using Saving = RecordPreferencesStore::Saving;
  for (const auto saving : {Saving::immediately, Saving::inBackground})
    for (const auto& [rowName, bytes] : rows) {
      const std::string name =
          std::string(rowName) + (saving == Saving::inBackground ? " (in the background)" : "");
      testing::TempFolder temp;
      FileRecordStore recordStore(temp.path(), [] { return std::time_t{0}; });
      const auto file = temp / "preferences.json";
      testing::writeFile(file, bytes);
      if (bytes == "{") std::filesystem::resize_file(file, maximumStoredFileSize + 1);
      const auto original = testing::readFile(file);
      LogCapture log;
      RecordPreferencesStore store(recordStore, saving);
      EXPECT_EQ(store.preferences(), Preferences()) << name;
      EXPECT_EQ(testing::readFile(file), original) << name;
      EXPECT_TRUE(log.lines().empty()) << name << ": loading is silent";
      store.setPreferences(withWork(40));
      store.setPreferences(withWork(45));
      store.flush();
      const auto aside = temp / "preferences.json.unreadable-19700101T000000";
      EXPECT_EQ(testing::readFile(aside), original) << name;
      EXPECT_EQ(testing::folderEntries(temp.path()).size(), 2u) << name << ": set aside once";
      EXPECT_EQ(storedWork(recordStore), 45) << name;
      EXPECT_EQ(log.lines(), (Lines{{LogLevel::error, "lifecycle",
                                     "unreadable preferences moved aside to " + aside.string()}}))
          << name;
    }
}

TEST(RecordPreferencesStore, EverySetStoresButOnlyRealChangesNotifyAndFailuresAreLogged) {
  InMemoryRecordStore recordStore;
  recordStore.setData("preferences", "garbage");
  RecordPreferencesStore store(recordStore);
  std::vector<Preferences> changes;
  const auto subscription =
      store.changes().subscribe([&](const Preferences& p) { changes.push_back(p); });
  LogCapture log;
  recordStore.setFailing(true);
  // The unreadable record cannot be moved: the write is skipped until it can be.
  store.setPreferences(withWork(40));
  EXPECT_EQ(recordStore.rawBytes("preferences"), "garbage");
  recordStore.setFailing(false);
  store.setPreferences(withWork(41));
  store.setPreferences(withWork(41));  // equal to the current record
  EXPECT_EQ(recordStore.rawBytes("preferences.unreadable-1"), "garbage");
  EXPECT_EQ(storedWork(recordStore), 41);
  EXPECT_EQ(recordStore.writeCount("preferences"), 3) << "the garbage, then both sets of 41";
  EXPECT_EQ(changes.size(), 2u);
  // A failed write keeps the record in memory, still notifies, and says so.
  recordStore.setFailing(true);
  store.setPreferences(withWork(42));
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[2].workMinutes, 42);
  EXPECT_EQ(store.preferences().workMinutes, 42);
  ASSERT_EQ(log.lines().size(), 3u);
  EXPECT_NE(log.lines()[0].message.find("not saving"), std::string::npos);
  EXPECT_EQ(log.lines()[2].level, LogLevel::error);
  EXPECT_EQ(log.lines()[2].message.rfind("could not save preferences: ", 0), 0u);
}

// Regression: an observer that set the preferences again made the outer call store the
// older record afterwards.
TEST(RecordPreferencesStore, NewestRecordWinsWhenAnObserverSetsAgainAndModifyWritesOnce) {
  using Saving = RecordPreferencesStore::Saving;
  for (const auto saving : {Saving::immediately, Saving::inBackground}) {
    SCOPED_TRACE(saving == Saving::inBackground ? "in the background" : "immediately");
    InMemoryRecordStore recordStore;
    RecordPreferencesStore store(recordStore, saving);
    const auto storedWork = [&](RecordStore& records) {
      store.flush();
      return vorlane::storedWork(records);
    };
    const auto raiseToFifty = store.changes().subscribe([&](const Preferences& p) {
      if (p.workMinutes < 50) store.setPreferences(withWork(50));
    });
    std::vector<std::int64_t> heard;
    const auto listener =
        store.changes().subscribe([&](const Preferences& p) { heard.push_back(p.workMinutes); });
    store.setPreferences(withWork(30));
    EXPECT_EQ(store.preferences().workMinutes, 50);
    EXPECT_EQ(storedWork(recordStore), 50);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), 50) << "the last record heard is the one kept";
    // `modify` changes one field of the current record with one write and one notification.
    heard.clear();
    const int writes = recordStore.writeCount("preferences");
    store.modify([](Preferences& p) { p.speechEnabled = !p.speechEnabled; });
    store.flush();
    EXPECT_EQ(heard, (std::vector<std::int64_t>{50}));
    EXPECT_EQ(recordStore.writeCount("preferences"), writes + 1);
    EXPECT_EQ(RecordPreferencesStore(recordStore).preferences().speechEnabled,
              !Preferences().speechEnabled);
    store.setPreferences(withWork(60));
    EXPECT_EQ(storedWork(recordStore), 60);
    // An emptied blocked-apps list is kept empty, never read back as the defaults.
    ASSERT_FALSE(Preferences().blockedAppIDs.empty());
    store.modify([](Preferences& p) { p.blockedAppIDs.clear(); });
    store.flush();
    EXPECT_TRUE(RecordPreferencesStore(recordStore).preferences().blockedAppIDs.empty());
  }
}

using Kind = PomodoroSession::Kind;
const Calendar newYork("America/New_York", "en_US");
const Date today(800000000);

PomodoroSession::Completion work(UUID id, double finishedAt, std::string focus = "Write") {
  return {Kind::work, 1500, Date(finishedAt), std::move(focus), id};
}
auto adding(const char* title) {
  return [title](DailyPriorities& plan) { plan.add(title, today, newYork); };
}
// The code of the FileError a call throws, or none when it throws none.
std::optional<FileErrorCode> fileErrorOf(const std::function<void()>& call) {
  return thrown<FileError>(call, [](const auto& e) { return e.code(); });
}

TEST(FocusRecoveryStore, RuleAppliesToSavesAndToStoredCheckpointsOnRealFiles) {
  const std::string accentedE = "e\xcc\x81";  // one user-perceived character, two code points
  const std::tuple<const char*, int, double, bool> rows[] = {
      {"240-cluster next step", 240, 600, true},
      {"241-cluster next step", 241, 600, false},
      {"no remaining time", 1, 0, false}};
  for (const auto& [name, clusters, remaining, accepted] : rows) {
    FocusCheckpoint value{{UUID::random(), "Draft", remaining, 900, true}, "", false, {}};
    for (int i = 0; i < clusters; ++i) value.nextStep += accentedE;
    testing::TempFolder temp;
    FileRecordStore recordStore(temp.path());
    EXPECT_EQ(failureOf([&] { RecordFocusRecoveryStore(&recordStore).save(value); }),
              accepted ? std::nullopt : std::optional(Failure::invalid))
        << name;
    // The same checkpoint found stored at launch.
    recordStore.setData(RecordFocusRecoveryStore::key, json::dump(value.toJson()));
    const RecordFocusRecoveryStore loaded(&recordStore);
    EXPECT_EQ(loaded.document().value(), accepted ? std::optional(value) : std::nullopt) << name;
    EXPECT_EQ(loaded.document().errorMessage().has_value(), !accepted) << name;
  }
}

TEST(DailyPrioritiesStore, StoredPlanBreakingTheLimitsIsKeptAndBlocksChangesUntilCleared) {
  for (const auto& [name, count, sameID] :
       {std::tuple{"201 items", 201, false}, std::tuple{"duplicate ids", 2, true}}) {
    std::vector<DailyPriority> items(count, {UUID::random(), "Read", Date(0), {}, std::nullopt});
    if (!sameID)
      for (DailyPriority& item : items) item.id = UUID::random();
    const std::string bytes = json::dump(DailyPriorities(items).toJson());
    testing::TempFolder temp;
    FileRecordStore recordStore(temp.path());
    const auto file = recordStore.path(RecordDailyPrioritiesStore::key);
    testing::writeFile(file, bytes);

    RecordDailyPrioritiesStore store(&recordStore);
    EXPECT_TRUE(store.plan().items().empty()) << name;
    EXPECT_EQ(store.errorMessage(), describe(Failure::unreadable));
    EXPECT_THROW(store.apply(adding("Plan")), LocalJSONDocumentError) << name;
    EXPECT_EQ(testing::readFile(file), bytes) << name;
    store.clear();
    EXPECT_FALSE(store.errorMessage()) << name;
    store.apply(adding("Plan"));
    EXPECT_EQ(RecordDailyPrioritiesStore(&recordStore).plan().today(today, newYork).size(), 1u)
        << name;
  }
}

// Goals and titles with nothing visible in them are refused when typed, but records kept
// before that rule load exactly as they were, and a plan holding them still takes changes.
TEST(FocusStores, StoredGoalsWithNothingVisibleStillLoad) {
  const std::string invisible[] = {"\u200B", "\x01", "\u2060\u200D", std::string(1, '\0')};
  InMemoryRecordStore recordStore;
  std::vector<DailyPriority> items;
  Json entries = Json::array();
  for (const std::string& goal : invisible) {
    items.push_back({UUID::random(), goal, Date(0), {}, std::nullopt});
    entries.push_back(FocusHistoryEntry{UUID::random(), goal, 60, Date(0), {}, {}}.toJson());
  }
  recordStore.setData(RecordDailyPrioritiesStore::key, json::dump(DailyPriorities(items).toJson()));
  recordStore.setData(RecordFocusHistoryStore::key, json::dump(entries));
  const FocusCheckpoint checkpoint{{UUID::random(), "\u200B", 600, 900, true}, "", false, {}};
  recordStore.setData(RecordFocusRecoveryStore::key, json::dump(checkpoint.toJson()));

  RecordDailyPrioritiesStore priorities(&recordStore);
  EXPECT_FALSE(priorities.errorMessage());
  EXPECT_EQ(priorities.plan().items(), items);
  priorities.apply(adding("Plan"));
  EXPECT_EQ(RecordDailyPrioritiesStore(&recordStore).plan().items().size(), items.size() + 1);
  EXPECT_THROW(priorities.apply(adding("\u200B")), DailyPriorities::Error) << "typed now";

  const RecordFocusHistoryStore history(&recordStore);
  EXPECT_FALSE(history.errorMessage());
  ASSERT_EQ(history.entries().size(), std::size(invisible));
  EXPECT_EQ(history.entries()[3].focus, invisible[3]);
  const RecordFocusRecoveryStore recovery(&recordStore);
  EXPECT_EQ(recovery.document().value(), checkpoint);
}

TEST(FocusHistoryStore, RecordsNamedWorkOncePerSessionNewestFirstAndAtMostAHundred) {
  InMemoryRecordStore recordStore;
  RecordFocusHistoryStore store(&recordStore);
  store.record({Kind::rest, 300, Date(10), "Write", UUID::random()});
  store.record(work(UUID::random(), 20, ""));
  EXPECT_EQ(recordStore.writeCount(RecordFocusHistoryStore::key), 0);

  const UUID session = UUID::random(), other = UUID::random(), priority = UUID::random();
  store.record(work(session, 100), priority);
  store.markAccomplished(session, Date(150));
  store.record(work(other, 200));
  store.record({Kind::work, 2100, Date(400), "Write more", session});  // no priority given
  const std::vector<FocusHistoryEntry> expected{
      {session, "Write more", 2100, Date(400), Date(150), priority},
      {other, "Write", 1500, Date(200), {}, {}}};
  EXPECT_EQ(RecordFocusHistoryStore(&recordStore).entries(), expected);

  std::vector<UUID> ids;
  for (int i = 0; i < 99; ++i) store.record(work(ids.emplace_back(UUID::random()), 500 + i));
  ASSERT_EQ(store.entries().size(), 100u);
  EXPECT_EQ(store.entries().front().id, ids.back());
  EXPECT_EQ(store.entries().back().id, session) << "the 101st entry drops the oldest";
}

TEST(FocusHistoryStore, MarkAccomplishedAndFailedChangesLeaveTheHistoryAsItWas) {
  InMemoryRecordStore recordStore;
  RecordFocusHistoryStore store(&recordStore);
  const UUID session = UUID::random(), second = UUID::random();
  store.record(work(second, 50));
  store.record(work(session, 100));
  int calls = 0;
  store.setOnAccomplished([&](const FocusHistoryEntry& e, Date) { calls += e.id == session; });
  EXPECT_EQ(fileErrorOf([&] { store.markAccomplished(UUID::random(), Date(1)); }),
            FileErrorCode::noSuchFile);
  store.markAccomplished(session, Date(200));
  store.markAccomplished(session, Date(300));
  EXPECT_EQ(calls, 2) << "not for an unknown id; again for an accomplished entry";
  EXPECT_EQ(store.entries()[0].accomplishedAt, Date(200)) << "the first date is kept";

  // A failing priority update or a failed write changes nothing; the write failure is reported.
  const auto before = store.entries();
  store.setOnAccomplished([](const FocusHistoryEntry&, Date) { throw std::runtime_error("no"); });
  EXPECT_THROW(store.markAccomplished(second, Date(500)), std::runtime_error);
  EXPECT_EQ(recordStore.writeCount(RecordFocusHistoryStore::key), 4)
      << "the second marking saves too";
  recordStore.setFailing(true);
  LogCapture log;
  try {
    store.record(work(UUID::random(), 2));
    ADD_FAILURE() << "a failed write was reported as saved";
  } catch (const LocalJSONDocumentError& error) {
    EXPECT_EQ(error.value(), Failure::diskFull);
    store.reportFailure(error);
    EXPECT_EQ(log.lines(),
              (Lines{{LogLevel::error, "lifecycle",
                      "could not save focusHistory: could not write focusHistory: No space left "
                      "on device"},
                     {LogLevel::error, "pomodoro",
                      std::string("focus history change failed: ") + error.what()}}));
  }
  EXPECT_EQ(store.entries(), before);
  EXPECT_EQ(store.errorMessage(), "Focus history could not be saved. Existing records were kept.");
  recordStore.setFailing(false);
  store.record(work(UUID::random(), 3));
  EXPECT_FALSE(store.errorMessage()) << "a successful save clears the message";
}

TEST(FocusStores, LoadLimitUnknownIDsClearingAndAbsentPriority) {
  InMemoryRecordStore recordStore;
  Json stored = Json::array();
  std::vector<UUID> ids;
  for (int i = 0; i < 120; ++i) {
    stored.push_back(
        FocusHistoryEntry{ids.emplace_back(UUID::random()), "W", 60, Date(i), {}, {}}.toJson());
  }
  recordStore.setData(RecordFocusHistoryStore::key, json::dump(stored));
  RecordFocusHistoryStore history(&recordStore);
  ASSERT_EQ(history.entries().size(), 100u) << "the first hundred stored";
  EXPECT_EQ(history.entries().back().id, ids[99]);
  const auto before = history.entries();
  history.remove(UUID::random());  // an unknown id changes nothing, and still saves
  EXPECT_EQ(history.entries(), before);
  EXPECT_EQ(RecordFocusHistoryStore(&recordStore).entries(), before);

  recordStore.setData(RecordFocusRecoveryStore::key, "{garbage");
  RecordFocusRecoveryStore recovery(&recordStore);
  ASSERT_TRUE(recovery.document().errorMessage());
  recovery.clear();  // clearing an unreadable record removes it and unblocks
  EXPECT_FALSE(recovery.document().errorMessage() ||
               recordStore.rawBytes(RecordFocusRecoveryStore::key));
  const FocusCheckpoint noPriority{{UUID::random(), "Draft", 600, 900, true}, "", false, {}};
  recovery.save(noPriority);
  EXPECT_FALSE(
      json::parse(*recordStore.rawBytes(RecordFocusRecoveryStore::key)).contains("priorityID"));
  EXPECT_EQ(RecordFocusRecoveryStore(&recordStore).document().value(), noPriority);
}

TEST(FocusHistoryStore, CorruptFileIsKeptAndRefusesEveryChange) {
  testing::TempFolder temp;
  FileRecordStore recordStore(temp.path());
  const auto file = recordStore.path(RecordFocusHistoryStore::key);
  const std::string kept = R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","focus":"W"}])";
  testing::writeFile(file, kept);
  RecordFocusHistoryStore store(&recordStore);
  EXPECT_TRUE(store.entries().empty());
  EXPECT_THROW(store.record(work(UUID::random(), 1)), LocalJSONDocumentError);
  EXPECT_THROW(store.remove(UUID::random()), LocalJSONDocumentError);
  EXPECT_EQ(fileErrorOf([&] { store.markAccomplished(UUID::random(), Date(1)); }),
            FileErrorCode::readCorruptFile);
  EXPECT_EQ(testing::readFile(file), kept);
  store.reportFailure(std::runtime_error("refused"));
  EXPECT_EQ(store.errorMessage(), describe(Failure::unreadable)) << "the load error stays";
}

}  // namespace
}  // namespace vorlane
