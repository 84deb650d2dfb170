#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/calendar/calendar_reader.h"
#include "platform/calendar/merged_busy_reader.h"
#include "platform/calendar/time_limited_reader.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_busy_reader.h"
#include "tests/support/log_capture.h"
#include "tests/support/process_probe.h"
#include "tests/support/temp_folder.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

using testing::FakeBusyReader;
using Busy = std::vector<BusyInterval>;
using namespace std::chrono_literals;

const DateInterval window{Date(0), Date(86400)};
const BusyInterval a{Date(100), Date(200)}, b{Date(300), Date(400)}, c{Date(500), Date(600)};

std::string failureOf(const BusyReader& reader, const CancelToken& cancel = {}) {
  return refusal([&] { reader.read(window, cancel); });
}

TEST(MergedBusyReaderTest, OneSourceFailingNeverHidesTheOther) {
  struct Row {
    const char* name;
    std::string firstFailure, secondFailure;
    Busy expected;
    std::string failure;
    size_t logLines;
  };
  const Row rows[] = {
      // The same stretch from both sources (an Evolution file read twice) counts once.
      {"both read", "", "", {a, b, c}, "", 0},
      {"files fail", "disk gone", "", {b, c}, "", 1},
      {"service fails", "", "no answer", {a, b}, "", 1},
      {"both fail", "disk gone", "no answer", {}, "disk gone", 2},
  };
  for (const Row& row : rows) {
    LogCapture log;
    MergedBusyReader merged({std::make_shared<FakeBusyReader>(Busy{a, b}, row.firstFailure),
                             std::make_shared<FakeBusyReader>(Busy{b, c}, row.secondFailure)});
    EXPECT_EQ(failureOf(merged), row.failure) << row.name;
    if (row.failure.empty()) {
      EXPECT_EQ(merged.read(window, {}), row.expected) << row.name;
    }
    EXPECT_EQ(log.lines().size(), row.logLines * (row.failure.empty() ? 2 : 1)) << row.name;
  }
  MergedBusyReader twice(
      {std::make_shared<FakeBusyReader>(Busy{a, a}), std::make_shared<FakeBusyReader>()});
  EXPECT_EQ(twice.read(window, {}), (Busy{a, a})) << "two equal meetings in one source both count";
  EXPECT_EQ(twice.places(), (std::vector<std::string>{"fake", "fake"}));
}

// Holds a fake and notes when it is destroyed, to see where the inner reader ends.
struct Watched final : BusyReader {
  Watched(std::shared_ptr<FakeBusyReader> fake, std::shared_ptr<std::atomic<bool>> gone)
      : fake(std::move(fake)), gone(std::move(gone)) {}
  ~Watched() override { *gone = true; }
  Busy read(DateInterval interval, const CancelToken& cancel) const override {
    return fake->read(interval, cancel);
  }
  std::vector<std::string> places() const override { return fake->places(); }
  std::shared_ptr<FakeBusyReader> fake;
  std::shared_ptr<std::atomic<bool>> gone;
};

TEST(TimeLimitedReaderTest, AHungReaderIsGivenUpOnAndNotQueuedBehind) {
  EXPECT_EQ(failureOf(TimeLimitedReader(std::make_unique<FakeBusyReader>(Busy{a}, "refused"), 10s)),
            "refused");
  auto fake = std::make_shared<FakeBusyReader>(Busy{a});
  auto gone = std::make_shared<std::atomic<bool>>(false);
  fake->hold();
  {
    // Every read but the hung one must answer within the limit, also on a loaded machine
    // where the reader's thread may wait its turn for a long time: the limit is generous,
    // and only the hung read waits it out.
    TimeLimitedReader reader(std::make_unique<Watched>(fake, gone), 3s);
    EXPECT_EQ(reader.places(), std::vector<std::string>{"fake"});
    EXPECT_EQ(failureOf(reader), "the calendar service did not answer in time");
    EXPECT_EQ(failureOf(reader), "the calendar service is still busy with an earlier read");
    EXPECT_TRUE(testing::waitUntil([&] { return fake->started() == 1; }))
        << "the hung read began, once; the refused one never did";

    fake->release();
    ASSERT_TRUE(testing::waitUntil([&] { return failureOf(reader).empty(); }));
    EXPECT_EQ(reader.read(window, {}), Busy{a});

    fake->hold();
    const int before = fake->started();
    CancelToken cancel;
    std::thread canceller([&] {
      fake->waitForStarted(before + 1);
      cancel.cancel();
    });
    Busy cancelled{a};
    EXPECT_NO_THROW(cancelled = reader.read(window, cancel));
    canceller.join();
    EXPECT_EQ(cancelled, Busy{}) << "a cancelled wait ends with nothing";
  }
  // Destroying it did not wait for the hung read; the reader goes once that read ends.
  EXPECT_FALSE(*gone);
  fake->release();
  EXPECT_TRUE(testing::waitUntil([&] { return gone->load(); }));
  EXPECT_TRUE(fake->sawCancel());
}

TEST(TimeLimitedReaderTest, NoThreadUntilTheFirstReadAndAnUnreadReaderGoesAtOnce) {
  auto fake = std::make_shared<FakeBusyReader>(Busy{a});
  auto gone = std::make_shared<std::atomic<bool>>(false);
  const int before = testing::threadCount();
  {
    const TimeLimitedReader unread(std::make_unique<Watched>(fake, gone), 3s);
    EXPECT_EQ(unread.places(), std::vector<std::string>{"fake"});
    EXPECT_EQ(testing::threadCount(), before);
  }
  EXPECT_TRUE(*gone) << "a reader never read has nothing under way: it goes with its owner";
  EXPECT_EQ(fake->started(), 0);

  const TimeLimitedReader reader(std::make_unique<FakeBusyReader>(Busy{a, b}), 3s);
  EXPECT_EQ(reader.read(window, {}), (Busy{a, b}));
  EXPECT_EQ(reader.read(window, {}), (Busy{a, b})) << "the second read goes to the same thread";
  EXPECT_EQ(testing::threadCount(), before + 1);
}

TEST(CalendarReaderTest, ACancelledReadStopsBeforeTheNextFile) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder / "calendars");
  testing::writeFile(folder / "calendars/a.ics",
                     "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:1\nDTSTART:20010101T000140Z\n"
                     "DTEND:20010101T000320Z\nEND:VEVENT\nEND:VCALENDAR\n");
  const CalendarReader reader(CalendarFolders{folder / "calendars", folder / "evolution"},
                              IcsReadOptions{std::nullopt, Calendar("UTC")});
  EXPECT_EQ(reader.read(window), Busy{a});
  CancelToken cancel;
  cancel.cancel();
  EXPECT_EQ(reader.read(window, cancel), Busy{});
  EXPECT_EQ(reader.places(), (std::vector<std::string>{(folder / "calendars").string(),
                                                       (folder / "evolution").string()}));
}

}  // namespace
}  // namespace vorlane
