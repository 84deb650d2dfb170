// The five stored records on real files: what a newer version added survives our saves, a
// record of the largest size read back reads, and a blocked record clears whatever stands in
// its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string_view>
#include <system_error>

#include "core/productivity/daily_priorities.h"
#include "foundation/calendar.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/log_capture.h"
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

// Puts into the stored record, or into its first element for a list, a member of a newer
// version holding arrays inside one another, so that the document is `depth` levels deep.
// Returns the member's text.
std::string addDeepMember(const fs::path& file, std::size_t depth) {
  Json document = readJson(file);
  const bool list = document.is_array();
  (list ? document.front() : document)["fromANewerVersion"] = "deep";
  const std::size_t arrays = depth - (list ? 2 : 1);
  const std::string member = std::string(arrays, '[') + std::string(arrays, ']');
  std::string text = json::dump(document);
  text.replace(text.find(R"("deep")"), 6, member);
  testing::writeFile(file, text);
  return member;
}

// The records a save moves aside when they could not be read; the others keep them, and
// refuse every save, until they are cleared.
bool movedAsideBySave(const Record& record) {
  return std::string_view(record.name) == "preferences" ||
         std::string_view(record.name) == "reminders";
}

std::optional<fs::path> asideCopy(const fs::path& file) {
  for (const auto& name : testing::folderEntries(file.parent_path())) {
    if (name.starts_with(file.filename().string() + ".unreadable-"))
      return file.parent_path() / name;
  }
  return std::nullopt;
}

TEST(StoredRecords, NewerMembersNestedToTheDepthBoundSurviveOurChanges) {
  for (const Record& record : records) {
    testing::TempFolder home;
    record.writeFirst(home.path());
    const fs::path file = record.file(home.path());
    const std::string member = addDeepMember(file, json::maximumDocumentDepth);
    ASSERT_EQ(record.stage(home.path()), 1) << record.name << ": still read";
    record.change(home.path());
    EXPECT_EQ(record.stage(home.path()), 2) << record.name << ": the change is stored";
    EXPECT_NE(testing::readFile(file).value_or("").find(member), std::string::npos)
        << record.name << ": the member is written back";
  }
}

// Regression: a member nested 100,000 levels deep crashed every launch (the stack ran out
// copying it) and the record was never moved aside.
TEST(StoredRecords, ARecordNestedPastTheDepthBoundIsDamagedInput) {
  for (const std::size_t depth : {json::maximumDocumentDepth + 1, std::size_t{100000}}) {
    for (const Record& record : records) {
      const std::string name = record.name + (" at " + std::to_string(depth));
      testing::TempFolder home;
      record.writeFirst(home.path());
      const fs::path file = record.file(home.path());
      addDeepMember(file, depth);
      const auto original = testing::readFile(file);
      LogCapture log;
      EXPECT_EQ(record.stage(home.path()), 0) << name << ": read as nothing";
      EXPECT_EQ(testing::readFile(file), original) << name << ": loading never writes";
      if (!movedAsideBySave(record)) {
        EXPECT_ANY_THROW(record.change(home.path())) << name << ": saves are refused";
        EXPECT_EQ(testing::readFile(file), original) << name << ": kept until cleared";
        continue;
      }
      if (file.filename() == "reminders.json") {
        EXPECT_TRUE(FileReminderStore(file).keepsUnreadableFile()) << name;
      }
      record.change(home.path());
      const auto aside = asideCopy(file);
      ASSERT_TRUE(aside) << name;
      EXPECT_EQ(testing::readFile(*aside), original) << name;
      EXPECT_GT(record.stage(home.path()), 0) << name << ": the change is stored";
      // Reminders are read one by one: the one nested too deep is left out, and each of the
      // three loads before the save counts it.
      const std::size_t loads = file.filename() == "reminders.json" ? 3 : 0;
      const Lines lines = log.lines();
      ASSERT_EQ(lines.size(), loads + 1) << name;
      for (std::size_t i = 0; i < loads; ++i) {
        EXPECT_EQ(lines[i].message,
                  "stored reminders that could not be read were left out, the file to be moved "
                  "aside before the next save: 1")
            << name;
      }
      EXPECT_TRUE(lines.back().message.ends_with(" moved aside to " + aside->string())) << name;
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

// Regression: a record kept as a link (a dotfiles repository) became a regular file; and with
// the folder of the link's target missing, every save was refused.
TEST(StoredRecords, ALinkedRecordStaysALinkAndItsTargetChanges) {
  for (const bool folderMissing : {false, true}) {
    for (const Record& record : records) {
      const std::string name = record.name + std::string(folderMissing ? ", folder missing" : "");
      testing::TempFolder home;
      record.writeFirst(home.path());
      const fs::path file = record.file(home.path());
      const fs::path target = home / "dotfiles/vorlane" / file.filename();
      if (folderMissing) {
        fs::remove(file);
      } else {
        fs::create_directories(target.parent_path());
        fs::rename(file, target);
      }
      fs::create_symlink(fs::relative(target, file.parent_path()), file);

      record.change(home.path());
      EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file))) << name;
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target))) << name;
      if (folderMissing) {
        EXPECT_GT(record.stage(home.path()), 0) << name;
        EXPECT_EQ(fs::status(target.parent_path()).permissions() & fs::perms::all,
                  fs::perms::owner_all)
            << name << ": made as the record's own folder";
      } else {
        EXPECT_EQ(record.stage(home.path()), 2) << name;
      }
      EXPECT_EQ(testing::folderEntries(target.parent_path()).size(), 1u)
          << name << ": no temporary file left beside the target";
    }
  }
}

// The target's folder cannot be made (a link to nowhere stands in its place, which reads as
// no record): the save fails as any other.
TEST(StoredRecords, ALinkedRecordWhoseTargetFolderCannotBeMadeFailsAsAnyWrite) {
  testing::TempFolder home;
  FileRecordStore recordStore(home / "config");
  fs::create_directories(home / "dotfiles");
  fs::create_symlink(home / "nowhere", home / "dotfiles/vorlane");
  fs::create_directories(home / "config");
  for (const char* key : {RecordPreferencesStore::key, RecordDailyPrioritiesStore::key}) {
    fs::create_symlink(home / "dotfiles/vorlane" / recordStore.fileName(key),
                       recordStore.path(key));
  }
  LogCapture log;
  RecordPreferencesStore preferences(recordStore);
  preferences.modify([](Preferences& p) { p.workMinutes = 40; });
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_TRUE(log.lines()[0].message.starts_with("could not save preferences: "))
      << log.lines()[0].message;

  RecordDailyPrioritiesStore priorities(&recordStore);
  EXPECT_EQ(
      refusal([&] { priorities.apply([](DailyPriorities& p) { p.add("Plan", today, newYork); }); }),
      "The change could not be written to disk. Nothing was changed.");
  EXPECT_TRUE(priorities.plan().items().empty());
  EXPECT_EQ(log.lines().size(), 2u);
}

// Regression: preferences linked into a folder that cannot be made (a file stands in its
// path) were moved aside as unreadable and a plain file took the link's place.
TEST(StoredRecords, PreferencesLinkedWhereTheyCannotBeReachedKeepTheLink) {
  testing::TempFolder home;
  FileRecordStore recordStore(home / "config");
  fs::create_directories(home / "config");
  testing::writeFile(home / "dotfiles", "in the way");
  const fs::path file = recordStore.path(RecordPreferencesStore::key);
  const fs::path target = home / "dotfiles/vorlane/preferences.json";
  fs::create_symlink(target, file);
  LogCapture log;
  RecordPreferencesStore preferences(recordStore);
  EXPECT_EQ(preferences.preferences(), Preferences());
  preferences.modify([](Preferences& p) { p.workMinutes = 40; });
  EXPECT_EQ(preferences.preferences().workMinutes, 40) << "kept in memory";
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file)));
  EXPECT_EQ(testing::folderEntries(home / "config"), std::vector<std::string>{"preferences.json"});
  EXPECT_EQ(testing::readFile(home / "dotfiles"), "in the way");
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_EQ(log.lines()[0].level, LogLevel::error);
  EXPECT_TRUE(log.lines()[0].message.starts_with(
      "the preferences are a link whose target cannot be reached, kept as it is; starting on "
      "the defaults: "))
      << log.lines()[0].message;
  EXPECT_TRUE(log.lines()[1].message.starts_with("could not save preferences: "));

  // Settings that appear behind the link meanwhile were never read: they stay.
  fs::remove(home / "dotfiles");
  fs::create_directories(target.parent_path());
  testing::writeFile(target, "theirs");
  preferences.modify([](Preferences& p) { p.workMinutes = 45; });
  EXPECT_EQ(testing::readFile(target), "theirs");
  ASSERT_EQ(log.lines().size(), 3u);
  EXPECT_EQ(log.lines()[2].message,
            "could not save preferences: they appeared after the start, kept");
  // With nothing behind it, the settings go through the link.
  fs::remove(target);
  preferences.modify([](Preferences& p) { p.workMinutes = 50; });
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file)));
  EXPECT_EQ(RecordPreferencesStore(recordStore).preferences().workMinutes, 50);
  EXPECT_EQ(log.lines().size(), 3u);
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

// Regression: the temporary files of saves killed halfway stayed for good.
TEST(AtomicFile, LeftoverTemporariesOfOurOwnNamingAreRemovedBesideRecordsAndLinkTargets) {
  testing::TempFolder temp;
  const fs::path records = temp / "records";
  const fs::path dotfiles = temp / "dotfiles";
  fs::create_directories(records);
  fs::create_directories(dotfiles);
  fs::create_symlink("../dotfiles/history", records / "focusHistory.json");
  fs::create_symlink("loop.json", records / "loop.json");           // followed nowhere
  fs::create_symlink("../dotfiles/notes", records / "notes.json");  // not a record
  const std::vector<fs::path> leftovers = {
      records / ".preferences.json.tmp-a1B2c3", records / ".dailyPriorities.v1.json.tmp-ZZ9yy8",
      records / ".reminders.json.tmp-000000", dotfiles / ".history.tmp-QwErTy"};
  const std::vector<fs::path> others = {
      records / ".preferences.json.tmp-a1B2c",    // too short
      records / ".preferences.json.tmp-a1B2c34",  // too long
      records / ".preferences.json.tmp-a1_2c3",   // not a letter or digit
      records / ".notes.txt.tmp-a1B2c3",          // not a record
      records / ".user-notes.json.tmp-abc123",    // nor is this
      dotfiles / ".notes.tmp-a1B2c3",             // beside a link that is no record
      records / "preferences.json.tmp-a1B2c3",    // no leading dot
      dotfiles / ".history.json.tmp-a1B2c3",      // not the link's target
      records / "preferences.json"};
  for (const auto& file : leftovers) testing::writeFile(file, "{");
  for (const auto& file : others) testing::writeFile(file, "kept");
  // Only regular files: a folder, or a link to a file elsewhere, of the same naming stays.
  fs::create_directories(records / ".folder.json.tmp-abcdef");
  fs::create_symlink(records / "preferences.json", records / ".linked.json.tmp-abcdef");

  const auto isRecord = [](std::string_view name) {
    return name == "preferences.json" || name == "dailyPriorities.v1.json" ||
           name == "reminders.json" || name == "focusHistory.json" || name == "loop.json";
  };
  std::vector<fs::path> removed;
  for (const auto& file : removeLeftoverTemporaries(records, isRecord)) {
    removed.push_back(fs::weakly_canonical(file));
  }
  std::ranges::sort(removed);
  std::vector<fs::path> expected;
  for (const auto& file : leftovers) expected.push_back(fs::weakly_canonical(file));
  std::ranges::sort(expected);
  EXPECT_EQ(removed, expected);
  for (const auto& file : leftovers) EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << file;
  for (const auto& file : others) EXPECT_EQ(testing::readFile(file), "kept") << file;
  EXPECT_TRUE(fs::is_directory(records / ".folder.json.tmp-abcdef"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(records / ".linked.json.tmp-abcdef")));
  EXPECT_TRUE(removeLeftoverTemporaries(temp / "missing", isRecord).empty());
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
  std::optional<std::string> setDataKeepingAside(const std::string& key,
                                                 std::string_view bytes) override {
    setData(key, bytes);
    return std::nullopt;
  }

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
      {ENOTDIR, Failure::notAFolder,
       "Vorlane's data folder is not a folder, so the change could not be saved. Nothing was "
       "changed."},
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
