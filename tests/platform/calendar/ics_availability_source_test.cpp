#include "platform/calendar/ics_availability_source.h"

#include "platform/calendar/calendar_reader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <optional>

#include "platform/persistence/file_error.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/fake_busy_reader.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

struct FakePrompt final : ConsentPrompt {
  void ask(const std::vector<std::string>&, std::function<void(Answer)> answer) override {
    pending = std::move(answer);
  }
  std::function<void(Answer)> pending;
};

template <typename Predicate>
bool processEventsUntil(Predicate done, int timeoutMs = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return done();
}

struct BusyResult {
  int calls = 0;
  std::vector<BusyInterval> intervals;
  std::optional<FileErrorCode> errorCode;  // the code of the FileError, if one came
  bool otherError = false;
  bool onMainThread = false;
};

class IcsAvailabilitySourceTest : public ::testing::Test {
 protected:
  IcsAvailabilitySourceTest() {
    std::filesystem::create_directories(folder_ / "calendars");
    testing::writeFile(folder_ / "calendars/work.ics",
                       "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:1\nDTSTART:20260302T150000Z\n"
                       "DTEND:20260302T160000Z\nEND:VEVENT\nEND:VCALENDAR\n");
  }
  std::unique_ptr<IcsAvailabilitySource> makeSource() {
    auto reader = std::make_shared<CalendarReader>(
        CalendarFolders{folder_ / "calendars", folder_ / "evolution"},
        IcsReadOptions{std::nullopt, utc_});
    return std::make_unique<IcsAvailabilitySource>(defaults_, prompt_, std::move(reader));
  }
  void ask(IcsAvailabilitySource& source, BusyResult& result) {
    source.busyIntervals(
        day_, [&result](std::vector<BusyInterval> intervals, std::exception_ptr error) {
          ++result.calls;
          result.intervals = std::move(intervals);
          try {
            if (error) std::rethrow_exception(error);
          } catch (const FileError& e) {
            result.errorCode = e.code();
          } catch (...) {
            result.otherError = true;
          }
          result.onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
  }

  Calendar utc_{"UTC"};
  DateInterval day_{*utc_.date(2026, 3, 2), *utc_.date(2026, 3, 3)};
  testing::TempFolder folder_;
  InMemoryRecordStore defaults_;
  FakePrompt prompt_;
};

TEST_F(IcsAvailabilitySourceTest, BusyTimesOrTheNoAccessErrorArriveLaterOnTheMainThread) {
  const std::vector<BusyInterval> meeting{
      {*utc_.date(2026, 3, 2, 15, 0), *utc_.date(2026, 3, 2, 16, 0)}};
  // The stored answer stands in for the permission; anything but true or false is a refusal.
  const std::tuple<const char*, std::optional<std::string>, bool, CalendarAccess> rows[] = {
      {"never asked", std::nullopt, false, CalendarAccess::notAsked},
      {"refused", "false", false, CalendarAccess::refused},
      {"unreadable consent", "true", true, CalendarAccess::refused},
      {"a number", "1", false, CalendarAccess::refused},
      {"a text", "\"true\"", false, CalendarAccess::refused},
      {"not JSON", "tru", false, CalendarAccess::refused},
      {"a NUL byte after true", std::string("true\0x", 6), false, CalendarAccess::refused},
      {"granted, with white space", " true\n", false, CalendarAccess::granted},
  };
  for (const auto& [name, stored, unreadable, access] : rows) {
    InMemoryRecordStore fresh;
    std::swap(defaults_, fresh);
    if (stored) defaults_.setData(CalendarConsent::key, *stored);
    if (unreadable) defaults_.makeUnreadable(CalendarConsent::key);
    auto source = makeSource();
    BusyResult result;
    ask(*source, result);
    EXPECT_EQ(source->access(), access) << name;
    EXPECT_EQ(result.calls, 0) << name << ": the completion must come later";
    ASSERT_TRUE(processEventsUntil([&] { return result.calls > 0; })) << name;
    processEventsUntil([] { return false; }, 50);
    EXPECT_EQ(result.calls, 1) << name;
    const bool granted = access == CalendarAccess::granted;
    const std::optional<FileErrorCode> noPermission = FileErrorCode::readNoPermission;
    EXPECT_EQ(result.errorCode, granted ? std::nullopt : noPermission) << name;
    EXPECT_FALSE(result.otherError) << name;
    EXPECT_EQ(result.intervals, granted ? meeting : std::vector<BusyInterval>{}) << name;
    EXPECT_TRUE(result.onMainThread) << name;
    EXPECT_FALSE(prompt_.pending) << name << ": reading never asks";
  }
}

TEST_F(IcsAvailabilitySourceTest, TheAnswerIsStoredBeforeTheCompletionWhichComesOnce) {
  using Answer = ConsentPrompt::Answer;
  // answer, the store fails, what is stored, what the completion gets
  const std::tuple<Answer, bool, std::optional<std::string>, bool, bool> rows[] = {
      {Answer::granted, false, "true", true, false},
      {Answer::refused, false, "false", false, false},
      {Answer::dismissed, false, std::nullopt, false, false},  // closing stores nothing
      {Answer::granted, true, std::nullopt, false, true},      // a failed store fails it
  };
  for (const auto& [answer, storeFails, stored, granted, failed] : rows) {
    SCOPED_TRACE(static_cast<int>(answer) * 2 + storeFails);
    InMemoryRecordStore fresh;
    std::swap(defaults_, fresh);
    defaults_.setFailing(storeFails);
    auto source = makeSource();
    int calls = 0;
    std::optional<std::string> storedAtCompletion;
    source->requestAccess([&](bool yes, std::exception_ptr error) {
      ++calls;
      storedAtCompletion = defaults_.rawBytes(CalendarConsent::key);
      EXPECT_EQ(yes, granted);
      EXPECT_EQ(error != nullptr, failed);
    });
    ASSERT_TRUE(prompt_.pending);
    const auto respond = prompt_.pending;
    respond(answer);
    respond(Answer::granted);  // a second answer is not listened to
    EXPECT_EQ(calls, 0) << "the completion comes later";
    processEventsUntil([] { return false; }, 50);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(storedAtCompletion, stored);
    EXPECT_EQ(defaults_.rawBytes(CalendarConsent::key), stored);
  }
  // Reads are served one at a time, in the order asked.
  defaults_.setFailing(false);
  defaults_.setData(CalendarConsent::key, "true");
  auto source = makeSource();
  std::vector<int> order;
  for (int i = 0; i < 3; ++i) {
    source->busyIntervals(day_, [&order, i](std::vector<BusyInterval>, std::exception_ptr) {
      order.push_back(i);
    });
  }
  ASSERT_TRUE(processEventsUntil([&] { return order.size() == 3; }));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST_F(IcsAvailabilitySourceTest, ASourceDestroyedFirstDeliversNothing) {
  defaults_.setData(CalendarConsent::key, "true");
  BusyResult read, refused;
  int accessCalls = 0;
  {
    auto source = makeSource();
    ask(*source, read);
    source->requestAccess([&](bool, std::exception_ptr) { ++accessCalls; });
    defaults_.setData(CalendarConsent::key, "false");
    ask(*source, refused);
  }
  prompt_.pending(ConsentPrompt::Answer::granted);  // the prompt outlived the source
  processEventsUntil([] { return false; }, 100);
  EXPECT_EQ(read.calls + refused.calls + accessCalls, 0);
  EXPECT_EQ(defaults_.rawBytes(CalendarConsent::key), std::optional<std::string>("false"));
}

TEST_F(IcsAvailabilitySourceTest, QuittingNeverWaitsForAHungRead) {
  defaults_.setData(CalendarConsent::key, "true");
  auto hung = std::make_shared<testing::FakeBusyReader>(
      std::vector<BusyInterval>{{*utc_.date(2026, 3, 2, 9, 0), *utc_.date(2026, 3, 2, 10, 0)}});
  hung->hold();
  BusyResult first, queued;
  {
    IcsAvailabilitySource source(defaults_, prompt_, hung);
    ask(source, first);
    ask(source, queued);
    hung->waitForStarted(1);
  }  // returns although the read never ends
  hung->release();  // the abandoned read ends after its source: nothing of it is delivered
  processEventsUntil([] { return false; }, 100);
  EXPECT_EQ(first.calls + queued.calls, 0);
  EXPECT_EQ(hung->started(), 1) << "a read queued behind the hung one is dropped";
  EXPECT_TRUE(hung->sawCancel());
}

TEST_F(IcsAvailabilitySourceTest, AFailedReadArrivesAsTheError) {
  defaults_.setData(CalendarConsent::key, "true");
  IcsAvailabilitySource source(
      defaults_, prompt_, std::make_shared<testing::FakeBusyReader>(std::vector<BusyInterval>{}, "x"));
  BusyResult result;
  ask(source, result);
  ASSERT_TRUE(processEventsUntil([&] { return result.calls > 0; }));
  EXPECT_EQ(result.errorCode, std::nullopt);
  EXPECT_TRUE(result.otherError);
  EXPECT_TRUE(result.onMainThread);
}

}  // namespace
}  // namespace vorlane
