#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <system_error>
#include <thread>

#include "platform/persistence/atomic_file.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/reminder_list_full_error.h"
#include "tests/support/immutable_folder.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {
using testing::TempFolder;
using Phrases = std::vector<std::string>;
using Lines = std::vector<LogCapture::Line>;

// Regression for torn files: a child rewrites the file in a loop and is killed at varying
// moments; every kill must leave one of the two complete versions.
TEST(AtomicFile, KilledWriterLeavesOldOrNewNeverTorn) {
  TempFolder temp;
  const auto file = temp / "reminders.json";
  const std::string oldBytes(maximumStoredFileSize - 7, 'o'), newBytes(maximumStoredFileSize, 'n');
  for (int round = 0; round < 24; ++round) {
    writeFileAtomically(file, oldBytes);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) writeFileAtomically(file, i % 2 == 0 ? newBytes : oldBytes);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500 + round * 700));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    auto bytes = testing::readFile(file);
    ASSERT_TRUE(bytes == oldBytes || bytes == newBytes)
        << "torn file of " << (bytes ? bytes->size() : 0) << " bytes in round " << round;
    // A killed writer may leave its temporary file, never a damaged target.
    for (const auto& name : testing::folderEntries(temp.path())) {
      EXPECT_TRUE(name == "reminders.json" || name.rfind(".reminders.json.tmp-", 0) == 0) << name;
    }
  }
  // The next successful save removes what killed writers left for this file, and only that.
  testing::writeFile(temp / ".reminders.json.tmp-Ab12Cd", "stale copy");
  const std::vector<std::string> others = {".other.json.tmp-Ab12Cd", ".reminders.json.tmp-Ab12",
                                           "reminders.json.tmp-Ab12Cd", "notes.txt"};
  for (const auto& name : others) testing::writeFile(temp / name, "keep");
  std::filesystem::create_directory(temp / ".reminders.json.tmp-Folder");
  writeFileAtomically(file, "[]");
  Phrases expected = others;
  expected.insert(expected.end(), {".reminders.json.tmp-Folder", "reminders.json"});
  std::sort(expected.begin(), expected.end());
  Phrases entries = testing::folderEntries(temp.path());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, expected);
}

// A full disk shows up as a short write (staged with RLIMIT_FSIZE, which holds even for root):
// the save throws naming the file, the old file stays, the temporary file goes.
TEST(AtomicFile, ShortWriteThrowsAndKeepsTheOldFile) {
  TempFolder temp;
  const auto file = temp / "reminders.json";
  writeFileAtomically(file, "[]");
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  const struct rlimit small { 4096, saved.rlim_max };
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::string what;
  try {
    writeFileAtomically(file, std::string(100000, 'x'));
  } catch (const std::system_error& error) {
    what = error.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previousHandler);
  EXPECT_NE(what.find(file.string()), std::string::npos) << what;
  EXPECT_EQ(testing::readFile(file), "[]");
  EXPECT_EQ(testing::folderEntries(temp.path()), Phrases{"reminders.json"});
  // Bytes that could not be read back at the next launch are refused like a failed write.
  EXPECT_THROW(writeFileAtomically(file, std::string(maximumStoredFileSize + 1, ' ')),
               std::system_error);
  EXPECT_EQ(testing::readFile(file), "[]");
  writeFileAtomically(file, std::string(maximumStoredFileSize, ' '));
  EXPECT_TRUE(readStoredFile(file).hasValue());
}

constexpr std::time_t stampTime = 1767323045;  // 2026-01-02 03:04:05 UTC

Reminder made(const char* phrase, VisitTrigger trigger, std::optional<UUID> id = {}) {
  return Reminder(id.value_or(UUID::random()), phrase, std::move(trigger), Date(0));
}
Reminder oneOff(const char* phrase, double at) {
  return made(phrase, VisitTrigger::oneOff(Date(at)));
}

Phrases phrasesOf(const std::vector<Reminder>& reminders) {
  Phrases out;
  for (const Reminder& r : reminders) out.push_back(r.phrase);
  return out;
}

struct StoreFolder {
  TempFolder temp;
  std::filesystem::path file = temp / "data/Vorlane/reminders.json";
  std::filesystem::path aside = temp / "data/Vorlane/reminders.json.unreadable-20260102T030405";
  FileReminderStore open() const {
    return FileReminderStore(file, [] { return stampTime; });
  }
  Phrases reloaded() const { return phrasesOf(open().reminders()); }
  // Overwrites the file behind the store's back, to tell later whether the store wrote.
  void mark() const { testing::writeFile(file, "marker"); }
  bool marked() const { return testing::readFile(file) == "marker"; }
};

TEST(FileReminderStore, RoundTripAndTheUpdateRemoveAndPruneRules) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  EXPECT_TRUE(std::filesystem::is_directory(folder.file.parent_path()));
  EXPECT_FALSE(std::filesystem::exists(folder.file)) << "first launch writes nothing";
  const Reminder first = oneOff("first", 100);
  store.add(first);
  store.add(made("twin", VisitTrigger::hourly(), first.id));
  store.add(made("done countdown", VisitTrigger::countdown(60)));
  store.add(made("daily", VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 9, 30))));
  store.add(oneOff("future one-off", 500));
  EXPECT_EQ(testing::permissions(folder.file), 0600u);
  folder.mark();
  EXPECT_FALSE(store.update(oneOff("stranger", 1)));
  store.pruneExpired(Date(50));
  EXPECT_TRUE(folder.marked()) << "an update that finds nothing or a prune that removes nothing";
  const Reminder changed = made("past one-off", VisitTrigger::oneOff(Date(5)), first.id);
  EXPECT_TRUE(store.update(changed));
  EXPECT_EQ(folder.open().reminders()[0], changed) << "only the first match is replaced";
  store.pruneExpired(Date(200));
  const Phrases kept{"twin", "daily", "future one-off"};
  EXPECT_EQ(folder.reloaded(), kept) << "prune takes only expired one-shots";
  folder.mark();
  store.remove(UUID::random());
  EXPECT_EQ(folder.reloaded(), kept) << "remove writes even when nothing matched";
  store.add(made("twin again", VisitTrigger::hourly(), first.id));
  store.remove(first.id);
  EXPECT_EQ(folder.reloaded(), (Phrases{"daily", "future one-off"})) << "all with the id go";
}

// Regression for silent data loss: an unreadable file used to be overwritten by the first
// save. It must start empty, stay untouched until then, and be moved aside, not replaced.
TEST(FileReminderStore, UnreadableFileIsMovedAsideBeforeTheFirstSave) {
  const std::string good = R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":"ok",)"
                           R"("trigger":{"hourly":{}},"createdAt":0})";
  // A file cut short, or with bytes after its list, keeps the reminders before the damage
  // and counts the rest as left out.
  const struct {
    const char* name;
    std::string bytes;
    Phrases read;
    bool partly;  // read up to its damage, which is counted in the log
  } rows[] = {
      {"empty", "", {}, false},
      {"truncated", "[" + good.substr(0, 30), {}, true},
      {"not JSON", "reminders, lots", {}, false},
      {"wrong shape", good, {}, false},
      {"trailing bytes", "[" + good + "] x", {"ok"}, true},
      {"huge", "[", {}, false},  // grown past the limit below
  };
  for (const auto& [name, bytes, read, partly] : rows) {
    StoreFolder folder;
    std::filesystem::create_directories(folder.file.parent_path());
    testing::writeFile(folder.file, bytes);
    if (bytes == "[") std::filesystem::resize_file(folder.file, maximumStoredFileSize + 10);
    const auto original = testing::readFile(folder.file);
    LogCapture log;
    FileReminderStore store = folder.open();
    EXPECT_EQ(phrasesOf(store.reminders()), read) << name;
    EXPECT_TRUE(store.keepsUnreadableFile()) << name;
    EXPECT_EQ(testing::readFile(folder.file), original) << name << ": loading never writes";
    Lines lines;
    if (partly) {
      lines.push_back({LogLevel::error, "reminders",
                       "stored reminders that could not be read were left out, the file to be "
                       "moved aside before the next save: 1"});
    }
    EXPECT_EQ(log.lines(), lines) << name;
    store.add(oneOff("new", 1));
    store.add(oneOff("newer", 2));
    EXPECT_EQ(testing::readFile(folder.aside), original) << name;
    Phrases after = read;
    after.insert(after.end(), {"new", "newer"});
    EXPECT_EQ(folder.reloaded(), after) << name;
    lines.push_back({LogLevel::error, "reminders",
                     "unreadable reminders file moved aside to " + folder.aside.string()});
    EXPECT_EQ(log.lines(), lines) << name;
  }
}

// The failure a change threw, none when it went through.
template <class Change>
std::optional<LocalJSONDocumentFailure> failureOf(Change&& change) {
  return thrown<LocalJSONDocumentError>(change, [](const auto& e) { return e.value(); });
}

// A stored reminder with these members' texts.
std::string storedReminder(const std::string& phrase, const std::string& trigger,
                           const std::string& createdAt = "0") {
  return R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":")" + phrase + R"(","trigger":)" +
         trigger + R"(,"createdAt":)" + createdAt + "}";
}

std::string daily(const std::string& hour, const std::string& minute) {
  return R"({"recurring":{"_0":{"days":{"daily":{}},"hour":)" + hour + R"(,"minute":)" + minute +
         "}}}";
}

// Regression: one reminder that did not decode hid all the others, which neither showed nor
// fired, and the first add moved them aside with it.
TEST(FileReminderStore, AReminderThatDoesNotDecodeIsLeftOutAndTheOthersStayInUse) {
  const Reminder first = made("first", VisitTrigger::countdown(600));
  const Reminder last =
      made("last", VisitTrigger::recurring(Recurrence(RecurrenceDays::weekdays(), 9, 30)));
  const std::string hourly = R"({"hourly":{}})";
  const std::pair<const char*, std::string> rows[] = {
      {"invalid UTF-8", storedReminder("a\xC3 \xFF\xFE", hourly)},
      {"a lone surrogate", storedReminder(R"(a\ud800)", hourly)},
      {"minute -1", storedReminder("a", daily("9", "-1"))},
      {"minute 60", storedReminder("a", daily("9", "60"))},
      {"hour 25", storedReminder("a", daily("25", "0"))},
      {"day 8",
       storedReminder("a", R"({"recurring":{"_0":{"days":{"specific":{"_0":[8]}},"hour":9,)"
                           R"("minute":0}}})")},
      {"one-off at 1e15", storedReminder("a", R"({"oneOff":{"_0":1e15}})")},
      {"one-off at 1e308", storedReminder("a", R"({"oneOff":{"_0":1e308}})")},
      {"countdown of 1e308", storedReminder("a", R"({"countdown":{"_0":1e308}})")},
      {"created at 1e308", storedReminder("a", hourly, "1e308")},
      {"not a reminder", R"({"id":"no"})"},
  };
  for (const auto& [name, element] : rows) {
    SCOPED_TRACE(name);
    StoreFolder folder;
    std::filesystem::create_directories(folder.file.parent_path());
    const std::string bytes = "[" + json::dump(first.toJson()) + ",\n" + element + ",\n" +
                              json::dump(last.toJson()) + "]";
    testing::writeFile(folder.file, bytes);
    LogCapture log;
    FileReminderStore store = folder.open();
    EXPECT_EQ(store.reminders(), (std::vector<Reminder>{first, last}));
    EXPECT_TRUE(store.keepsUnreadableFile());
    EXPECT_EQ(log.lines(), (Lines{{LogLevel::error, "reminders",
                                   "stored reminders that could not be read were left out, the "
                                   "file to be moved aside before the next save: 1"}}));
    EXPECT_EQ(testing::readFile(folder.file), bytes) << "loading never writes";
    const Reminder added = oneOff("added", 900);
    store.add(added);
    EXPECT_EQ(testing::readFile(folder.aside), bytes) << "nothing lost";
    EXPECT_EQ(folder.open().reminders(), (std::vector<Reminder>{first, last, added}));
  }
  // However many are left out, one line counts them.
  StoreFolder folder;
  std::filesystem::create_directories(folder.file.parent_path());
  const std::string bad = storedReminder("a", daily("24", "0"));
  testing::writeFile(folder.file, "[" + bad + "," + json::dump(first.toJson()) + "," + bad + "]");
  LogCapture log;
  EXPECT_EQ(folder.open().reminders(), std::vector<Reminder>{first});
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_TRUE(log.lines()[0].message.ends_with(": 2")) << log.lines()[0].message;
}

// Regression: a reminders file linked into a folder that cannot be reached was moved aside as
// unreadable at the first add, and a plain file took the link's place.
TEST(FileReminderStore, ALinkWhoseTargetCannotBeReachedIsKeptAndChangesAreRefusedUntilItCanBe) {
  const struct {
    const char* name;
    const char* target;  // beside the link
    LocalJSONDocumentFailure failure;
  } rows[] = {
      {"a file in the target's path", "../dotfiles/vorlane/reminders.json",
       LocalJSONDocumentFailure::notAFolder},
      {"links that loop", "reminders.json", LocalJSONDocumentFailure::notWritten},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StoreFolder folder;
    const auto dotfiles = folder.file.parent_path().parent_path() / "dotfiles";
    std::filesystem::create_directories(folder.file.parent_path());
    testing::writeFile(dotfiles, "in the way");
    std::filesystem::create_symlink(row.target, folder.file);
    LogCapture log;
    FileReminderStore store = folder.open();
    EXPECT_TRUE(store.reminders().empty());
    EXPECT_FALSE(store.keepsUnreadableFile());
    EXPECT_EQ(failureOf([&] { store.add(oneOff("tea", 600)); }), row.failure);
    store.pruneExpired(Date(1e9));  // nothing is held, so nothing is refused
    EXPECT_TRUE(store.reminders().empty());
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(folder.file)));
    EXPECT_EQ(testing::folderEntries(folder.file.parent_path()),
              std::vector<std::string>{"reminders.json"})
        << "nothing moved aside";
    EXPECT_EQ(testing::readFile(dotfiles), "in the way");
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(log.lines()[0].message.starts_with(
        "the reminders file is a link whose target cannot be reached, kept as it is; changes "
        "are refused meanwhile: "))
        << log.lines()[0].message;
    EXPECT_TRUE(log.lines()[1].message.starts_with("could not save reminders: "));
  }
  // Once the target can be reached, what it holds is read before the change.
  StoreFolder folder;
  const auto dotfiles = folder.file.parent_path().parent_path() / "dotfiles";
  std::filesystem::create_directories(folder.file.parent_path());
  testing::writeFile(dotfiles, "in the way");
  std::filesystem::create_symlink("../dotfiles/vorlane/reminders.json", folder.file);
  FileReminderStore store = folder.open();
  std::filesystem::remove(dotfiles);
  const Reminder synced = oneOff("synced", 500);
  FileReminderStore(dotfiles / "vorlane/reminders.json").add(synced);
  const Reminder tea = oneOff("tea", 600);
  store.add(tea);
  EXPECT_EQ(store.reminders(), (std::vector<Reminder>{synced, tea}));
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(folder.file)));
  EXPECT_EQ(folder.open().reminders(), (std::vector<Reminder>{synced, tea}));
}

TEST(FileReminderStore, ASaveThatCannotHappenIsLoggedRefusedAndTheListInMemoryStaysAsStored) {
  // Every aside name taken: the unreadable file cannot be moved without replacing a copy.
  StoreFolder blocked;
  std::filesystem::create_directories(blocked.file.parent_path());
  testing::writeFile(blocked.file, "not json");
  testing::writeFile(blocked.aside, "older");
  for (int n = 2; n <= 1000; ++n)
    testing::writeFile(asidePath(blocked.file, stampTime, n), "older");
  // The folder replaced by a file: every write fails.
  StoreFolder lost;
  FileReminderStore later = lost.open();
  Reminder tea = oneOff("tea", 1);
  later.add(tea);
  std::filesystem::remove_all(lost.file.parent_path());
  testing::writeFile(lost.file.parent_path(), "in the way");
  LogCapture log;
  FileReminderStore store = blocked.open();
  EXPECT_EQ(failureOf([&] { store.add(oneOff("new", 1)); }), LocalJSONDocumentFailure::notWritten);
  EXPECT_EQ(testing::readFile(blocked.file), "not json");
  EXPECT_TRUE(store.reminders().empty()) << "nothing kept that is not stored";
  Reminder coffee = tea;
  coffee.phrase = "coffee";
  EXPECT_EQ(failureOf([&] { (void)later.update(coffee); }), LocalJSONDocumentFailure::notAFolder);
  EXPECT_EQ(later.reminders(), std::vector<Reminder>{tea});
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].level, LogLevel::error);
  EXPECT_NE(lines[0].message.find("not saving"), std::string::npos);
  EXPECT_EQ(lines[1].level, LogLevel::error);
  EXPECT_EQ(lines[1].message.rfind("could not save reminders: ", 0), 0u);
}

// Regression: the tick's clean-up of an expired reminder, refused by a folder that cannot be
// written, wrote the same error line at every try.
TEST(FileReminderStore, ARefusalTriedAgainIsLoggedOnceUntilASaveGoesThrough) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  store.add(oneOff("expired", 100));
  const auto data = folder.file.parent_path();
  const auto blockWrites = [&] {
    std::filesystem::rename(data, folder.temp / "kept");
    testing::writeFile(data, "in the way");
  };
  const auto allowWrites = [&] {
    std::filesystem::remove(data);
    std::filesystem::rename(folder.temp / "kept", data);
  };
  LogCapture log;
  blockWrites();
  for (int attempt = 0; attempt < 3; ++attempt)
    EXPECT_EQ(failureOf([&] { store.pruneExpired(Date(200)); }),
              LocalJSONDocumentFailure::notAFolder);
  EXPECT_EQ(log.lines().size(), 1u);
  allowWrites();
  store.pruneExpired(Date(200));
  EXPECT_TRUE(store.reminders().empty());
  blockWrites();
  EXPECT_EQ(failureOf([&] { store.add(oneOff("tea", 300)); }),
            LocalJSONDocumentFailure::notAFolder);
  ASSERT_EQ(log.lines().size(), 2u) << "told again after a save went through";
  for (const auto& line : log.lines())
    EXPECT_TRUE(line.message.starts_with("could not save reminders: ")) << line.message;
  allowWrites();
}

// Each kind of change, refused because its record sits behind a link whose target folder has
// gone and cannot be made again (a file stands in its place): it throws, and the list in memory is
// still what the file holds once the folder is back, so that nothing shows as saved that is not.
TEST(FileReminderStore, EachChangeThatCannotBeWrittenLeavesMemoryAndFileAgreeing) {
  const Reminder stretch = oneOff("stretch", 500);
  const Reminder past = oneOff("past", 5);
  const Reminder water = made("water", VisitTrigger::hourly());
  const struct {
    const char* name;
    std::function<void(FileReminderStore&)> change;
  } rows[] = {
      {"add", [](FileReminderStore& s) { s.add(oneOff("tea", 600)); }},
      {"update",
       [&](FileReminderStore& s) {
         Reminder renamed = stretch;
         renamed.phrase = "stretch legs";
         (void)s.update(renamed);
       }},
      {"remove", [&](FileReminderStore& s) { s.remove(water.id); }},
      {"prune", [](FileReminderStore& s) { s.pruneExpired(Date(200)); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StoreFolder folder;
    const auto elsewhere = folder.temp / "dotfiles";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::create_directories(folder.file.parent_path());
    std::filesystem::create_symlink(elsewhere / "reminders.json", folder.file);
    FileReminderStore store = folder.open();
    for (const Reminder& r : {stretch, past, water}) store.add(r);
    const std::vector<Reminder> before = store.reminders();
    std::filesystem::rename(elsewhere, folder.temp / "moved");
    std::ofstream(elsewhere) << "in the way";
    LogCapture log;
    EXPECT_EQ(failureOf([&] { row.change(store); }), LocalJSONDocumentFailure::notAFolder);
    EXPECT_EQ(store.reminders(), before);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].message.rfind("could not save reminders: ", 0), 0u);
    std::filesystem::remove(elsewhere);
    std::filesystem::rename(folder.temp / "moved", elsewhere);
    EXPECT_EQ(folder.open().reminders(), before);
    // The same change goes through once the folder is back: the refusal kept nothing half-done.
    row.change(store);
    EXPECT_EQ(folder.open().reminders(), store.reminders());
    EXPECT_NE(store.reminders(), before);
  }
}

// A list that would pass the size a file may be read back at is refused as full. Regression:
// it said "The change could not be written to disk.", as any failed write.
TEST(FileReminderStore, AChangeThatWouldPassTheSizeBoundIsRefusedAsAFullListAndNotKept) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  const Reminder small = oneOff("small", 500);
  store.add(small);
  Reminder huge = oneOff("", 600);
  huge.phrase.assign(maximumStoredFileSize, 'x');
  LogCapture log;
  EXPECT_EQ(refusal([&] { store.add(huge); }),
            "The reminder list is full at 1 reminder, so the change could not be saved. Nothing "
            "was changed.");
  const Reminder tea = oneOff("tea", 700);
  store.add(tea);
  huge.id = small.id;
  EXPECT_EQ(refusal([&] { (void)store.update(huge); }),
            "The reminder list is full at 2 reminders, so the change could not be saved. Nothing "
            "was changed.");
  EXPECT_EQ(thrown<ReminderListFullError>([&] { store.add(huge); },
                                          [](const auto& e) { return e.count(); }),
            2u);
  EXPECT_EQ(store.reminders(), (std::vector<Reminder>{small, tea}));
  EXPECT_EQ(folder.open().reminders(), (std::vector<Reminder>{small, tea}));
  ASSERT_EQ(log.lines().size(), 3u);
  EXPECT_EQ(log.lines()[0].category, "reminders");
  EXPECT_TRUE(log.lines()[0].message.starts_with("could not save reminders: "))
      << log.lines()[0].message;
}

// Regression: a data folder that is a file said "The change could not be written to disk."
TEST(FileReminderStore, ADataFolderThatIsAFileIsToldAsSuch) {
  StoreFolder folder;
  std::filesystem::create_directories(folder.file.parent_path().parent_path());
  testing::writeFile(folder.file.parent_path(), "in the way");
  FileReminderStore store = folder.open();
  EXPECT_EQ(refusal([&] { store.add(oneOff("tea", 600)); }),
            "Vorlane's data folder is not a folder, so the change could not be saved. Nothing "
            "was changed.");
  EXPECT_TRUE(store.reminders().empty());
  EXPECT_EQ(testing::readFile(folder.file.parent_path()), "in the way");
}

// A folder that may not be written: root writes past permission bits, so the folder is made
// immutable, which holds for root too.
TEST(FileReminderStore, AFolderThatMayNotBeWrittenIsToldAsSuch) {
  StoreFolder folder;
  FileReminderStore store = folder.open();
  const Reminder kept = oneOff("kept", 500);
  store.add(kept);
  const testing::ImmutableFolder locked(folder.file.parent_path());
  if (!locked.held()) GTEST_SKIP() << "this file system cannot make a folder immutable";
  EXPECT_EQ(failureOf([&] { store.add(oneOff("tea", 600)); }),
            LocalJSONDocumentFailure::notWritable);
  EXPECT_EQ(failureOf([&] { store.remove(kept.id); }), LocalJSONDocumentFailure::notWritable);
  EXPECT_EQ(store.reminders(), std::vector<Reminder>{kept});
  EXPECT_EQ(folder.open().reminders(), std::vector<Reminder>{kept});
}

}  // namespace
}  // namespace vorlane
