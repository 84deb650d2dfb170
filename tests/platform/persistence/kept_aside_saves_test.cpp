// The first save after a partial read keeps the old file under its aside name and replaces it,
// in that order: refused or killed at any step, the file still holds the old bytes or the new
// list, and a fresh read lists every reminder that was healthy.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/persistence/atomic_file.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/path_not_a_folder_error.h"
#include "platform/persistence/record_preferences_store.h"
#include "platform/persistence/save_steps.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using Phrases = std::vector<std::string>;

constexpr std::time_t stampTime = 1767323045;  // 2026-01-02 03:04:05 UTC

// The save step hook while alive: `hook` decides every step; none afterwards.
class StepHook {
 public:
  explicit StepHook(std::function<int(SaveStep)> hook) { setSaveStepHook(std::move(hook)); }
  ~StepHook() { setSaveStepHook({}); }
  StepHook(const StepHook&) = delete;
  StepHook& operator=(const StepHook&) = delete;
};

// A hook that fails `step` with `error`, and refuses hard links as a file system without
// them does when `noLinks`.
std::function<int(SaveStep)> failing(SaveStep step, int error, bool noLinks) {
  return [=](SaveStep at) {
    if (at == step) return error;
    return noLinks && at == SaveStep::linkAside ? EPERM : 0;
  };
}

Reminder healthy(const std::string& phrase) {
  return Reminder(UUID::random(), phrase, VisitTrigger::countdown(600), Date(0));
}

// Three healthy reminders stored beside one that does not decode (minute 60), in the data
// folder or, `linked`, behind a link into a dotfiles folder; an earlier aside copy beside the
// file, which no save may replace.
struct PartlyReadFile {
  testing::TempFolder temp;
  fs::path file = temp / "data/reminders.json";
  fs::path target;  // where the bytes are: the file, or the link's target
  std::vector<Reminder> kept = {healthy("water"), healthy("stretch"), healthy("call mum")};
  std::string bytes;

  explicit PartlyReadFile(bool linked) : target(linked ? temp / "dotfiles/rem.json" : file) {
    fs::create_directories(file.parent_path());
    fs::create_directories(target.parent_path());
    if (linked) fs::create_symlink("../dotfiles/rem.json", file);
    const std::string damaged =
        R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":"a","trigger":{"recurring":)"
        R"({"_0":{"days":{"daily":{}},"hour":9,"minute":60}}},"createdAt":0})";
    bytes = "[" + json::dump(kept[0].toJson()) + ",\n" + damaged + ",\n" +
            json::dump(kept[1].toJson()) + ",\n" + json::dump(kept[2].toJson()) + "]";
    testing::writeFile(target, bytes);
    testing::writeFile(aside(1), "older");
  }
  fs::path aside(int n) const { return asidePath(target, stampTime, n); }
  FileReminderStore open() const {
    return FileReminderStore(file, [] { return stampTime; });
  }
  std::vector<std::string> entries() const {
    auto names = testing::folderEntries(target.parent_path());
    if (target != file) {
      for (auto& name : testing::folderEntries(file.parent_path())) names.push_back("data/" + name);
    }
    return names;
  }
  // Every healthy reminder is listed by a fresh read.
  bool allKept() const {
    const auto listed = open().reminders();
    for (const Reminder& r : kept) {
      if (std::count(listed.begin(), listed.end(), r) != 1) return false;
    }
    return true;
  }
};

std::optional<LocalJSONDocumentFailure> failureOf(const std::function<void()>& change) {
  return thrown<LocalJSONDocumentError>(change, [](const auto& e) { return e.value(); });
}

// Regression: the first save after a partial read renamed the file aside and then wrote the
// new list; a full disk in between left no reminders file, and the next start listed none.
TEST(KeptAsideSave, ASaveRefusedAtAnyStepLeavesTheFileTheListAndWhatIsStillToDo) {
  const struct {
    const char* name;
    SaveStep step;
    int error;
    bool noLinks;
    LocalJSONDocumentFailure failure;
    bool notSaving;  // logged as a file that could not be kept aside
  } rows[] = {
      {"the temporary's write", SaveStep::writeTemporary, ENOSPC, false,
       LocalJSONDocumentFailure::diskFull, false},
      {"the temporary's flush", SaveStep::syncTemporary, EIO, false,
       LocalJSONDocumentFailure::notWritten, false},
      {"the link", SaveStep::linkAside, EIO, false, LocalJSONDocumentFailure::notWritten, true},
      {"the copy where links are refused", SaveStep::copyAside, ENOSPC, true,
       LocalJSONDocumentFailure::diskFull, true},
      {"the copy's flush", SaveStep::syncCopy, EIO, true, LocalJSONDocumentFailure::notWritten,
       true},
      {"the copy's aside name", SaveStep::nameCopy, EACCES, true,
       LocalJSONDocumentFailure::notWritable, true},
      {"the rename", SaveStep::replace, EACCES, false, LocalJSONDocumentFailure::notWritable,
       false},
  };
  for (const auto& row : rows) {
    for (const bool linked : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (linked ? ", behind a link" : ""));
      PartlyReadFile stored(linked);
      const auto before = stored.entries();
      FileReminderStore store = stored.open();
      ASSERT_EQ(store.reminders(), stored.kept);
      ASSERT_TRUE(store.keepsUnreadableFile());
      {
        LogCapture log;
        const StepHook hook(failing(row.step, row.error, row.noLinks));
        EXPECT_EQ(failureOf([&] { store.remove(stored.kept[1].id); }), row.failure);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_EQ(log.lines()[0].message.find("not saving") != std::string::npos, row.notSaving)
            << log.lines()[0].message;
      }
      EXPECT_EQ(testing::readFile(stored.target), stored.bytes);
      EXPECT_EQ(stored.entries(), before) << "no temporary file, no aside copy left";
      EXPECT_EQ(testing::readFile(stored.aside(1)), "older");
      EXPECT_EQ(fs::is_symlink(fs::symlink_status(stored.file)), linked);
      EXPECT_EQ(store.reminders(), stored.kept);
      EXPECT_TRUE(store.keepsUnreadableFile()) << "still to be kept aside";
      EXPECT_TRUE(stored.allKept());

      // The next save goes through, links refused or not, and keeps the file aside once.
      const StepHook noLinks(
          [&](SaveStep at) { return row.noLinks && at == SaveStep::linkAside ? EPERM : 0; });
      store.remove(stored.kept[1].id);
      EXPECT_FALSE(store.keepsUnreadableFile());
      EXPECT_EQ(testing::readFile(stored.aside(2)), stored.bytes);
      EXPECT_EQ(testing::readFile(stored.aside(1)), "older");
      EXPECT_FALSE(fs::exists(stored.aside(3)));
      EXPECT_EQ(fs::is_symlink(fs::symlink_status(stored.file)), linked);
      EXPECT_EQ(stored.open().reminders(), (std::vector<Reminder>{stored.kept[0], stored.kept[2]}));
    }
  }
}

// A save killed before each of its steps (the process ends at once, as under SIGKILL): the
// file holds the old bytes or the new list, a fresh read lists every healthy reminder, and no
// aside name holds less than the whole old file.
// Regression: where links are refused, the copy was written straight to its aside name; a kill
// while copying left it cut short there for good.
TEST(KeptAsideSave, ASaveKilledAtAnyStepLosesNoHealthyReminder) {
  constexpr int killed = 77;
  const struct {
    const char* name;
    SaveStep step;
    bool noLinks;
    bool replaced;    // the file holds the new list
    int temporaries;  // the temporary files the kill leaves behind
  } rows[] = {
      {"before the temporary's write", SaveStep::writeTemporary, false, false, 1},
      {"before the temporary's flush", SaveStep::syncTemporary, false, false, 1},
      {"before the link", SaveStep::linkAside, false, false, 1},
      {"before the copy, its file made", SaveStep::copyAside, true, false, 2},
      {"before the copy's flush", SaveStep::syncCopy, true, false, 2},
      {"before the copy is named", SaveStep::nameCopy, true, false, 2},
      {"before the rename", SaveStep::replace, false, false, 1},
      {"before the rename, links refused", SaveStep::replace, true, false, 1},
      {"before the folder's flush", SaveStep::syncFolder, false, true, 0},
  };
  for (const auto& row : rows) {
    for (const bool linked : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (linked ? ", behind a link" : ""));
      PartlyReadFile stored(linked);
      const Reminder added = healthy("added");
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        setSaveStepHook([&](SaveStep at) {
          if (at == row.step) ::_exit(killed);
          return row.noLinks && at == SaveStep::linkAside ? EPERM : 0;
        });
        try {
          stored.open().add(added);
        } catch (...) {
          ::_exit(1);
        }
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == killed) << status;

      EXPECT_TRUE(stored.allKept());
      const auto listed = stored.open().reminders();
      EXPECT_EQ(std::count(listed.begin(), listed.end(), added), row.replaced ? 1 : 0);
      if (!row.replaced) {
        EXPECT_EQ(testing::readFile(stored.target), stored.bytes);
      }
      // An aside copy the kill left holds the old bytes whole.
      for (const auto& name : testing::folderEntries(stored.target.parent_path())) {
        const fs::path aside = stored.target.parent_path() / name;
        if (name.find(".unreadable-") == std::string::npos || aside == stored.aside(1)) continue;
        EXPECT_EQ(testing::readFile(aside), stored.bytes) << name;
      }
      EXPECT_EQ(testing::readFile(stored.aside(1)), "older");
      // The next start removes what the kill left, a copy on its way aside too.
      const auto removed =
          removeLeftoverTemporaries(stored.file.parent_path(),
                                    [](std::string_view name) { return name == "reminders.json"; });
      EXPECT_EQ(removed.size(), static_cast<std::size_t>(row.temporaries));
      for (const auto& name : stored.entries()) {
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
      }
      EXPECT_EQ(fs::is_symlink(fs::symlink_status(stored.file)), linked);
      if (row.replaced) {
        EXPECT_EQ(testing::readFile(stored.aside(2)), stored.bytes) << "kept before the rename";
        continue;
      }
      // The next start's save keeps the file aside and leaves no temporary file behind.
      stored.open().add(added);
      EXPECT_TRUE(stored.allKept());
      for (const auto& name : stored.entries()) {
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
      }
      EXPECT_EQ(stored.open().reminders().size(), 4u);
    }
  }
}

// Where links are refused, the whole copy takes the first aside name that is free; where the
// file system cannot rename without replacing either (NFS says EINVAL, older kernels ENOSYS),
// a name is looked at first. No earlier aside copy is ever replaced.
TEST(KeptAsideSave, ACopyKeptAsideTakesTheFirstFreeNameAndReplacesNone) {
  const struct {
    const char* name;
    int renameRefusal;  // what renaming without replacing answers; 0: it works
  } rows[] = {
      {"renamed without replacing", 0},
      {"no such rename on the file system", EINVAL},
      {"no such rename in the kernel", ENOSYS},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PartlyReadFile stored(false);
    testing::writeFile(stored.aside(2), "older still");
    FileReminderStore store = stored.open();
    const StepHook hook([&](SaveStep at) {
      if (at == SaveStep::linkAside) return EPERM;
      return at == SaveStep::nameCopy ? row.renameRefusal : 0;
    });
    LogCapture log;
    store.remove(stored.kept[1].id);
    EXPECT_EQ(testing::readFile(stored.aside(3)), stored.bytes);
    EXPECT_EQ(testing::readFile(stored.aside(1)), "older");
    EXPECT_EQ(testing::readFile(stored.aside(2)), "older still");
    EXPECT_EQ(stored.entries().size(), 4u) << "the file and three aside copies, nothing else";
    EXPECT_EQ(stored.open().reminders(), (std::vector<Reminder>{stored.kept[0], stored.kept[2]}));
  }
}

// Regression: a folder flush that failed after the rename called the save refused, though the
// file held the new list: memory kept the old list, and the next save set the healthy file
// aside again as unreadable.
TEST(KeptAsideSave, ASaveWhoseFolderCannotBeFlushedAfterTheRenameIsDone) {
  for (const bool partlyRead : {false, true}) {
    SCOPED_TRACE(partlyRead ? "a partly read file" : "a healthy file");
    PartlyReadFile stored(false);
    if (!partlyRead) stored.open().add(healthy("read"));  // the damaged one kept aside now
    FileReminderStore store = stored.open();
    const auto asides = stored.entries().size() - 1;
    std::vector<Reminder> expected = store.reminders();
    expected.erase(expected.begin() + 1);
    LogCapture log;
    {
      const StepHook hook(failing(SaveStep::syncFolder, EIO, false));
      store.remove(store.reminders()[1].id);
    }
    EXPECT_EQ(store.reminders(), expected);
    EXPECT_FALSE(store.keepsUnreadableFile());
    EXPECT_EQ(stored.open().reminders(), expected);
    EXPECT_EQ(stored.entries().size() - 1, asides + (partlyRead ? 1 : 0));
    store.add(healthy("tea"));
    EXPECT_EQ(stored.entries().size() - 1, asides + (partlyRead ? 1 : 0)) << "not aside again";
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), partlyRead ? 2u : 1u);
    const auto& flush = lines.back();
    EXPECT_EQ(flush.level, LogLevel::info);
    EXPECT_TRUE(flush.message.starts_with("reminders saved, though their folder could not be "))
        << flush.message;
    EXPECT_NE(flush.message.find("Input/output error"), std::string::npos) << flush.message;
    if (partlyRead) {
      EXPECT_TRUE(lines[0].message.starts_with("unreadable reminders file moved"));
    }
  }
}

// The same for the preferences, kept aside from a write whose folder flush fails.
TEST(KeptAsideSave, PreferencesWrittenWhereTheFolderCannotBeFlushedAreKeptAsideOnce) {
  testing::TempFolder temp;
  FileRecordStore records(temp.path(), [] { return stampTime; });
  const fs::path file = records.path(RecordPreferencesStore::key);
  testing::writeFile(file, "{\"workMinutes\": oops");
  LogCapture log;
  RecordPreferencesStore preferences(records);
  {
    const StepHook hook(failing(SaveStep::syncFolder, EIO, false));
    preferences.modify([](Preferences& p) { p.workMinutes = 40; });
  }
  EXPECT_EQ(RecordPreferencesStore(records).preferences().workMinutes, 40);
  preferences.modify([](Preferences& p) { p.workMinutes = 45; });
  EXPECT_EQ(RecordPreferencesStore(records).preferences().workMinutes, 45);
  EXPECT_EQ(testing::readFile(asidePath(file, stampTime)), "{\"workMinutes\": oops");
  EXPECT_EQ(testing::folderEntries(temp.path()).size(), 2u) << "kept aside once";
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].level, LogLevel::info);
  EXPECT_TRUE(lines[0].message.starts_with("saved " + file.string() + ", though its folder"))
      << lines[0].message;
  EXPECT_TRUE(lines[1].message.starts_with("unreadable preferences moved aside to "))
      << lines[1].message;
}

// Something other than a file in the reminders file's place has no bytes to keep: it is
// renamed aside, and put back when the save is refused.
TEST(KeptAsideSave, AFolderInTheFilesPlaceIsRenamedAsideAndPutBackOnARefusal) {
  testing::TempFolder temp;
  const fs::path file = temp / "reminders.json";
  fs::create_directories(file / "inside");
  FileReminderStore store(file, [] { return stampTime; });
  ASSERT_TRUE(store.keepsUnreadableFile());
  {
    LogCapture log;
    const StepHook hook(failing(SaveStep::replace, EIO, false));
    EXPECT_EQ(failureOf([&] { store.add(healthy("tea")); }), LocalJSONDocumentFailure::notWritten);
  }
  EXPECT_TRUE(fs::is_directory(file / "inside")) << "put back";
  EXPECT_EQ(testing::folderEntries(temp.path()), Phrases{"reminders.json"});
  LogCapture log;
  store.add(healthy("tea"));
  EXPECT_TRUE(fs::is_directory(asidePath(file, stampTime) / "inside"));
  EXPECT_EQ(FileReminderStore(file).reminders().size(), 1u);
}

// The preferences keep unreadable bytes aside the same way: a refused write leaves them where
// they were, and the next write keeps them aside.
TEST(KeptAsideSave, UnreadablePreferencesStayInPlaceUntilAWriteGoesThrough) {
  for (const SaveStep step : {SaveStep::writeTemporary, SaveStep::syncTemporary,
                              SaveStep::linkAside, SaveStep::replace}) {
    SCOPED_TRACE(static_cast<int>(step));
    testing::TempFolder temp;
    FileRecordStore records(temp.path(), [] { return stampTime; });
    const fs::path file = records.path(RecordPreferencesStore::key);
    testing::writeFile(file, "{\"workMinutes\": oops");
    LogCapture log;
    RecordPreferencesStore preferences(records);
    {
      const StepHook hook(failing(step, ENOSPC, false));
      preferences.modify([](Preferences& p) { p.workMinutes = 40; });
    }
    EXPECT_EQ(testing::readFile(file), "{\"workMinutes\": oops");
    EXPECT_EQ(testing::folderEntries(temp.path()), Phrases{"preferences.json"});
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(
        log.lines()[0].message.starts_with("unreadable preferences left in place, not saving: "))
        << log.lines()[0].message;
    preferences.modify([](Preferences& p) { p.workMinutes = 45; });
    EXPECT_EQ(testing::readFile(asidePath(file, stampTime)), "{\"workMinutes\": oops");
    EXPECT_EQ(RecordPreferencesStore(records).preferences().workMinutes, 45);
  }
}

// Regression: a link whose target's path runs through a file was refused with "Vorlane's data
// folder is not a folder", which was not the cause.
TEST(KeptAsideSave, AFileInTheWayIsNamedUnlessItIsTheDataFolderItself) {
  const struct {
    const char* name;
    const char* inTheWay;  // under the temporary folder
    const char* link;      // the reminders file's link target; none: a plain file
    const char* logged;    // how the log names it, after the part
  } rows[] = {
      {"the link's target folder", "dotfiles", "../../dotfiles/vorlane/reminders.json",
       " is not a folder"},
      {"above the data folder", "share", nullptr, ": Not a directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::TempFolder temp;
    const fs::path file = temp / "share/Vorlane/reminders.json";
    const fs::path part = temp / row.inTheWay;
    if (row.link) {
      fs::create_directories(file.parent_path());
      fs::create_symlink(row.link, file);
    }
    testing::writeFile(part, "in the way");
    LogCapture log;
    FileReminderStore store(file);
    const std::string sentence = refusal([&] { store.add(healthy("tea")); });
    EXPECT_EQ(sentence, "\u2068" + part.string() +
                            "\u2069 is not a folder, so the change could not be saved. Nothing "
                            "was changed.");
    EXPECT_EQ(failureOf([&] { store.add(healthy("tea")); }), LocalJSONDocumentFailure::notAFolder);
    ASSERT_FALSE(log.lines().empty());
    const std::string refused = log.lines().back().message;
    EXPECT_TRUE(refused.starts_with("could not save reminders: ")) << refused;
    EXPECT_NE(refused.find(part.string() + row.logged), std::string::npos) << refused;
    EXPECT_EQ(testing::readFile(part), "in the way");
  }
}

}  // namespace
}  // namespace vorlane
