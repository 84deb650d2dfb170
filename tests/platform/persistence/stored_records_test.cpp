// The five stored records on real files: what a newer version added survives our saves, a
// record of the largest size read back reads, and a blocked record clears whatever stands in
// its place.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <system_error>

#include "core/productivity/daily_priorities.h"
#include "foundation/calendar.h"
#include "tests/support/log_capture.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<LogCapture::Line>;

const Calendar newYork("America/New_York", "en_US");
const Date today(800000000);
const UUID firstSession = *UUID::fromString("6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01");

FocusCheckpoint checkpoint(std::string nextStep) {
  return {{firstSession, "Draft", 600, 900, true}, std::move(nextStep), false, {}};
}

// One record: where it lives, a first value written through its store, a change made by a
// later run, and whether a run reads back the first value or the changed one.
struct Record {
  const char* name;
  fs::path (*file)(const fs::path& home);
  std::function<void(const fs::path& home)> writeFirst;
  std::function<void(const fs::path& home)> change;
  std::function<int(const fs::path& home)> stage;  // 0 nothing read, 1 first, 2 changed
};

fs::path config(const fs::path& home) { return home / "config"; }

const Record records[] = {
    {"preferences", [](const fs::path& h) { return config(h) / "preferences.json"; },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordPreferencesStore(recordStore).modify([](Preferences& p) { p.workMinutes = 40; });
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordPreferencesStore(recordStore).modify([](Preferences& p) { p.workMinutes = 45; });
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       const auto minutes = RecordPreferencesStore(recordStore).preferences().workMinutes;
       return minutes == 40 ? 1 : minutes == 45 ? 2 : 0;
     }},
    {"focus history", [](const fs::path& h) { return config(h) / "focusHistory.json"; },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordFocusHistoryStore(&recordStore)
           .record({PomodoroSession::Kind::work, 1500, Date(100), "Write", firstSession});
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordFocusHistoryStore(&recordStore)
           .record({PomodoroSession::Kind::work, 1500, Date(200), "Read", UUID::random()});
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       return static_cast<int>(RecordFocusHistoryStore(&recordStore).entries().size());
     }},
    {"focus checkpoint", [](const fs::path& h) { return config(h) / "focusRecovery.v1.json"; },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordFocusRecoveryStore(&recordStore).document().save(checkpoint("Outline"));
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordFocusRecoveryStore(&recordStore).document().save(checkpoint("Conclude"));
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       const RecordFocusRecoveryStore store(&recordStore);
       const auto& value = store.document().value();
       return !value ? 0 : value->nextStep == "Outline" ? 1 : 2;
     }},
    {"daily priorities", [](const fs::path& h) { return config(h) / "dailyPriorities.v1.json"; },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordDailyPrioritiesStore(&recordStore).apply([](DailyPriorities& plan) {
         plan.add("Plan", today, newYork);
       });
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       RecordDailyPrioritiesStore(&recordStore).apply([](DailyPriorities& plan) {
         plan.add("Write", today, newYork);
       });
     },
     [](const fs::path& h) {
       FileRecordStore recordStore(config(h));
       return static_cast<int>(RecordDailyPrioritiesStore(&recordStore).plan().items().size());
     }},
    {"reminders", [](const fs::path& h) { return h / "data/reminders.json"; },
     [](const fs::path& h) {
       FileReminderStore(h / "data/reminders.json")
           .add(Reminder(firstSession, "tea", VisitTrigger::hourly(), Date(0)));
     },
     [](const fs::path& h) {
       FileReminderStore(h / "data/reminders.json")
           .add(Reminder(UUID::random(), "cake", VisitTrigger::oneOff(Date(5)), Date(0)));
     },
     [](const fs::path& h) {
       return static_cast<int>(FileReminderStore(h / "data/reminders.json").reminders().size());
     }},
};

const Json newer = Json::parse(R"({"kept":[1,"two",{"three":3}],"at":0.5})");

// Adds a member of a newer version to the record and to each element of its lists; how many.
int addNewerMembers(Json& document) {
  int added = 0;
  const auto add = [&](Json& object) {
    if (!object.is_object()) return;
    object["fromANewerVersion"] = newer;
    ++added;
  };
  if (document.is_array()) {
    for (Json& element : document) add(element);
  } else if (document.is_object()) {
    if (document.contains("items")) {
      for (Json& element : document["items"]) add(element);
    }
    add(document);
  }
  return added;
}

int countNewerMembers(const Json& value) {
  int n = 0;
  if (value.is_object()) {
    for (const auto& [key, member] : value.items()) {
      if (key == "fromANewerVersion" && member == newer) ++n;
      n += countNewerMembers(member);
    }
  } else if (value.is_array()) {
    for (const Json& element : value) n += countNewerMembers(element);
  }
  return n;
}

Json readJson(const fs::path& file) { return json::parse(testing::readFile(file).value_or("")); }

// Regression: fields a newer version added vanished at the next save by this one.
TEST(StoredRecords, MembersOfANewerVersionSurviveOurChanges) {
  for (const Record& record : records) {
    testing::TempFolder home;
    record.writeFirst(home.path());
    const fs::path file = record.file(home.path());
    Json document = readJson(file);
    const int added = addNewerMembers(document);
    ASSERT_GT(added, 0) << record.name;
    testing::writeFile(file, json::dump(document));

    ASSERT_EQ(record.stage(home.path()), 1) << record.name << ": still read";
    record.change(home.path());
    EXPECT_EQ(record.stage(home.path()), 2) << record.name << ": the change is stored";
    EXPECT_EQ(countNewerMembers(readJson(file)), added) << record.name;
    record.change(home.path());
    EXPECT_EQ(countNewerMembers(readJson(file)), added) << record.name << ": a second save";
  }
}

// Whatever the program writes it reads back: a record as large as a write may be reads;
// only a larger one, which no write makes, is unreadable.
TEST(StoredRecords, ARecordAtTheLargestWritableSizeReadsBack) {
  EXPECT_EQ(maximumStoredFileSize, json::maximumDocumentSize);
  EXPECT_GE(json::maximumDocumentSize, std::size_t{16} << 20) << "room for 100,000 reminders";
  for (const Record& record : records) {
    for (const std::size_t extra : {0, 1}) {
      testing::TempFolder home;
      record.writeFirst(home.path());
      const fs::path file = record.file(home.path());
      std::string bytes = testing::readFile(file).value_or("");
      bytes.resize(maximumStoredFileSize + extra, ' ');  // white space after the value
      testing::writeFile(file, bytes);
      EXPECT_EQ(record.stage(home.path()), extra == 0 ? 1 : 0)
          << record.name << (extra == 0 ? " at the bound" : " one byte over");
    }
  }
}

// Regression: past about 6,600 reminders the file no longer read back, was moved aside, and
// the next add left a file holding one reminder.
TEST(StoredRecords, TenThousandRemindersReadBackAfterAnAdd) {
  testing::TempFolder home;
  const fs::path file = home / "reminders.json";
  std::vector<Reminder> many;
  for (int i = 0; i < 10000; ++i) {
    many.emplace_back(UUID::random(), "stretch your legs and drink water " + std::to_string(i),
                      VisitTrigger::oneOff(Date(1000 + i)), Date(i));
  }
  testing::writeFile(file, json::dump(JsonCoding<std::vector<Reminder>>::encode(many)));
  ASSERT_GT(fs::file_size(file), std::uintmax_t{1} << 20);
  LogCapture log;
  FileReminderStore(file).add(
      Reminder(UUID::random(), "one more", VisitTrigger::hourly(), Date(0)));
  EXPECT_EQ(FileReminderStore(file).reminders().size(), 10001u);
  EXPECT_TRUE(log.lines().empty());
}

// Regression: a record kept as a link (a dotfiles repository) became a regular file.
TEST(StoredRecords, ALinkedRecordStaysALinkAndItsTargetChanges) {
  for (const Record& record : records) {
    testing::TempFolder home;
    record.writeFirst(home.path());
    const fs::path file = record.file(home.path());
    const fs::path target = home / "dotfiles/vorlane" / file.filename();
    fs::create_directories(target.parent_path());
    fs::rename(file, target);
    fs::create_symlink(fs::relative(target, file.parent_path()), file);

    record.change(home.path());
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file))) << record.name;
    EXPECT_EQ(record.stage(home.path()), 2) << record.name;
    EXPECT_EQ(testing::folderEntries(target.parent_path()).size(), 1u)
        << record.name << ": no temporary file left beside the target";
  }
}

TEST(AtomicFile, WritesThroughChainsOfLinksAndIntoAMissingTarget) {
  testing::TempFolder temp;
  fs::create_directories(temp / "a");
  fs::create_directories(temp / "b");
  // a/record -> ../b/middle -> /abs/b/end (missing yet)
  fs::create_symlink("../b/middle", temp / "a/record");
  fs::create_symlink(temp / "b/end", temp / "b/middle");
  writeFileAtomically(temp / "a/record", "first");
  EXPECT_EQ(testing::readFile(temp / "b/end"), "first");
  writeFileAtomically(temp / "a/record", "second");
  EXPECT_EQ(testing::readFile(temp / "a/record"), "second");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(temp / "a/record")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(temp / "b/middle")));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(temp / "b/end")));

  fs::create_symlink("loop", temp / "a/loop");
  EXPECT_THROW(writeFileAtomically(temp / "a/loop", "x"), std::system_error);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(temp / "a/loop"))) << "left as it was";
}

// Regression: with a folder in place of a blocked record, clearing failed with "could not
// remove the stored record".
TEST(StoredRecords, ClearingABlockedRecordMovesWhateverStandsThereAsideAndSaysWhere) {
  struct Blocked {
    const char* name;
    const char* key;
    std::function<void(FileRecordStore&)> clearAndSave;
  };
  const Blocked rows[] = {
      {"daily priorities", RecordDailyPrioritiesStore::key,
       [](FileRecordStore& d) {
         RecordDailyPrioritiesStore store(&d);
         ASSERT_TRUE(store.errorMessage());
         store.clear();
         store.apply([](DailyPriorities& plan) { plan.add("Plan", today, newYork); });
       }},
      {"focus history", RecordFocusHistoryStore::key,
       [](FileRecordStore& d) {
         RecordFocusHistoryStore store(&d);
         ASSERT_TRUE(store.document().errorMessage());
         store.document().clear();
         store.record({PomodoroSession::Kind::work, 1500, Date(100), "Write", firstSession});
       }},
      {"focus checkpoint", RecordFocusRecoveryStore::key,
       [](FileRecordStore& d) {
         RecordFocusRecoveryStore store(&d);
         ASSERT_TRUE(store.document().errorMessage());
         store.document().clear();
         store.document().save(checkpoint("Outline"));
       }},
  };
  for (const Blocked& row : rows) {
    for (const bool folder : {true, false}) {
      testing::TempFolder home;
      FileRecordStore recordStore(home.path(), [] { return std::time_t{0}; });
      const fs::path file = recordStore.path(row.key);
      if (folder) {
        fs::create_directories(file / "inside");
      } else {
        testing::writeFile(file, "{not json");
      }
      LogCapture log;
      row.clearAndSave(recordStore);
      const fs::path aside = asidePath(file, 0);
      EXPECT_EQ(fs::is_directory(aside), folder) << row.name;
      EXPECT_TRUE(fs::is_regular_file(file)) << row.name << ": saved again";
      if (!folder) {
        EXPECT_EQ(testing::readFile(aside), "{not json") << row.name;
      }
      EXPECT_EQ(log.lines(), (Lines{{LogLevel::error, "lifecycle",
                                     "unreadable record " + std::string(row.key) +
                                         " moved aside to " + aside.string()}}))
          << row.name;
    }
  }
}

// A store whose writes fail with one system error.
class FailingRecords final : public RecordStore {
 public:
  explicit FailingRecords(int error) : error_(error) {}
  StoredData data(const std::string&) const override { return StoredData::missing(); }
  void setData(const std::string& key, std::string_view) override {
    throw std::system_error(error_, std::generic_category(), "could not write /data/" + key);
  }
  bool remove(const std::string&) override { return true; }
  std::optional<std::string> setAside(const std::string&) override { return std::nullopt; }

 private:
  int error_;
};

// Regression: Today showed "could not write /…: No space left on device".
TEST(StoredRecords, AFailedWriteIsASentenceAndItsSystemReasonIsLogged) {
  using Failure = LocalJSONDocumentFailure;
  const std::tuple<int, Failure, const char*> rows[] = {
      {ENOSPC, Failure::diskFull,
       "The disk is full, so the change could not be saved. Nothing was changed."},
      {EDQUOT, Failure::diskFull,
       "The disk is full, so the change could not be saved. Nothing was changed."},
      {EROFS, Failure::notWritable,
       "Vorlane may not write to its data folder, so the change could not be saved. Nothing "
       "was changed."},
      {EACCES, Failure::notWritable,
       "Vorlane may not write to its data folder, so the change could not be saved. Nothing "
       "was changed."},
      {EIO, Failure::notWritten, "The change could not be written to disk. Nothing was changed."},
  };
  for (const auto& [error, failure, sentence] : rows) {
    FailingRecords recordStore(error);
    RecordDailyPrioritiesStore store(&recordStore);
    LogCapture log;
    const auto thrownFailure = thrown<LocalJSONDocumentError>(
        [&] { store.apply([](DailyPriorities& plan) { plan.add("Plan", today, newYork); }); },
        [](const auto& e) { return e.value(); });
    EXPECT_EQ(thrownFailure, failure) << sentence;
    EXPECT_EQ(describe(failure), sentence);
    EXPECT_TRUE(store.plan().items().empty()) << sentence;
    const std::string reason = std::system_error(error, std::generic_category(),
                                                 "could not write /data/dailyPriorities.v1")
                                   .what();
    EXPECT_EQ(
        log.lines(),
        (Lines{{LogLevel::error, "lifecycle", "could not save dailyPriorities.v1: " + reason}}))
        << sentence;
  }
}

}  // namespace
}  // namespace vorlane
