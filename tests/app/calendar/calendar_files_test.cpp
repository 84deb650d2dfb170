#include "app/calendar/calendar_files.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/calendar/calendar_reader.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace vorlane {
namespace {

class CalendarFilesTest : public ::testing::Test {
 protected:
  CalendarFolders folders() const {
    return CalendarFolders{folder_ / "calendars", folder_ / "evolution"};
  }
  fs::path file(const std::string& relative, const std::string& text = "BEGIN:VCALENDAR\n") {
    const fs::path path = folder_.path() / relative;
    fs::create_directories(path.parent_path());
    testing::writeFile(path, text);
    return path;
  }
  std::vector<std::string> found() const {
    std::vector<std::string> names;
    for (const fs::path& p : calendarFiles(folders())) {
      names.push_back(p.lexically_relative(folder_.path()).string());
    }
    return names;
  }

  testing::TempFolder folder_;
};

TEST_F(CalendarFilesTest, OwnCalendarsSortedThenEvolutionsSorted) {
  file("calendars/work.ics");
  file("calendars/b/holidays.ICS");
  file("calendars/a/deep/er/team.ics");
  file("calendars/notes.txt");
  file("calendars/ics");
  file("evolution/system/calendar.ics");
  file("evolution/1234-abcd/calendar.ics");
  file("evolution/1234-abcd/other.ics");
  file("evolution/tasks/tasks.ics");

  const std::vector<std::string> expected{
      "calendars/a/deep/er/team.ics", "calendars/b/holidays.ICS", "calendars/work.ics",
      "evolution/1234-abcd/calendar.ics", "evolution/system/calendar.ics"};
  EXPECT_EQ(found(), expected);
}

TEST_F(CalendarFilesTest, LinksAreFollowedButEachFolderIsReadOnce) {
  file("elsewhere/shared.ics");
  file("calendars/mine.ics");
  fs::create_directories(folder_ / "calendars/sub");
  fs::create_directory_symlink("..", folder_ / "calendars/sub/loop");           // a loop
  fs::create_directory_symlink(folder_ / "elsewhere", folder_ / "calendars/x");  // linked in
  fs::create_directory_symlink(folder_ / "elsewhere", folder_ / "calendars/y");  // twice
  fs::create_symlink(folder_ / "elsewhere/shared.ics", folder_ / "calendars/link.ics");
  fs::create_symlink(folder_ / "nowhere.ics", folder_ / "calendars/dangling.ics");

  const std::vector<std::string> expected{"calendars/link.ics", "calendars/mine.ics",
                                          "calendars/x/shared.ics"};
  EXPECT_EQ(found(), expected);
}

TEST_F(CalendarFilesTest, DeepChainsOfFoldersStopAtTheDepthLimit) {
  std::string path = "calendars";
  for (int i = 0; i < 40; ++i) path += "/d";
  file(path + "/too-deep.ics");
  file("calendars/d/d/shallow.ics");
  EXPECT_EQ(found(), std::vector<std::string>{"calendars/d/d/shallow.ics"});
}

TEST_F(CalendarFilesTest, HugeFilesAndNonRegularFilesAreSkipped) {
  const fs::path huge = file("calendars/huge.ics");
  fs::resize_file(huge, maxCalendarFileBytes + 1);  // sparse: no real disk use
  const fs::path limit = file("calendars/limit.ics");
  fs::resize_file(limit, maxCalendarFileBytes);
  ASSERT_EQ(mkfifo((folder_ / "calendars/pipe.ics").c_str(), 0600), 0);
  fs::create_directories(folder_ / "calendars/folder.ics");

  EXPECT_EQ(found(), std::vector<std::string>{"calendars/limit.ics"});
  EXPECT_EQ(readCalendarFile(huge), std::nullopt);
  EXPECT_EQ(readCalendarFile(folder_ / "calendars/pipe.ics"), std::nullopt)
      << "a FIFO must neither block nor be read";
  EXPECT_EQ(readCalendarFile(folder_ / "missing.ics"), std::nullopt);
}

TEST_F(CalendarFilesTest, ReaderJoinsTheFilesInOrder) {
  const Calendar utc("UTC");
  const auto at = [&](int hour) { return *utc.date(2026, 3, 2, hour, 0); };
  const auto calendarWith = [](const std::string& start, const std::string& end) {
    return "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:" + start + "\nDTSTART:" + start +
           "\nDTEND:" + end + "\nEND:VEVENT\nEND:VCALENDAR\n";
  };
  file("calendars/b.ics", calendarWith("20260302T090000Z", "20260302T100000Z"));
  file("calendars/a.ics", calendarWith("20260302T110000Z", "20260302T120000Z"));
  file("calendars/c.ics", "garbage");
  file("evolution/x/calendar.ics", calendarWith("20260302T080000Z", "20260302T083000Z"));

  const CalendarReader reader(folders(), IcsReadOptions{std::nullopt, utc});
  const std::vector<BusyInterval> expected{
      {at(11), at(12)}, {at(9), at(10)}, {at(8), at(8) + 1800}};
  EXPECT_EQ(reader.read({at(0), at(23)}), expected);
  EXPECT_TRUE(CalendarReader(std::nullopt, IcsReadOptions{std::nullopt, utc})
                  .read({at(0), at(23)})
                  .empty());
}

}  // namespace
}  // namespace vorlane
