#include "app/system_app_services.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/reminders/reminder.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

using Lines = std::vector<LogCapture::Line>;

// The program's folders in a temporary one for the length of a test.
class OwnFolders {
 public:
  OwnFolders() {
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      const char* value = ::getenv(name);
      saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("XDG_DATA_HOME", (temp_ / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (temp_ / "config").c_str(), 1);
    std::filesystem::create_directories(remindersFile().parent_path());
  }
  ~OwnFolders() {
    const char* names[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME"};
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) {
        ::setenv(names[i], saved_[i]->c_str(), 1);
      } else {
        ::unsetenv(names[i]);
      }
    }
  }
  std::filesystem::path remindersFile() const { return temp_ / "data/Vorlane/reminders.json"; }

 private:
  testing::TempFolder temp_;
  std::vector<std::optional<std::string>> saved_;
};

std::string stored(const char* phrase) {
  return json::dump(Reminder(UUID::random(), phrase, VisitTrigger::hourly(), Date(0)).toJson());
}

// The start's line after a read that kept some reminders and left others out.
std::string partlyRead(int read, int leftOut) {
  return "the reminders file was read in part: " + std::to_string(read) + " read and in use, " +
         std::to_string(leftOut) + " left out; the file is moved aside as it is at the next save";
}

// The start's line after a read that stopped at damage: nothing after `byte` could be read,
// whatever the file held there; `leftOut` before it did not decode.
std::string readUpTo(int read, std::size_t byte, int leftOut = 0) {
  return "the reminders file was read in part: " + std::to_string(read) + " read and in use, " +
         (leftOut > 0 ? std::to_string(leftOut) + " left out, " : "") + "nothing after byte " +
         std::to_string(byte) + " could be read; the file is moved aside as it is at the next save";
}

// Regression: after a partial read the start said that no reminders could be read while the
// ones read were listed and in use; after a read that stopped at damage, it said one was left
// out while every reminder past the damage was.
TEST(SystemAppServices, TheStartSaysHowManyRemindersWereReadAndHowManyLeftOut) {
  const std::string tea = stored("tea");
  const std::string bread = stored("bread");
  std::string unterminated = stored("water the plants");
  unterminated.erase(unterminated.find("plants\"") + 6, 1);
  // Where the second element starts.
  const std::size_t second = 1 + tea.size() + 1;
  const struct {
    const char* name;
    std::string bytes;
    std::string line;  // the start's own line, the last one logged; empty: none
  } rows[] = {
      {"whole", "[" + tea + "," + bread + "]", ""},
      {"one that does not decode", "[" + tea + ",{}," + bread + "]", partlyRead(2, 1)},
      {"cut short", "[" + tea + "," + bread + "," + tea.substr(0, 20),
       readUpTo(2, second + bread.size() + 1)},
      {"an unterminated string in the second of four",
       "[" + tea + "," + unterminated + "," + bread + "," + tea + "]", readUpTo(1, second)},
      {"one that does not decode, then bytes after the list", "[" + tea + ",{}]x",
       readUpTo(1, second + 3, 1)},
      {"none that decodes", "[1,{}]", partlyRead(0, 2)},
      {"not a list", "{}",
       "the reminders file could not be read: no reminders until it is moved aside at the next "
       "save"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    OwnFolders folders;
    testing::writeFile(folders.remindersFile(), row.bytes);
    SystemAppServices services;
    LogCapture log;
    const auto store = services.makeReminderStore();
    const Lines lines = log.lines();
    if (row.line.empty()) {
      EXPECT_TRUE(lines.empty());
    } else {
      ASSERT_FALSE(lines.empty());
      EXPECT_EQ(lines.back(), (LogCapture::Line{LogLevel::error, "reminders", row.line}));
    }
  }
}

}  // namespace
}  // namespace vorlane
