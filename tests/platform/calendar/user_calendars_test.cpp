#include "platform/calendar/user_calendars.h"

#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/calendar/ics_availability_source.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/event_loop_marker.h"
#include "tests/support/log_capture.h"
#include "tests/support/process_probe.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

using Busy = std::vector<BusyInterval>;

using testing::isMapped;
using testing::threadCount;

struct AlwaysAllowed final : ConsentPrompt {
  void ask(const std::vector<std::string>&, std::function<void(Answer)> answer) override {
    answer(Answer::granted);
  }
};

// A user who has opted in, with one meeting in a calendar file, and a session bus the calendar
// service cannot be reached on: the program's own calendar source as it is made at launch.
// Until the first read it costs nothing: no thread, no plugin, not a line in the log. The
// first read still answers, from the files, and says once why the service was left out.
TEST(UserCalendarsTest, NothingIsStartedOrLoadedUntilTheFirstReadWhichStillAnswers) {
  testing::TempFolder home;
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
  std::filesystem::create_directories(home / "data/Vorlane/calendars");
  testing::writeFile(home / "data/Vorlane/calendars/work.ics",
                     "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:1\nDTSTART:20260302T150000Z\n"
                     "DTEND:20260302T160000Z\nEND:VEVENT\nEND:VCALENDAR\n");
  const Calendar utc("UTC");
  const DateInterval day{*utc.date(2026, 3, 2), *utc.date(2026, 3, 3)};

  InMemoryRecordStore recordStore;
  recordStore.setData(CalendarConsent::key, "true");
  AlwaysAllowed prompt;
  LogCapture log;
  const int threadsBefore = threadCount();
  auto source = std::make_unique<IcsAvailabilitySource>(recordStore, prompt, userCalendars());
  EXPECT_EQ(source->access(), CalendarAccess::granted);
  testing::runEventLoopPast(std::chrono::milliseconds(0));  // past what the making set going
  EXPECT_EQ(threadCount(), threadsBefore) << "a thread was started before any read";
  EXPECT_FALSE(isMapped("libvorlane_eds")) << "the service's plugin was loaded before any read";
  EXPECT_FALSE(isMapped("libvorlane_ics")) << "the file reader was loaded before any read";
  EXPECT_TRUE(log.lines().empty());

  for (int read = 1; read <= 2; ++read) {
    std::optional<Busy> answer;
    bool failed = false;
    source->busyIntervals(day, [&](Busy busy, std::exception_ptr error) {
      answer = std::move(busy);
      failed = error != nullptr;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000)) << "read " << read;
    EXPECT_FALSE(failed) << "read " << read;
    EXPECT_EQ(*answer, (Busy{{*utc.date(2026, 3, 2, 15), *utc.date(2026, 3, 2, 16)}}))
        << "read " << read;
  }
  // The source's reading thread and the service reader's own one (and the plugin's GLib may
  // have started its own).
  EXPECT_GE(threadCount(), threadsBefore + 2);
  EXPECT_TRUE(isMapped("libvorlane_ics"));
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 1u);
#ifdef VORLANE_EDS_PLUGIN
  EXPECT_TRUE(isMapped("libvorlane_eds")) << "the first read loads the plugin";
  EXPECT_EQ(lines[0].message,
            "Calendar service not available (no session bus); reading calendar files only");
#else
  EXPECT_EQ(lines[0].message,
            "Calendar service not available (built without it); reading calendar files only");
#endif
  // Quitting after the reads leaves the threads to end on their own, without waiting.
  source.reset();
}

}  // namespace
}  // namespace vorlane
