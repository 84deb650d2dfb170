#include "app/persistence/file_reminder_store.h"

#include <functional>

#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "app/persistence/atomic_file.h"
#include "foundation/json.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {
using testing::TempFolder;

constexpr std::time_t stampTime = 1767323045;  // 2026-01-02 03:04:05 UTC
const char* const asideName = "reminders.json.unreadable-20260102T030405";

Reminder oneOff(const char* phrase, double at) {
  return Reminder(UUID::random(), phrase, VisitTrigger::oneOff(Date(at)), Date(0));
}

std::vector<std::string> phrases(const std::vector<Reminder>& reminders) {
  std::vector<std::string> out;
  for (const Reminder& r : reminders) out.push_back(r.phrase);
  return out;
}

struct StoreFolder {
  TempFolder temp;
  std::filesystem::path file = temp / "data/Vorlane/reminders.json";
  FileReminderStore open() const { return FileReminderStore(file, [] { return stampTime; }); }
  std::optional<std::string> bytes() const { return contents(file); }
  // A file's bytes; a folder as the list of its entries.
  static std::optional<std::string> contents(const std::filesystem::path& path) {
    if (!std::filesystem::is_directory(path)) return testing::readFile(path);
    std::string listing = "folder:";
    for (const auto& name : testing::folderEntries(path)) listing += " " + name;
    return listing;
  }
  // Overwrites the file behind the store's back, to tell later whether the store wrote.
  void mark() const { testing::writeFile(file, "marker"); }
};

TEST(FileReminderStore, FirstLaunchCreatesTheFolderAndWritesNothing) {
  StoreFolder folder;
  LogCapture log;
  FileReminderStore store = folder.open();
  EXPECT_TRUE(store.reminders().empty());
  EXPECT_TRUE(std::filesystem::is_directory(folder.file.parent_path()));
  EXPECT_FALSE(std::filesystem::exists(folder.file));
  EXPECT_TRUE(log.lines().empty());
}

TEST(FileReminderStore, HealthyRoundTripKeepsOrderAndUpdates) {
  StoreFolder folder;
  Reminder tea = oneOff("tea", 100);
  {
    FileReminderStore store = folder.open();
    store.add(oneOff("stretch", 50));
    store.add(tea);
    store.add(oneOff("call", 70));
    tea.phrase = "green tea";
    EXPECT_TRUE(store.update(tea));
  }
  EXPECT_EQ(testing::permissions(folder.file), 0600u);
  FileReminderStore reloaded = folder.open();
  EXPECT_EQ(phrases(reloaded.reminders()), (std::vector<std::string>{"stretch", "green tea", "call"}));
  EXPECT_EQ(reloaded.reminders()[1], tea);
  // The stored form is a compact array of the reminders' own JSON.
  EXPECT_EQ(json::parse(*folder.bytes()).size(), 3u);
}

TEST(FileReminderStore, WritesOnlyWhenTheRulesSaySo) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  Reminder first = oneOff("first", 100);
  Reminder twin(first.id, "twin", VisitTrigger::hourly(), Date(0));
  store.add(first);
  store.add(twin);

  folder.mark();
  EXPECT_FALSE(store.update(oneOff("stranger", 1)));
  EXPECT_EQ(folder.bytes(), "marker") << "an update that finds nothing writes nothing";

  Reminder changed(first.id, "changed", VisitTrigger::oneOff(Date(5)), Date(0));
  EXPECT_TRUE(store.update(changed));
  EXPECT_EQ(phrases(store.reminders()), (std::vector<std::string>{"changed", "twin"}))
      << "only the first reminder with the id is replaced";

  folder.mark();
  store.remove(UUID::random());
  EXPECT_NE(folder.bytes(), "marker") << "remove writes even when nothing matched";
  store.remove(first.id);
  EXPECT_TRUE(store.reminders().empty()) << "remove takes every reminder with the id";
}

TEST(FileReminderStore, PruneRemovesOnlyExpiredOneShots) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  store.add(Reminder(UUID::random(), "past one-off", VisitTrigger::oneOff(Date(100)), Date(0)));
  store.add(Reminder(UUID::random(), "hourly", VisitTrigger::hourly(), Date(0)));
  store.add(Reminder(UUID::random(), "done countdown", VisitTrigger::countdown(60), Date(0)));
  store.add(Reminder(UUID::random(), "daily",
                     VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 9, 30)), Date(0)));
  store.add(Reminder(UUID::random(), "future one-off", VisitTrigger::oneOff(Date(500)), Date(0)));

  folder.mark();
  store.pruneExpired(Date(50));
  EXPECT_EQ(folder.bytes(), "marker") << "nothing expired: no write";
  EXPECT_EQ(store.reminders().size(), 5u);

  store.pruneExpired(Date(200));
  const std::vector<std::string> kept{"hourly", "daily", "future one-off"};
  EXPECT_EQ(phrases(store.reminders()), kept);
  EXPECT_EQ(phrases(folder.open().reminders()), kept);
}

// Regression for silent data loss: an unreadable file used to be overwritten by the first
// save. It must start empty, stay untouched until then, and be moved aside, not replaced.
TEST(FileReminderStore, UnreadableFileIsMovedAsideBeforeTheFirstSave) {
  const std::string good = R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":"ok",)"
                           R"("trigger":{"hourly":{}},"createdAt":0})";
  auto bytes = [](std::string b) {
    return [b](const std::filesystem::path& f) { testing::writeFile(f, b); };
  };
  const std::pair<const char*, std::function<void(const std::filesystem::path&)>> rows[] = {
      {"empty", bytes("")},
      {"truncated", bytes("[" + good.substr(0, 30))},
      {"not JSON", bytes("reminders, lots of them")},
      {"wrong shape", bytes(good)},
      {"one bad reminder among good ones", bytes("[" + good + R"(,{"id":"nope"}])")},
      {"a folder in its place",
       [](const auto& f) { std::filesystem::create_directories(f / "keep-me"); }},
      {"huge", [](const auto& f) {
         testing::writeFile(f, "[");
         std::filesystem::resize_file(f, maximumStoredFileSize + 10);
       }},
  };
  for (const auto& [name, stage] : rows) {
    StoreFolder folder;
    std::filesystem::create_directories(folder.file.parent_path());
    stage(folder.file);
    const auto original = folder.bytes();
    LogCapture log;

    FileReminderStore store = folder.open();
    EXPECT_TRUE(store.reminders().empty()) << name;
    EXPECT_EQ(folder.bytes(), original) << name << ": loading never writes";
    EXPECT_TRUE(log.lines().empty()) << name;

    store.add(oneOff("new", 1));
    store.add(oneOff("newer", 2));
    const auto aside = folder.file.parent_path() / asideName;
    ASSERT_TRUE(original) << name;
    EXPECT_EQ(StoreFolder::contents(aside), original) << name;
    EXPECT_EQ(phrases(folder.open().reminders()), (std::vector<std::string>{"new", "newer"}))
        << name;
    ASSERT_EQ(log.lines().size(), 1u) << name;
    EXPECT_EQ(log.lines()[0], (LogCapture::Line{LogLevel::error, "reminders",
                                                "unreadable reminders file moved aside to " +
                                                    aside.string()}));
  }
}

TEST(FileReminderStore, NoSaveWhenTheUnreadableFileCannotBeKept) {
  StoreFolder folder;
  std::filesystem::create_directories(folder.file.parent_path());
  testing::writeFile(folder.file, "not json");
  // Every aside name is taken, so the file cannot be moved without replacing a copy.
  testing::writeFile(folder.file.parent_path() / asideName, "older");
  for (int n = 2; n <= 1000; ++n) {
    testing::writeFile(asidePath(folder.file, stampTime, n), "older");
  }
  LogCapture log;
  FileReminderStore store = folder.open();
  store.add(oneOff("new", 1));
  EXPECT_EQ(folder.bytes(), "not json");
  EXPECT_EQ(store.reminders().size(), 1u) << "the list in memory still changes";
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0].level, LogLevel::error);
  EXPECT_NE(log.lines()[0].message.find("not saving"), std::string::npos);
}

TEST(FileReminderStore, FailedWriteIsLoggedNotHidden) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  Reminder tea = oneOff("tea", 1);
  store.add(tea);
  // The folder is replaced by a file: every later write fails.
  std::filesystem::remove_all(folder.file.parent_path());
  testing::writeFile(folder.file.parent_path(), "in the way");

  LogCapture log;
  tea.phrase = "coffee";
  EXPECT_TRUE(store.update(tea)) << "the list changed, whatever the disk says";
  EXPECT_EQ(store.reminders()[0].phrase, "coffee");
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0].level, LogLevel::error);
  EXPECT_EQ(log.lines()[0].message.rfind("could not save reminders: ", 0), 0u);
}

TEST(FileReminderStore, WithoutALocationNothingIsStored) {
  FileReminderStore store(std::nullopt);
  store.add(oneOff("tea", 1));
  EXPECT_EQ(store.reminders().size(), 1u);
  EXPECT_FALSE(store.url());
}

}  // namespace
}  // namespace vorlane
