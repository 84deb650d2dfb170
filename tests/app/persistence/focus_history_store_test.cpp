#include "app/persistence/focus_history_store.h"

#include <functional>
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
const std::string key = FocusHistoryStore::key;

PomodoroSession::Completion work(UUID id, double finishedAt, std::string focus = "Write") {
  return {Kind::work, 1500, Date(finishedAt), std::move(focus), id};
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

TEST(FocusHistoryStore, RecordsNamedWorkOncePerSessionNewestFirst) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  store.record({Kind::rest, 300, Date(10), "Write", UUID::random()});
  store.record(work(UUID::random(), 20, ""));
  EXPECT_EQ(defaults.writeCount(key), 0);

  const UUID session = UUID::random(), other = UUID::random(), priority = UUID::random();
  store.record(work(session, 100), priority);
  store.markAccomplished(session, Date(150));
  store.record(work(other, 200));
  store.record({Kind::work, 2100, Date(400), "Write more", session});  // no priority given
  const std::vector<FocusHistoryEntry> expected{
      {session, "Write more", 2100, Date(400), Date(150), priority},
      {other, "Write", 1500, Date(200), {}, {}}};
  EXPECT_EQ(store.entries(), expected);

  const UUID newer = UUID::random();
  store.record(work(session, 500), newer);
  EXPECT_EQ(store.entries()[0].priorityID, newer);
  EXPECT_EQ(FocusHistoryStore(&defaults).entries(), store.entries());
}

TEST(FocusHistoryStore, KeepsTheNewestHundred) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  std::vector<UUID> ids;
  for (int i = 0; i < 101; ++i) store.record(work(ids.emplace_back(UUID::random()), i));
  ASSERT_EQ(store.entries().size(), 100u);
  EXPECT_EQ(store.entries().front().id, ids[100]);
  EXPECT_EQ(store.entries().back().id, ids[1]) << "the oldest is dropped";

  // A longer stored list shows its first hundred; the next save writes only those.
  std::vector<FocusHistoryEntry> longer;
  for (int i = 0; i < 150; ++i) longer.push_back({UUID::random(), "Old", 60, Date(i), {}, {}});
  defaults.setData(key, json::dump(JsonCoding<decltype(longer)>::encode(longer)));
  FocusHistoryStore loaded(&defaults);
  loaded.remove(UUID::random());
  EXPECT_EQ(json::parse(*defaults.rawBytes(key)).size(), 100u);
  EXPECT_EQ(FocusHistoryStore(&defaults).entries(),
            std::vector<FocusHistoryEntry>(longer.begin(), longer.begin() + 100));
}

TEST(FocusHistoryStore, MarkAccomplishedRunsTheCallbackFirstAndKeepsTheFirstDate) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  const UUID session = UUID::random();
  store.record(work(session, 100));
  int calls = 0;
  store.setOnAccomplished([&](const FocusHistoryEntry& entry, Date) {
    EXPECT_EQ(entry.id, session);
    ++calls;
  });

  EXPECT_EQ(fileErrorOf([&] { store.markAccomplished(UUID::random(), Date(1)); }),
            FileError::noSuchFile);
  store.markAccomplished(session, Date(200));
  store.markAccomplished(session, Date(300));
  EXPECT_EQ(calls, 2) << "not for an unknown id; again for an accomplished entry";
  EXPECT_EQ(store.entries()[0].accomplishedAt, Date(200));
  EXPECT_EQ(defaults.writeCount(key), 3) << "saved again although nothing changed";

  // A failing priority update leaves the history exactly as it was.
  const UUID second = UUID::random();
  store.record(work(second, 400));
  const auto before = store.entries();
  store.setOnAccomplished([](const FocusHistoryEntry&, Date) { throw std::runtime_error("no"); });
  EXPECT_THROW(store.markAccomplished(second, Date(500)), std::runtime_error);
  EXPECT_EQ(store.entries(), before);
  EXPECT_EQ(defaults.writeCount(key), 4);
}

TEST(FocusHistoryStore, FailedSaveChangesNothingAndIsReported) {
  InMemoryUserDefaults defaults;
  FocusHistoryStore store(&defaults);
  int published = 0;
  const auto subscription = store.changes().subscribe([&] { ++published; });
  store.record(work(UUID::random(), 1));
  const auto before = store.entries();

  defaults.setFailing(true);
  LogCapture log;
  try {
    store.record(work(UUID::random(), 2));
    ADD_FAILURE() << "a failed write was reported as saved";
  } catch (const std::system_error& error) {
    store.reportFailure(error);
    const LogCapture::Line line{LogLevel::error, "pomodoro",
                                std::string("focus history change failed: ") + error.what()};
    EXPECT_EQ(log.lines(), std::vector<LogCapture::Line>{line});
  }
  EXPECT_EQ(store.entries(), before);
  EXPECT_EQ(store.errorMessage(), "Focus history could not be saved. Existing records were kept.");

  defaults.setFailing(false);
  store.record(work(UUID::random(), 3));
  EXPECT_FALSE(store.errorMessage()) << "a successful save clears the message";
  EXPECT_EQ(published, 3) << "the first save, the report and the last save";
}

TEST(FocusHistoryStore, CorruptFileIsKeptAndRefusesEveryChangeUntilCleared) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path());
  const auto file = defaults.path(key);
  testing::writeFile(file, R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","focus":"W"}])");
  const auto kept = testing::readFile(file);

  FocusHistoryStore store(&defaults);
  EXPECT_TRUE(store.entries().empty());
  ASSERT_TRUE(store.errorMessage());
  EXPECT_THROW(store.record(work(UUID::random(), 1)), LocalJSONDocumentError);
  EXPECT_THROW(store.remove(UUID::random()), LocalJSONDocumentError);
  EXPECT_EQ(fileErrorOf([&] { store.markAccomplished(UUID::random(), Date(1)); }),
            FileError::fileReadCorruptFile);
  EXPECT_EQ(testing::readFile(file), kept);
  const auto unreadable = store.errorMessage();
  store.reportFailure(std::runtime_error("refused"));
  EXPECT_EQ(store.errorMessage(), unreadable) << "the load error stays shown";

  // What the history window does to start over.
  store.document().clear();
  store.setEntries({});
  store.setErrorMessage(std::nullopt);
  store.record(work(UUID::random(), 0.5));
  EXPECT_EQ(FocusHistoryStore(&defaults).entries(), store.entries());
  EXPECT_FALSE(json::parse(*testing::readFile(file))[0].contains("accomplishedAt"));
}

}  // namespace
}  // namespace vorlane
