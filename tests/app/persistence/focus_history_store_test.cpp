#include "app/persistence/focus_history_store.h"

#include <stdexcept>
#include <system_error>

#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "app/persistence/file_error.h"
#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

using Kind = PomodoroSession::Kind;

const std::string unreadableText =
    "Saved data could not be read and was preserved. Clear this record explicitly to start over.";

PomodoroSession::Completion work(UUID id, double finishedAt, std::string focus = "Write") {
  return {Kind::work, 1500, Date(finishedAt), std::move(focus), id};
}

std::vector<UUID> idsOf(const std::vector<FocusHistoryEntry>& entries) {
  std::vector<UUID> ids;
  for (const auto& entry : entries) ids.push_back(entry.id);
  return ids;
}

// The code of the FileError a call throws, or 0 when it throws none.
int fileErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const FileError& error) {
    return error.code();
  }
  return 0;
}

TEST(FocusHistoryStore, RecordsOnlyWorkWithAFocusText) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  store.record({Kind::rest, 300, Date(10), "Write", UUID::random()});
  store.record(work(UUID::random(), 20, ""));
  EXPECT_TRUE(store.entries().empty());
  EXPECT_EQ(defaults.writeCount(FocusHistoryStore::key), 0);

  store.record(work(UUID::random(), 30, " "));  // not trimmed: white space is a text
  EXPECT_EQ(store.entries().size(), 1u);
}

TEST(FocusHistoryStore, SameSessionTwiceKeepsOneEntryAtTheFront) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  const UUID session = UUID::random(), other = UUID::random(), priority = UUID::random();
  store.record(work(session, 100), priority);
  store.markAccomplished(session, Date(150));
  store.record(work(other, 200));

  auto again = work(session, 400, "Write more");
  again.duration = 2100;
  store.record(again);  // no priority given: the earlier one stays
  ASSERT_EQ(idsOf(store.entries()), (std::vector<UUID>{session, other}));
  const FocusHistoryEntry expected{session, "Write more", 2100, Date(400), Date(150), priority};
  EXPECT_EQ(store.entries()[0], expected);

  const UUID newer = UUID::random();
  store.record(work(session, 500), newer);
  EXPECT_EQ(store.entries()[0].priorityID, newer);
  EXPECT_EQ(FocusHistoryStore(&defaults).entries(), store.entries());
}

TEST(FocusHistoryStore, KeepsTheNewestHundred) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  std::vector<UUID> ids;
  for (int i = 0; i < 101; ++i) {
    ids.push_back(UUID::random());
    store.record(work(ids.back(), i));
  }
  ASSERT_EQ(store.entries().size(), 100u);
  EXPECT_EQ(store.entries().front().id, ids[100]);
  EXPECT_EQ(store.entries().back().id, ids[1]) << "the oldest is dropped";
  EXPECT_EQ(json::parse(*defaults.rawBytes(FocusHistoryStore::key)).size(), 100u);

  // A longer stored list shows its first hundred; the next save writes only those.
  std::vector<FocusHistoryEntry> longer;
  for (int i = 0; i < 150; ++i) longer.push_back({UUID::random(), "Old", 60, Date(i), {}, {}});
  defaults.setData(FocusHistoryStore::key, json::dump(JsonCoding<decltype(longer)>::encode(longer)));
  FocusHistoryStore loaded(&defaults);
  EXPECT_EQ(loaded.entries(), std::vector<FocusHistoryEntry>(longer.begin(), longer.begin() + 100));
  loaded.remove(UUID::random());
  EXPECT_EQ(FocusHistoryStore(&defaults).entries(), loaded.entries());
}

TEST(FocusHistoryStore, MarkAccomplishedRunsTheCallbackFirstAndKeepsTheFirstDate) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  const UUID session = UUID::random();
  store.record(work(session, 100));
  std::vector<std::pair<UUID, Date>> calls;
  store.setOnAccomplished([&](const FocusHistoryEntry& entry, Date at) {
    calls.emplace_back(entry.id, at);
  });

  EXPECT_EQ(fileErrorOf([&] { store.markAccomplished(UUID::random(), Date(1)); }),
            FileError::noSuchFile);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(defaults.writeCount(FocusHistoryStore::key), 1);

  store.markAccomplished(session, Date(200));
  store.markAccomplished(session, Date(300));
  EXPECT_EQ(calls.size(), 2u) << "called again for an accomplished entry";
  EXPECT_EQ(store.entries()[0].accomplishedAt, Date(200));
  EXPECT_EQ(defaults.writeCount(FocusHistoryStore::key), 3) << "saved again regardless";

  // A failing priority update leaves the history exactly as it was.
  const UUID second = UUID::random();
  store.record(work(second, 400));
  const auto before = store.entries();
  const auto stored = defaults.rawBytes(FocusHistoryStore::key);
  store.setOnAccomplished([](const FocusHistoryEntry&, Date) {
    throw std::runtime_error("priority not saved");
  });
  EXPECT_THROW(store.markAccomplished(second, Date(500)), std::runtime_error);
  EXPECT_EQ(store.entries(), before);
  EXPECT_EQ(defaults.rawBytes(FocusHistoryStore::key), stored);
}

TEST(FocusHistoryStore, RemoveSavesEvenWhenNothingMatched) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  const UUID a = UUID::random(), b = UUID::random();
  store.record(work(a, 1));
  store.record(work(b, 2));
  store.remove(UUID::random());
  EXPECT_EQ(defaults.writeCount(FocusHistoryStore::key), 3);
  store.remove(b);
  EXPECT_EQ(idsOf(FocusHistoryStore(&defaults).entries()), std::vector<UUID>{a});
}

TEST(FocusHistoryStore, UnreadableHistoryIsKeptAndRefusesEveryChange) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {
      {"not JSON", "[{"},
      {"entry without finishedAt", R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F",)"
                                   R"("focus":"Write","duration":60}])"},
      {"read failure", std::nullopt},
  };
  for (const auto& [name, bytes] : rows) {
    InMemoryUserDefaults defaults;
    defaults.setData(FocusHistoryStore::key, bytes.value_or("[]"));
    if (!bytes) defaults.makeUnreadable(FocusHistoryStore::key);
    const auto kept = defaults.rawBytes(FocusHistoryStore::key);

    FocusHistoryStore store(&defaults);
    EXPECT_TRUE(store.entries().empty()) << name;
    EXPECT_EQ(store.errorMessage(), unreadableText) << name;
    EXPECT_THROW(store.record(work(UUID::random(), 1)), LocalJSONDocumentError) << name;
    EXPECT_THROW(store.remove(UUID::random()), LocalJSONDocumentError) << name;
    EXPECT_EQ(fileErrorOf([&] { store.markAccomplished(UUID::random(), Date(1)); }),
              FileError::fileReadCorruptFile) << name;
    EXPECT_EQ(defaults.rawBytes(FocusHistoryStore::key), kept) << name;

    LogCapture log;
    store.reportFailure(LocalJSONDocumentError(LocalJSONDocumentFailure::unreadable));
    EXPECT_EQ(store.errorMessage(), unreadableText) << name << ": the load error stays shown";
    EXPECT_EQ(log.lines().size(), 1u) << name;

    // What the history window does to start over.
    store.document().clear();
    store.setEntries({});
    store.setErrorMessage(std::nullopt);
    store.record(work(UUID::random(), 2));
    EXPECT_EQ(FocusHistoryStore(&defaults).entries().size(), 1u) << name;
  }
}

TEST(FocusHistoryStore, FailedSaveChangesNothingAndIsReportedOnce) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  int published = 0;
  const auto subscription = store.changes().subscribe([&] { ++published; });
  store.record(work(UUID::random(), 1));
  ASSERT_EQ(published, 1);
  const auto before = store.entries();

  defaults.setFailing(true);
  LogCapture log;
  try {
    store.record(work(UUID::random(), 2));
    ADD_FAILURE() << "a failed write was reported as saved";
  } catch (const std::system_error& error) {
    store.reportFailure(error);
    EXPECT_EQ(log.lines(), (std::vector<LogCapture::Line>{
                               {LogLevel::error, "pomodoro",
                                std::string("focus history change failed: ") + error.what()}}));
  }
  EXPECT_EQ(store.entries(), before);
  EXPECT_EQ(store.errorMessage(),
            "Focus history could not be saved. Existing records were kept.");

  defaults.setFailing(false);
  store.record(work(UUID::random(), 3));
  EXPECT_FALSE(store.errorMessage()) << "a successful save clears the message";
  EXPECT_EQ(store.entries().size(), 2u);
  EXPECT_EQ(published, 3) << "the report and the second save, not the failed save";
}

TEST(FocusHistoryStore, RealFilesRoundTripAndCorruptFileSurvives) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path());
  const UUID session = UUID::random(), priority = UUID::random();
  {
    FocusHistoryStore store(&defaults);
    store.record(work(session, 0.5), priority);
  }
  const std::vector<FocusHistoryEntry> expected{{session, "Write", 1500, Date(0.5), {}, priority}};
  EXPECT_EQ(FocusHistoryStore(&defaults).entries(), expected);
  const Json stored = json::parse(*testing::readFile(defaults.path(FocusHistoryStore::key)));
  EXPECT_FALSE(stored[0].contains("accomplishedAt"));

  const auto file = defaults.path(FocusHistoryStore::key);
  testing::writeFile(file, "{\"focus");
  FocusHistoryStore corrupt(&defaults);
  EXPECT_THROW(corrupt.record(work(UUID::random(), 1)), LocalJSONDocumentError);
  EXPECT_EQ(testing::readFile(file), "{\"focus");
}

}  // namespace
}  // namespace vorlane
