#include "platform/calendar/calendar_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/calendar/calendar_reader.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace vorlane {
namespace {
using Names = std::vector<std::string>;

struct Folders {
  testing::TempFolder temp;
  fs::path file(const std::string& relative) const {
    fs::create_directories((temp / relative).parent_path());
    testing::writeFile(temp / relative, "BEGIN:VCALENDAR\n");
    return temp / relative;
  }
  Names found() const {
    Names names;
    for (const fs::path& p : calendarFiles({temp / "calendars", temp / "evolution"}))
      names.push_back(p.lexically_relative(temp.path()).string());
    return names;
  }
};

TEST(CalendarFiles, OwnCalendarsThenEvolutionsSortedLinksFollowedOnceAndLoopsCut) {
  Folders f;
  for (const char* name : {"calendars/work.ics", "calendars/b/team.ICS", "calendars/notes.txt",
                           "evolution/system/calendar.ics", "evolution/12-ab/calendar.ics",
                           "evolution/12-ab/other.ics", "elsewhere/shared.ics"})
    f.file(name);
  fs::create_directories(f.temp / "calendars/sub");
  fs::create_directory_symlink("..", f.temp / "calendars/sub/loop");           // a loop
  fs::create_directory_symlink(f.temp / "elsewhere", f.temp / "calendars/x");  // linked in
  fs::create_directory_symlink(f.temp / "elsewhere", f.temp / "calendars/y");  // twice
  fs::create_symlink(f.temp / "elsewhere/shared.ics", f.temp / "calendars/link.ics");
  fs::create_symlink(f.temp / "nowhere.ics", f.temp / "calendars/dangling.ics");
  EXPECT_EQ(f.found(), (Names{"calendars/b/team.ICS", "calendars/link.ics", "calendars/work.ics",
                              "calendars/x/shared.ics", "evolution/12-ab/calendar.ics",
                              "evolution/system/calendar.ics"}));
}

TEST(CalendarFiles, HugeFilesNonRegularFilesAndDeepChainsAreSkipped) {
  Folders f;
  fs::resize_file(f.file("calendars/huge.ics"), maxCalendarFileBytes + 1);  // sparse
  fs::resize_file(f.file("calendars/limit.ics"), maxCalendarFileBytes);
  ASSERT_EQ(mkfifo((f.temp / "calendars/pipe.ics").c_str(), 0600), 0);
  fs::create_directories(f.temp / "calendars/folder.ics");
  std::string deep = "calendars";
  for (int i = 0; i < 40; ++i) deep += "/d";
  f.file(deep + "/too-deep.ics");
  f.file("calendars/d/d/shallow.ics");
  EXPECT_EQ(f.found(), (Names{"calendars/d/d/shallow.ics", "calendars/limit.ics"}));
  EXPECT_EQ(readCalendarFile(f.temp / "calendars/huge.ics"), std::nullopt);
  EXPECT_EQ(readCalendarFile(f.temp / "calendars/pipe.ics"), std::nullopt)
      << "a FIFO must neither block nor be read";
}

}  // namespace
}  // namespace vorlane
