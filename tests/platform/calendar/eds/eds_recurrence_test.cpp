#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/calendar/eds_busy_reader.h"
#include "platform/calendar/ics_events.h"
#include "platform/calendar/time_limited_reader.h"
#include "tests/platform/calendar/eds/eds_session.h"
#include "tests/platform/calendar/recurrence_cases.h"

namespace vorlane {
namespace {

using Busy = std::vector<BusyInterval>;
using namespace std::chrono_literals;

Busy inTimeOrder(Busy busy) {
  std::sort(busy.begin(), busy.end(), [](const BusyInterval& a, const BusyInterval& b) {
    return std::pair(a.start, a.end) < std::pair(b.start, b.end);
  });
  return busy;
}

std::string describe(const Busy& busy) {
  std::string text;
  for (const BusyInterval& b : busy) text += "\n  " + testing::utcText(b);
  return text;
}

// Every shared calendar as a local calendar of the service, each its own; the service's
// reading of each case's range must be the file reader's reading of the same files.
TEST(EdsRecurrenceTest, TheServiceReadsEveryCalendarAsTheFileReaderDoes) {
  setenv("TZ", "UTC", 1);
  testing::EdsSession session;
  std::vector<testing::RecurrenceCase> cases = testing::recurrenceCases();
  std::erase_if(cases, [](const testing::RecurrenceCase& c) { return c.serviceLosesTheRule; });
  std::vector<std::string> files;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string uid = "case" + std::to_string(i);
    session.addSource(uid, "[Data Source]\nDisplayName=" + uid +
                               "\nEnabled=true\nParent=local-stub\n\n[Calendar]\n"
                               "BackendName=local\n");
    const auto folder = session.dataFolder() / "evolution/calendar" / uid;
    std::filesystem::create_directories(folder);
    files.push_back("BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Vorlane tests//EN\n" +
                    cases[i].events + "END:VCALENDAR\n");
    testing::writeFile(folder / "calendar.ics", files.back());
  }
  ASSERT_TRUE(session.start());

  const TimeLimitedReader service(
      std::make_unique<EdsBusyReader>(EdsBusyReader::standardPluginPath(), testing::caseUserZone),
      60s);
  const IcsReadOptions options{std::nullopt, Calendar(testing::caseUserZone)};
  for (const testing::RecurrenceCase& c : cases) {
    Busy fromFiles;
    for (const std::string& file : files) {
      const Busy busy = busyIntervalsInIcs(file, c.range, options);
      fromFiles.insert(fromFiles.end(), busy.begin(), busy.end());
    }
    const Busy fromService = inTimeOrder(service.read(c.range, {}));
    fromFiles = inTimeOrder(fromFiles);
    EXPECT_EQ(fromService, fromFiles)
        << c.name << "\nservice:" << describe(fromService) << "\nfiles:" << describe(fromFiles);
    // And both hold what the case itself gives.
    for (const BusyInterval& b : c.busy) {
      EXPECT_NE(std::find(fromService.begin(), fromService.end(), b), fromService.end())
          << c.name << ": " << testing::utcText(b);
    }
  }
}

}  // namespace
}  // namespace vorlane
