#include "platform/persistence/latest_bytes_writer.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/persistence/file_record_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/holdable_door.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

using Strings = std::vector<std::string>;

// A disk the test drives: it notes every write, can hold the writer inside a write until the
// test lets it go, and fails the bytes it is told to.
class ScriptedDisk {
 public:
  LatestBytesWriter::Write writer() {
    return [this](const std::string& bytes) {
      {
        std::lock_guard lock(mutex_);
        attempts_.push_back(bytes);
      }
      door_.enter();
      std::lock_guard lock(mutex_);
      if (bytes == throwing) throw std::runtime_error("disk gone");
      if (bytes == failing) return false;
      stored_.push_back(bytes);
      return true;
    };
  }
  // Writes from now on wait inside until release().
  void hold() { door_.hold(); }
  void release() { door_.release(); }
  // Waits until the writer has entered `count` writes in all.
  void awaitEntered(int count) { door_.awaitEntered(count); }
  Strings attempts() {
    std::lock_guard lock(mutex_);
    return attempts_;
  }
  Strings stored() {
    std::lock_guard lock(mutex_);
    return stored_;
  }

  std::string failing;
  std::string throwing;

 private:
  testing::HoldableDoor door_;
  std::mutex mutex_;
  Strings attempts_;
  Strings stored_;
};

TEST(LatestBytesWriter, BytesHandedInDuringAWriteCollapseToTheNewest) {
  ScriptedDisk disk;
  LatestBytesWriter writer(disk.writer());
  disk.hold();
  writer.submit("1");
  disk.awaitEntered(1);
  // A drag goes on while the first step is on its way to the disk.
  for (const char* step : {"2", "3", "4", "5"}) writer.submit(step);
  disk.release();
  writer.flush();
  EXPECT_EQ(disk.stored(), (Strings{"1", "5"}));
}

TEST(LatestBytesWriter, DestructionWritesWhatIsStillPending) {
  struct Row {
    const char* name;
    bool busy;  // a write is under way when the writer goes
    Strings expected;
  };
  const Row rows[] = {
      {"idle writer", false, {"last"}},
      {"writer in the middle of a write", true, {"first", "last"}},
  };
  for (const Row& row : rows) {
    ScriptedDisk disk;
    {
      LatestBytesWriter writer(disk.writer());
      if (row.busy) {
        disk.hold();
        writer.submit("first");
        disk.awaitEntered(1);
      }
      writer.submit("last");
      disk.release();
    }
    EXPECT_EQ(disk.stored(), row.expected) << row.name;
  }
}

TEST(LatestBytesWriter, AFailedWriteDoesNotStopTheNextOnes) {
  struct Row {
    const char* name;
    bool throws;
  };
  for (const Row& row : {Row{"write reports failure", false}, Row{"write throws", true}}) {
    ScriptedDisk disk;
    (row.throws ? disk.throwing : disk.failing) = "bad";
    LatestBytesWriter writer(disk.writer());
    writer.submit("bad");
    writer.flush();
    writer.submit("good");
    writer.flush();
    // The same bytes again after a failure are tried again, not taken as stored.
    (row.throws ? disk.throwing : disk.failing).clear();
    writer.submit("bad");
    writer.flush();
    EXPECT_EQ(disk.attempts(), (Strings{"bad", "good", "bad"})) << row.name;
    EXPECT_EQ(disk.stored(), (Strings{"good", "bad"})) << row.name;
  }
}

TEST(LatestBytesWriter, NothingIsWrittenWhenNothingChanged) {
  ScriptedDisk disk;
  {
    LatestBytesWriter writer(disk.writer());
    writer.flush();
    EXPECT_TRUE(disk.attempts().empty()) << "a flush with nothing handed in";
    writer.submit("a");
    writer.flush();
    writer.submit("a");  // the same record set again
    writer.flush();
    // A drag that comes back to the value being written while it is written.
    disk.hold();
    writer.submit("c");
    disk.awaitEntered(2);
    writer.submit("b");
    writer.submit("c");
    disk.release();
    writer.flush();
  }
  EXPECT_EQ(disk.attempts(), (Strings{"a", "c"}));
}

Preferences withWork(std::int64_t minutes) {
  Preferences p;
  p.workMinutes = minutes;
  return p;
}

// Saving in the background: the record and its announcement are immediate, the write
// follows, a failure is logged from the writer's thread and the next change still lands.
TEST(RecordPreferencesStoreInBackground, ChangesAreImmediateWritesFollowAndFailuresAreLogged) {
  LogCapture log;
  InMemoryRecordStore recordStore;
  RecordPreferencesStore store(recordStore, RecordPreferencesStore::Saving::inBackground);
  std::vector<std::int64_t> heard;
  const auto subscription =
      store.changes().subscribe([&](const Preferences& p) { heard.push_back(p.workMinutes); });
  recordStore.setFailing(true);
  store.setPreferences(withWork(42));
  EXPECT_EQ(store.preferences().workMinutes, 42);
  EXPECT_EQ(heard, (std::vector<std::int64_t>{42}));
  store.flush();
  EXPECT_EQ(recordStore.writeCount(RecordPreferencesStore::key), 0);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0].level, LogLevel::error);
  EXPECT_EQ(log.lines()[0].message.rfind("could not save preferences: ", 0), 0u);
  recordStore.setFailing(false);
  store.setPreferences(withWork(43));
  store.flush();
  EXPECT_EQ(RecordPreferencesStore(recordStore).preferences().workMinutes, 43);
  // Setting the stored record again writes nothing and tells no one.
  store.setPreferences(withWork(43));
  store.flush();
  EXPECT_EQ(recordStore.writeCount(RecordPreferencesStore::key), 1);
  EXPECT_EQ(heard, (std::vector<std::int64_t>{42, 43}));
}

// The store going away (the application's end) still writes the last change.
TEST(RecordPreferencesStoreInBackground, TheLastChangeOfADragReachesTheFile) {
  testing::TempFolder temp;
  FileRecordStore recordStore(temp.path());
  {
    RecordPreferencesStore store(recordStore, RecordPreferencesStore::Saving::inBackground);
    for (int minutes = 1; minutes <= 50; ++minutes) store.setPreferences(withWork(minutes));
  }
  EXPECT_EQ(RecordPreferencesStore(recordStore).preferences().workMinutes, 50);
  EXPECT_EQ(testing::folderEntries(temp.path()), (Strings{"preferences.json"}))
      << "no temporary file left";
}

// One key written from the writer's thread while this one writes another, whose file name
// starts the same: neither write may take the other's temporary file for a leftover.
TEST(FileRecordStore, KeysWrittenFromTwoThreadsAtOnceBothLand) {
  testing::TempFolder temp;
  FileRecordStore records(temp.path());
  constexpr int writes = 40;
  std::string otherFailure;
  std::thread other([&] {
    try {
      for (int i = 1; i <= writes; ++i) records.setData("a", std::to_string(i));
    } catch (const std::exception& error) {
      otherFailure = error.what();
    }
  });
  std::string failure;
  try {
    for (int i = 1; i <= writes; ++i) records.setData("a.json", std::to_string(-i));
  } catch (const std::exception& error) {
    failure = error.what();
  }
  other.join();
  EXPECT_EQ(otherFailure, "");
  EXPECT_EQ(failure, "");
  EXPECT_EQ(records.data("a").bytes(), std::to_string(writes));
  EXPECT_EQ(records.data("a.json").bytes(), std::to_string(-writes));
  EXPECT_EQ(testing::folderEntries(temp.path()), (Strings{"a.json", "a.json.json"}));
}

}  // namespace
}  // namespace vorlane
