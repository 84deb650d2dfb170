#include "app/calendar/ics_availability_source.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "app/persistence/file_error.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

class FakePrompt final : public ConsentPrompt {
 public:
  void ask(const std::vector<std::string>& folders,
           std::function<void(Answer)> answer) override {
    asked.push_back(folders);
    pending = std::move(answer);
    if (immediate) pending(*immediate);
  }
  void answer(Answer a) { pending(a); }

  std::optional<Answer> immediate;  // answers from inside ask()
  std::vector<std::vector<std::string>> asked;
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
  std::exception_ptr error;
  bool onMainThread = false;
};

int errorCode(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const FileError& e) {
    return e.code();
  } catch (...) {
    return -1;
  }
  return 0;
}

class IcsAvailabilitySourceTest : public ::testing::Test {
 protected:
  IcsAvailabilitySourceTest() {
    const auto path = folder_ / "calendars/work.ics";
    std::filesystem::create_directories(path.parent_path());
    testing::writeFile(path,
                       "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:1\nDTSTART:20260302T150000Z\n"
                       "DTEND:20260302T160000Z\nEND:VEVENT\nEND:VCALENDAR\n");
  }

  std::unique_ptr<IcsAvailabilitySource> makeSource() {
    CalendarReader reader(CalendarFolders{folder_ / "calendars", folder_ / "evolution"},
                          IcsReadOptions{std::nullopt, utc_});
    return std::make_unique<IcsAvailabilitySource>(defaults_, prompt_, std::move(reader));
  }

  void ask(IcsAvailabilitySource& source, BusyResult& result) {
    source.busyIntervals(day_, [&result](std::vector<BusyInterval> intervals,
                                         std::exception_ptr error) {
      ++result.calls;
      result.intervals = std::move(intervals);
      result.error = error;
      result.onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
  }

  Calendar utc_{"UTC"};
  DateInterval day_{*utc_.date(2026, 3, 2), *utc_.date(2026, 3, 3)};
  testing::TempFolder folder_;
  InMemoryUserDefaults defaults_;
  FakePrompt prompt_;
};

TEST_F(IcsAvailabilitySourceTest, WithoutAccessReadingFailsWith257WithoutAskingOrReading) {
  struct Row {
    const char* name;
    std::optional<std::string> stored;
    bool unreadable;
  };
  const Row rows[] = {{"never asked", std::nullopt, false},
                      {"refused", "false", false},
                      {"unreadable consent", "true", true}};
  for (const Row& row : rows) {
    InMemoryUserDefaults fresh;
    std::swap(defaults_, fresh);
    if (row.stored) defaults_.setData(CalendarConsent::key, *row.stored);
    if (row.unreadable) defaults_.makeUnreadable(CalendarConsent::key);
    auto source = makeSource();
    BusyResult result;
    ask(*source, result);
    EXPECT_EQ(result.calls, 0) << row.name << ": the completion must come later";
    ASSERT_TRUE(processEventsUntil([&] { return result.calls > 0; })) << row.name;
    EXPECT_EQ(errorCode(result.error), FileError::fileReadNoPermission) << row.name;
    EXPECT_TRUE(result.intervals.empty()) << row.name;
    EXPECT_TRUE(result.onMainThread) << row.name;
  }
  EXPECT_TRUE(prompt_.asked.empty());
}

TEST_F(IcsAvailabilitySourceTest, WithAccessBusyTimesArriveLaterOnTheMainThread) {
  defaults_.setData(CalendarConsent::key, "true");
  auto source = makeSource();
  EXPECT_EQ(source->access(), CalendarAccess::authorized);
  BusyResult result;
  ask(*source, result);
  EXPECT_EQ(result.calls, 0);
  ASSERT_TRUE(processEventsUntil([&] { return result.calls > 0; }));
  EXPECT_EQ(result.error, nullptr);
  EXPECT_TRUE(result.onMainThread);
  const std::vector<BusyInterval> expected{
      {*utc_.date(2026, 3, 2, 15, 0), *utc_.date(2026, 3, 2, 16, 0)}};
  EXPECT_EQ(result.intervals, expected);
  processEventsUntil([] { return false; }, 50);
  EXPECT_EQ(result.calls, 1);
}

TEST_F(IcsAvailabilitySourceTest, RequestsAreServedOneAtATimeInOrder) {
  defaults_.setData(CalendarConsent::key, "true");
  auto source = makeSource();
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) {
    source->busyIntervals(day_, [&order, i](std::vector<BusyInterval> intervals,
                                            std::exception_ptr) {
      if (intervals.size() == 1) order.push_back(i);
    });
  }
  ASSERT_TRUE(processEventsUntil([&] { return order.size() == 5; }));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(IcsAvailabilitySourceTest, TheAnswerIsStoredBeforeTheCompletionRuns) {
  using Answer = ConsentPrompt::Answer;
  struct Row {
    const char* name;
    Answer answer;
    bool immediate;
    bool granted;
    std::optional<std::string> stored;
  };
  const Row rows[] = {
      {"granted", Answer::granted, false, true, "true"},
      {"refused", Answer::refused, false, false, "false"},
      {"dismissed", Answer::dismissed, false, false, std::nullopt},
      {"granted from inside ask()", Answer::granted, true, true, "true"},
  };
  for (const Row& row : rows) {
    InMemoryUserDefaults fresh;
    std::swap(defaults_, fresh);
    prompt_.immediate = row.immediate ? std::optional(row.answer) : std::nullopt;
    auto source = makeSource();
    int calls = 0;
    bool granted = !row.granted;
    std::optional<CalendarAccess> accessAtCompletion;
    source->requestAccess([&](bool g, std::exception_ptr error) {
      ++calls;
      granted = g;
      EXPECT_EQ(error, nullptr);
      accessAtCompletion = source->access();
    });
    if (!row.immediate) prompt_.answer(row.answer);
    EXPECT_EQ(calls, 0) << row.name << ": the completion must come later";
    ASSERT_TRUE(processEventsUntil([&] { return calls > 0; })) << row.name;
    EXPECT_EQ(granted, row.granted) << row.name;
    EXPECT_EQ(defaults_.rawBytes(CalendarConsent::key), row.stored) << row.name;
    EXPECT_EQ(accessAtCompletion, row.granted ? CalendarAccess::authorized
                                  : row.stored ? CalendarAccess::denied
                                               : CalendarAccess::notDetermined)
        << row.name;
  }
  prompt_.immediate.reset();
  const std::vector<std::string> folders{(folder_ / "calendars").string(),
                                         (folder_ / "evolution").string()};
  EXPECT_EQ(prompt_.asked.front(), folders) << "the prompt names the folders read";
}

TEST_F(IcsAvailabilitySourceTest, AFailedStoreFailsTheRequest) {
  auto source = makeSource();
  defaults_.setFailing(true);
  int calls = 0;
  bool granted = true;
  std::exception_ptr error;
  source->requestAccess([&](bool g, std::exception_ptr e) {
    ++calls;
    granted = g;
    error = e;
  });
  prompt_.answer(ConsentPrompt::Answer::granted);
  ASSERT_TRUE(processEventsUntil([&] { return calls > 0; }));
  EXPECT_FALSE(granted);
  EXPECT_NE(error, nullptr);
  EXPECT_EQ(source->access(), CalendarAccess::notDetermined);
}

TEST_F(IcsAvailabilitySourceTest, EachRequestCompletesExactlyOnce) {
  auto source = makeSource();
  int calls = 0;
  source->requestAccess([&](bool, std::exception_ptr) { ++calls; });
  auto answer = prompt_.pending;
  answer(ConsentPrompt::Answer::refused);
  answer(ConsentPrompt::Answer::granted);  // a second answer is ignored
  processEventsUntil([] { return false; }, 50);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(source->access(), CalendarAccess::denied);
}

TEST_F(IcsAvailabilitySourceTest, ASourceDestroyedFirstDeliversNothing) {
  defaults_.setData(CalendarConsent::key, "true");
  BusyResult read;
  BusyResult refused;
  int accessCalls = 0;
  {
    auto source = makeSource();
    ask(*source, read);
    source->requestAccess([&](bool, std::exception_ptr) { ++accessCalls; });
    defaults_.setData(CalendarConsent::key, "false");
    ask(*source, refused);
  }
  prompt_.answer(ConsentPrompt::Answer::granted);  // the prompt outlived the source
  processEventsUntil([] { return false; }, 100);
  EXPECT_EQ(read.calls, 0);
  EXPECT_EQ(refused.calls, 0);
  EXPECT_EQ(accessCalls, 0);
  EXPECT_EQ(defaults_.rawBytes(CalendarConsent::key), std::optional<std::string>("false"));
}

}  // namespace
}  // namespace vorlane
