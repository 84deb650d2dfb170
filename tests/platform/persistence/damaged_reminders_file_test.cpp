// A reminders file damaged around its reminders (cut short, stray bytes, an unterminated
// string): the reminders before the damage stay in use and the file goes aside unchanged at
// the next save.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/persistence/file_reminder_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;
using Phrases = std::vector<std::string>;
using Lines = std::vector<LogCapture::Line>;

constexpr std::time_t stampTime = 1767323045;  // 2026-01-02 03:04:05 UTC
const char* const byteOrderMark = "\xEF\xBB\xBF";
// The one line that counts what a read left out; none when nothing was.
Lines leftOutLines(std::size_t count) {
  if (count == 0) return {};
  return {{LogLevel::error, "reminders",
           "stored reminders that could not be read were left out, the file to be moved aside "
           "before the next save: " +
               std::to_string(count)}};
}

std::string stored(const char* phrase) {
  return json::dump(
      Reminder(UUID::random(), phrase, VisitTrigger::oneOff(Date(5000)), Date(0)).toJson());
}

const std::string tea = stored("tea");
const std::string water = stored("water the plants");
const std::string stretch = stored("stretch");

struct StoreFolder {
  testing::TempFolder temp;
  fs::path file = temp / "reminders.json";
  fs::path aside = temp / "reminders.json.unreadable-20260102T030405";
  FileReminderStore open() const {
    return FileReminderStore(file, [] { return stampTime; });
  }
};

Phrases phrases(const std::vector<Reminder>& reminders) {
  Phrases out;
  for (const Reminder& reminder : reminders) out.push_back(reminder.phrase);
  return out;
}

// Every prefix of a file of three reminders, with and without a byte order mark: the
// reminders whole in it are read, and only the whole file is not kept to be moved aside.
TEST(DamagedRemindersFile, EachCutKeepsTheRemindersBeforeIt) {
  for (const std::string mark : {"", byteOrderMark}) {
    const std::string bytes = mark + "[" + tea + ",\n" + water + ",\n" + stretch + "]";
    // Where each reminder starts and where its closing brace is in the file.
    std::vector<std::size_t> starts;
    std::vector<std::size_t> ends;
    for (const std::string* reminder : {&tea, &water, &stretch}) {
      starts.push_back(bytes.find(*reminder));
      ends.push_back(starts.back() + reminder->size());
    }
    starts.push_back(bytes.size());
    StoreFolder folder;
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
      SCOPED_TRACE((mark.empty() ? "cut at " : "after a byte order mark, cut at ") +
                   std::to_string(length));
      testing::writeFile(folder.file, bytes.substr(0, length));
      LogCapture log;
      const FileReminderStore store = folder.open();
      Phrases expected;
      for (std::size_t i = 0; i < ends.size(); ++i) {
        if (ends[i] <= length) expected.push_back(Phrases{"tea", "water the plants", "stretch"}[i]);
      }
      EXPECT_EQ(phrases(store.reminders()), expected);
      EXPECT_EQ(store.readCount(), expected.size());
      const bool whole = length == bytes.size();
      EXPECT_EQ(store.keepsUnreadableFile(), !whole);
      // Before its opening bracket the file is no list at all, and nothing is counted.
      const bool counted = length > mark.size() && !whole;
      // What could not be read starts with the first reminder the cut left unclosed; past the
      // last one closed, there is nothing left to read.
      EXPECT_EQ(store.leftOutCount(), 0u);
      EXPECT_EQ(store.unreadFrom(),
                counted ? std::optional(std::min(starts[expected.size()], length)) : std::nullopt);
      EXPECT_EQ(log.lines(), leftOutLines(counted ? 1 : 0));
    }
  }
}

TEST(DamagedRemindersFile, TheRemindersBeforeTheDamageAreReadAndTheFileGoesAsideAsItWas) {
  const std::string bad = R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":"a",)"
                          R"("trigger":{"recurring":{"_0":{"days":{"daily":{}},"hour":25,)"
                          R"("minute":0}}},"createdAt":0})";
  std::string unterminated = water;
  unterminated.erase(unterminated.find("plants\"") + 6, 1);
  const std::string bread = stored("bread");
  const struct {
    const char* name;
    std::string bytes;
    Phrases read;
    std::size_t leftOut;  // as the log line counts them, what could not be read as one
    // What could not be read at all, from where the read stopped; none when the list was whole.
    std::optional<std::string> unread = std::nullopt;
  } rows[] = {
      {"whole, white space after it",
       "[" + tea + "," + water + "]\n",
       {"tea", "water the plants"},
       0},
      {"bytes after the list",
       "[" + tea + "," + water + "]xx",
       {"tea", "water the plants"},
       1,
       "xx"},
      {"a second list after the first",
       "[" + tea + "][" + water + "]",
       {"tea"},
       1,
       "[" + water + "]"},
      {"an unterminated string in the middle",
       "[" + tea + "," + unterminated + "," + stretch + "," + bread + "]",
       {"tea"},
       1,
       unterminated + "," + stretch + "," + bread + "]"},
      {"cut inside the last",
       "[" + tea + "," + water + "," + stretch.substr(0, 30),
       {"tea", "water the plants"},
       1,
       stretch.substr(0, 30)},
      {"one that does not decode, then a cut",
       "[" + tea + "," + bad + "," + water + ",{\"id",
       {"tea", "water the plants"},
       2,
       "{\"id"},
      {"elements that are no objects",
       "[" + tea + ",\"tea\",3,null,[]," + water + "]",
       {"tea", "water the plants"},
       4},
      {"objects without a reminder's members",
       "[" + tea + R"(,{},{"id":"x"},{"id":1,"phrase":"a","trigger":{},"createdAt":0},)" + water +
           "]",
       {"tea", "water the plants"},
       3},
  };
  for (const auto& row : rows) {
    for (const std::string mark : {"", byteOrderMark}) {
      SCOPED_TRACE(row.name + std::string(mark.empty() ? "" : ", after a byte order mark"));
      StoreFolder folder;
      const std::string bytes = mark + row.bytes;
      testing::writeFile(folder.file, bytes);
      LogCapture log;
      FileReminderStore store = folder.open();
      EXPECT_EQ(phrases(store.reminders()), row.read);
      EXPECT_EQ(store.readCount(), row.read.size());
      EXPECT_EQ(store.leftOutCount(), row.leftOut - (row.unread ? 1 : 0));
      const auto unreadFrom = store.unreadFrom();
      EXPECT_EQ(unreadFrom ? std::optional(bytes.substr(*unreadFrom)) : std::nullopt, row.unread);
      EXPECT_EQ(store.keepsUnreadableFile(), row.leftOut > 0);
      EXPECT_EQ(log.lines(), leftOutLines(row.leftOut));
      EXPECT_EQ(testing::readFile(folder.file), bytes) << "loading never writes";

      store.add(Reminder(UUID::random(), "added", VisitTrigger::hourly(), Date(0)));
      Phrases after = row.read;
      after.push_back("added");
      EXPECT_EQ(phrases(folder.open().reminders()), after);
      if (row.leftOut > 0) {
        EXPECT_EQ(testing::readFile(folder.aside), bytes) << "nothing lost";
      } else {
        EXPECT_FALSE(fs::exists(folder.aside));
      }
    }
  }
}

}  // namespace
}  // namespace vorlane
