#include "platform/calendar/ics_availability_source.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <optional>

#include "platform/calendar/calendar_reader.h"
#include "platform/persistence/file_error.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/event_loop_marker.h"
#include "tests/support/fake_busy_reader.h"
#include "tests/support/nested_json.h"
#include "tests/support/process_probe.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using Busy = std::vector<BusyInterval>;
const Calendar utc("UTC");
const Busy meeting{{*utc.date(2026, 3, 2, 15, 0), *utc.date(2026, 3, 2, 16, 0)}};

struct FakePrompt final : ConsentPrompt {
  void ask(const std::vector<std::string>&, std::function<void(Answer)> answer) override {
    pending = std::move(answer);
  }
  std::function<void(Answer)> pending;
};

struct BusyResult {
  int calls = 0;
  Busy intervals;
  std::optional<FileErrorCode> errorCode;  // the code of the FileError, if one came
  bool otherError = false;
  bool onMainThread = false;
};

void ask(IcsAvailabilitySource& source, BusyResult& result) {
  source.busyIntervals({*utc.date(2026, 3, 2), *utc.date(2026, 3, 3)},
                       [&result](Busy intervals, std::exception_ptr error) {
                         ++result.calls;
                         result.intervals = std::move(intervals);
                         try {
                           if (error) std::rethrow_exception(error);
                         } catch (const FileError& e) {
                           result.errorCode = e.code();
                         } catch (...) {
                           result.otherError = true;
                         }
                         result.onMainThread =
                             QThread::currentThread() == QCoreApplication::instance()->thread();
                       });
}

TEST(IcsAvailabilitySourceTest, BusyTimesOrTheirErrorArriveLaterOnceOnTheMainThread) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder / "calendars");
  testing::writeFile(folder / "calendars/work.ics",
                     "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:1\nDTSTART:20260302T150000Z\n"
                     "DTEND:20260302T160000Z\nEND:VEVENT\nEND:VCALENDAR\n");
  const std::shared_ptr<const BusyReader> files = std::make_shared<CalendarReader>(
      CalendarFolders{folder / "calendars", folder / "evolution"}, IcsReadOptions{{}, utc});
  const std::shared_ptr<const BusyReader> failing =
      std::make_shared<testing::FakeBusyReader>(Busy{}, "x");
  const std::optional<FileErrorCode> noPermission = FileErrorCode::readNoPermission;
  // The stored answer stands in for the permission; anything but true or false is a refusal.
  struct Row {
    const char* name;
    std::optional<std::string> stored;
    CalendarAccess access;
    bool unreadable = false, readFails = false;
  };
  const Row rows[] = {
      {"never asked", std::nullopt, CalendarAccess::notAsked},
      {"refused", "false", CalendarAccess::refused},
      {"unreadable consent", "true", CalendarAccess::refused, true},
      {"a number", "1", CalendarAccess::refused},
      {"a text", "\"true\"", CalendarAccess::refused},
      {"not JSON", "tru", CalendarAccess::refused},
      {"a NUL byte after true", std::string("true\0x", 6), CalendarAccess::refused},
      {"nested past the depth bound", testing::nestedArrays(100000), CalendarAccess::refused},
      {"granted, with white space", " true\n", CalendarAccess::granted},
      {"granted, but the read fails", "true", CalendarAccess::granted, false, true},
  };
  for (const auto& [name, stored, access, unreadable, fails] : rows) {
    InMemoryRecordStore recordStore;
    FakePrompt prompt;
    if (stored) recordStore.setData(CalendarConsent::key, *stored);
    if (unreadable) recordStore.makeUnreadable(CalendarConsent::key);
    IcsAvailabilitySource source(recordStore, prompt, fails ? failing : files);
    BusyResult result;
    ask(source, result);
    EXPECT_EQ(source.access(), access) << name;
    EXPECT_EQ(result.calls, 0) << name << ": the completion must come later";
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.calls > 0; }, 5000)) << name;
    // Answers come in the order asked: a second completion of the first comes before this.
    BusyResult next;
    ask(source, next);
    ASSERT_TRUE(QTest::qWaitFor([&] { return next.calls > 0; }, 5000)) << name;
    EXPECT_EQ(result.calls, 1) << name;
    const bool granted = access == CalendarAccess::granted;
    EXPECT_EQ(result.errorCode, granted ? std::nullopt : noPermission) << name;
    EXPECT_EQ(result.otherError, fails) << name;
    EXPECT_EQ(result.intervals, granted && !fails ? meeting : Busy{}) << name;
    EXPECT_TRUE(result.onMainThread) << name;
    EXPECT_FALSE(prompt.pending) << name << ": reading never asks";
    EXPECT_EQ(recordStore.rawBytes(CalendarConsent::key), stored) << name << ": kept as it was";
  }
}

TEST(IcsAvailabilitySourceTest, TheAnswerIsStoredBeforeTheCompletionWhichComesOnce) {
  using Answer = ConsentPrompt::Answer;
  const std::shared_ptr<const BusyReader> reader =
      std::make_shared<testing::FakeBusyReader>(meeting);
  // answer, the store fails, what is stored, what the completion gets
  const std::tuple<Answer, bool, std::optional<std::string>, bool, bool> rows[] = {
      {Answer::granted, false, "true", true, false},
      {Answer::refused, false, "false", false, false},
      {Answer::dismissed, false, std::nullopt, false, false},  // closing stores nothing
      {Answer::granted, true, std::nullopt, false, true},      // a failed store fails it
  };
  for (const auto& [answer, storeFails, stored, granted, failed] : rows) {
    SCOPED_TRACE(static_cast<int>(answer) * 2 + storeFails);
    InMemoryRecordStore recordStore;
    FakePrompt prompt;
    recordStore.setFailing(storeFails);
    IcsAvailabilitySource source(recordStore, prompt, reader);
    int calls = 0;
    std::optional<std::string> storedAtCompletion;
    source.requestAccess([&](bool yes, std::exception_ptr error) {
      ++calls;
      storedAtCompletion = recordStore.rawBytes(CalendarConsent::key);
      EXPECT_EQ(yes, granted);
      EXPECT_EQ(error != nullptr, failed);
    });
    ASSERT_TRUE(prompt.pending);
    const auto respond = prompt.pending;
    respond(answer);
    respond(Answer::granted);  // a second answer is not listened to
    EXPECT_EQ(calls, 0) << "the completion comes later";
    testing::runEventLoopPast(0ms);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(storedAtCompletion, stored);
    EXPECT_EQ(recordStore.rawBytes(CalendarConsent::key), stored);
  }
  // Reads are served one at a time, in the order asked.
  InMemoryRecordStore recordStore;
  FakePrompt prompt;
  recordStore.setData(CalendarConsent::key, "true");
  IcsAvailabilitySource source(recordStore, prompt, reader);
  std::vector<int> order;
  for (int i = 0; i < 3; ++i) {
    source.busyIntervals({*utc.date(2026, 3, 2), *utc.date(2026, 3, 3)},
                         [&order, i](Busy, std::exception_ptr) { order.push_back(i); });
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 5000));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

// Regression: quitting waited for a hung calendar read. A source destroyed first delivers
// nothing: no reading, no refusal, no access answer, even from a prompt that outlived it.
TEST(IcsAvailabilitySourceTest, QuittingNeverWaitsForAHungReadAndDeliversNothingLater) {
  InMemoryRecordStore recordStore;
  FakePrompt prompt;
  recordStore.setData(CalendarConsent::key, "true");
  auto hung = std::make_shared<testing::FakeBusyReader>(meeting);
  hung->hold();
  BusyResult first, queued, refused;
  int accessCalls = 0;
  {
    IcsAvailabilitySource source(recordStore, prompt, hung);
    ask(source, first);
    ask(source, queued);
    source.requestAccess([&](bool, std::exception_ptr) { ++accessCalls; });
    recordStore.setData(CalendarConsent::key, "false");
    ask(source, refused);
    hung->waitForStarted(1);
  }  // returns although the read never ends
  prompt.pending(ConsentPrompt::Answer::granted);
  hung->release();
  // The worker's thread ends once the read it was left with has returned.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !testing::hasThread(hung->readerThread()); }, 5000));
  testing::runEventLoopPast(0ms);
  EXPECT_EQ(first.calls + queued.calls + refused.calls + accessCalls, 0);
  EXPECT_EQ(hung->started(), 1) << "a read queued behind the hung one is dropped";
  EXPECT_TRUE(hung->sawCancel());
  EXPECT_EQ(recordStore.rawBytes(CalendarConsent::key), std::optional<std::string>("false"));
}

}  // namespace
}  // namespace vorlane
