#include "platform/calendar/ics_parser_library.h"

#include <gtest/gtest.h>

#include "platform/calendar/ics_events.h"
#include "tests/support/log_capture.h"
#include "tests/support/process_probe.h"

namespace vorlane {
namespace {

using Busy = std::vector<BusyInterval>;

TEST(IcsParserLibraryTest, APluginThatCannotBeHadReadsNothingAndSaysWhyOnce) {
  struct Row {
    const char* name;
    std::string path;
    std::string reason;  // how the logged line's reason begins
  };
  const Row rows[] = {
      {"missing", "/nonexistent/libvorlane_ics.so", "Cannot load library"},
      {"not the plugin", "libm.so.6", "not the calendar-file plugin)"},
  };
  for (const Row& row : rows) {
    LogCapture log;
    EXPECT_EQ(loadIcsParser(row.path), nullptr) << row.name;
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u) << row.name;
    EXPECT_EQ(lines[0].level, LogLevel::error) << row.name;
    const std::string expected = "Calendar files cannot be read (" + row.reason;
    EXPECT_EQ(lines[0].message.substr(0, expected.size()), expected) << row.name;
  }
}

// The plugin comes with the first file read, not before, and reads as the rules say: a
// floating time is placed in the caller's zone.
TEST(IcsParserLibraryTest, ThePluginIsLoadedOnTheFirstReadAndPlacesTimesInTheCallersZone) {
  EXPECT_FALSE(testing::isMapped("libvorlane_ics"));
  const Calendar tokyo("Asia/Tokyo");
  const DateInterval day{*tokyo.date(2026, 3, 2), *tokyo.date(2026, 3, 3)};
  const std::string text =
      "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:1\nDTSTART:20260302T090000\nDTEND:20260302T100000\n"
      "END:VEVENT\nBEGIN:VEVENT\nUID:2\nDTSTART;VALUE=DATE:20260302\nEND:VEVENT\nEND:VCALENDAR\n";
  LogCapture log;
  EXPECT_EQ(busyIntervalsInIcs(text, day, IcsReadOptions{std::nullopt, tokyo}),
            (Busy{{*tokyo.date(2026, 3, 2, 9), *tokyo.date(2026, 3, 2, 10)},
                  {*tokyo.date(2026, 3, 2), *tokyo.date(2026, 3, 3)}}));
  EXPECT_TRUE(testing::isMapped("libvorlane_ics"));
  EXPECT_NE(icsParser(), nullptr);
  EXPECT_EQ(icsParser(), icsParser()) << "loaded once and kept";
  EXPECT_TRUE(log.lines().empty());
}

}  // namespace
}  // namespace vorlane
