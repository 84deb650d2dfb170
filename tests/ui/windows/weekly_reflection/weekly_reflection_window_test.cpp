#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_focus_stores.h"
#include "tests/support/image_pixels.h"
#include "ui/windows/weekly_reflection/weekly_reflection_controller.h"
#include "ui/windows/weekly_reflection/weekly_reflection_figures.h"
#include "ui/windows/weekly_reflection/weekly_reflection_view.h"

namespace vorlane {
namespace {

using TimeOfDay = WeeklyReflection::TimeOfDay;

const Calendar newYork("America/New_York", "en_US");  // weeks start on Sunday
// Tuesday after the week in which New York's clocks went back (Sunday 1 November 2026).
const Date tuesday = *newYork.date(2026, 11, 10, 10, 0, 0);

FocusHistoryEntry session(std::string goal, double minutes, Date finishedAt,
                          std::optional<Date> accomplishedAt = std::nullopt) {
  return {UUID::random(), std::move(goal), minutes * 60, finishedAt, accomplishedAt, std::nullopt};
}

// Newest first, as the store keeps them: one session this week, two in the week of the clock
// change (one in the repeated hour, one in its last hour), one the week before.
std::vector<FocusHistoryEntry> twoWeeks() {
  return {
      session("draft the talk", 25, *newYork.date(2026, 11, 9, 9, 0, 0), tuesday),
      session("late review", 20, *newYork.date(2026, 11, 7, 23, 30, 0)),
      session("night shift", 30, *newYork.date(2026, 11, 1, 1, 30, 0)),
      session("older", 45, *newYork.date(2026, 10, 31, 23, 30, 0)),
  };
}

TEST(WeeklyReflectionFigures, TotalsLineKeepsMinutesPluralAndCountsUngrouped) {
  struct Row {
    const char* name;
    std::int64_t sessions, minutes;
    const char* line;
  };
  const Row rows[] = {
      {"nothing", 0, 0, "0 completed sessions \u00B7 0 recorded minutes"},
      {"one of each", 1, 1, "1 completed session \u00B7 1 recorded minutes"},
      {"one session", 1, 25, "1 completed session \u00B7 25 recorded minutes"},
      {"two sessions", 2, 50, "2 completed sessions \u00B7 50 recorded minutes"},
      {"thousands", 1234, 20000, "1234 completed sessions \u00B7 20000 recorded minutes"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(completedSessionsLine(row.sessions, row.minutes).toStdString(), row.line);
  }
}

TEST(WeeklyReflectionFigures, SamplesCopyEveryEntryInOrder) {
  std::vector<FocusHistoryEntry> entries = twoWeeks();
  entries[1].priorityID = UUID::random();
  const std::vector<FocusSample> samples = focusSamples(entries);
  ASSERT_EQ(samples.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(samples[i].goal, entries[i].focus);
    EXPECT_EQ(samples[i].duration, entries[i].duration);
    EXPECT_EQ(samples[i].finishedAt, entries[i].finishedAt);
    EXPECT_EQ(samples[i].accomplishedAt, entries[i].accomplishedAt);
    EXPECT_EQ(samples[i].priorityID, entries[i].priorityID);
  }
}

class WeeklyReflectionWindow : public ::testing::Test {
 protected:
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(tuesday);
  std::string locale = "en_US";
  WeeklyReflectionController controller{clock,
                                        [this] { return Calendar("America/New_York", locale); }};
  FakeFocusHistoryStore history;
  FakeDailyPrioritiesStore priorities;
  int manageCalls = 0;

  WeeklyReflectionView& view() {
    auto* content = dynamic_cast<WeeklyReflectionView*>(controller.host().content());
    if (content == nullptr) throw std::logic_error("no weekly reflection on screen");
    return *content;
  }
  QWidget& window() { return *controller.host().window(); }
  void show(FocusHistoryStore& h, DailyPrioritiesStore& p) {
    controller.show(h, p, [this] { ++manageCalls; });
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  void show() { show(history, priorities); }
  void close() {
    window().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::string totals() { return view().totals()->text().toStdString(); }
  std::string range() { return view().weekRange()->text().toStdString(); }
  std::string count(TimeOfDay time) { return view().count(time)->text().toStdString(); }
  static std::vector<std::string> texts(const ReflectionSection& section) {
    std::vector<std::string> lines;
    for (const QLabel* line : section.lines()) lines.push_back(line->text().toStdString());
    return lines;
  }

  void TearDown() override {
    if (controller.host().window() != nullptr) close();
  }
};

TEST_F(WeeklyReflectionWindow, EmptyStoresShowEveryEmptySentenceAndZeroes) {
  show();
  EXPECT_EQ(window().windowTitle().toStdString(), "Weekly reflection \u2014 Vorlane");
  EXPECT_EQ(window().size(), QSize(580, 660));
  EXPECT_TRUE(view().accomplished()->emptyLine()->isVisible());
  EXPECT_TRUE(view().broughtForward()->emptyLine()->isVisible());
  EXPECT_TRUE(view().accomplished()->lines().empty());
  for (TimeOfDay time : WeeklyReflection::allTimesOfDay) EXPECT_EQ(count(time), "0");
  EXPECT_EQ(totals(), "0 completed sessions \u00B7 0 recorded minutes");
  EXPECT_FALSE(view().errorLine()->isVisible());
  EXPECT_TRUE(view().thisWeekButton()->isChecked());
  EXPECT_TRUE(view().thisWeekButton()->hasFocus());
  // From the keyboard, as segments are: the arrow keys move between the weeks.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_TRUE(view().lastWeekButton()->hasFocus());
  EXPECT_EQ(view().week(), -1);
  EXPECT_EQ(range(), "Nov 1, 2026 \u2013 Nov 7, 2026");
}

// Regression: the scroll bar was always on, an empty trough beside a week that fits.
TEST_F(WeeklyReflectionWindow, TheScrollBarShowsOnlyWhenThereIsSomethingToScroll) {
  show();
  QCoreApplication::processEvents();
  QScrollBar* bar = view().scrollArea()->verticalScrollBar();
  EXPECT_EQ(bar->maximum(), 0) << "an empty week fits";
  EXPECT_FALSE(bar->isVisible());
  view().scrollArea()->setFixedHeight(80);
  QCoreApplication::processEvents();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_TRUE(bar->isVisible());
}

TEST_F(WeeklyReflectionWindow, LastWeekIsTheLocalesPreviousCalendarWeekAcrossTheClockChange) {
  struct Row {
    const char* locale;
    const char* thisWeek;
    const char* lastWeek;
    const char* lastTotals;
    const char* lastOvernight;
  };
  // en_US weeks start on Sunday: last week is the 25-hour week of the change, holding the
  // session of the repeated hour. en_GB and de_DE weeks start on Monday: the change falls in
  // the week before.
  const Row rows[] = {
      {"en_US", "Nov 8, 2026 \u2013 Nov 14, 2026", "Nov 1, 2026 \u2013 Nov 7, 2026",
       "2 completed sessions \u00B7 50 recorded minutes", "1"},
      {"en_GB", "9 Nov 2026 \u2013 15 Nov 2026", "2 Nov 2026 \u2013 8 Nov 2026",
       "1 completed session \u00B7 20 recorded minutes", "0"},
      {"de_DE", "09.11.2026 \u2013 15.11.2026", "02.11.2026 \u2013 08.11.2026",
       "1 completed session \u00B7 20 recorded minutes", "0"},
  };
  history.setEntries(twoWeeks());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.locale);
    locale = row.locale;
    show();
    EXPECT_EQ(range(), row.thisWeek);
    EXPECT_EQ(totals(), "1 completed session \u00B7 25 recorded minutes");
    EXPECT_EQ(count(TimeOfDay::morning), "1");
    EXPECT_EQ(texts(*view().accomplished()), std::vector<std::string>{"\u2022 draft the talk"});

    QTest::mouseClick(view().lastWeekButton(), Qt::LeftButton);
    EXPECT_EQ(view().week(), -1);
    EXPECT_EQ(range(), row.lastWeek);
    EXPECT_EQ(totals(), row.lastTotals);
    EXPECT_EQ(count(TimeOfDay::morning), "0");
    EXPECT_EQ(count(TimeOfDay::evening), "1");
    EXPECT_EQ(count(TimeOfDay::overnight), row.lastOvernight);
    EXPECT_TRUE(view().accomplished()->lines().empty());
    close();
  }
}

TEST_F(WeeklyReflectionWindow, RaisingKeepsTheChosenWeekAndReopeningStartsOnThisWeek) {
  show();
  QTest::mouseClick(view().lastWeekButton(), Qt::LeftButton);
  WeeklyReflectionView* first = &view();

  show();
  EXPECT_EQ(&view(), first);
  EXPECT_EQ(view().week(), -1);
  EXPECT_TRUE(view().lastWeekButton()->isChecked());

  close();
  show();
  EXPECT_EQ(view().week(), 0);
  EXPECT_TRUE(view().thisWeekButton()->isChecked());
  EXPECT_EQ(range(), "Nov 8, 2026 \u2013 Nov 14, 2026");
}

TEST_F(WeeklyReflectionWindow, TheMinuteTimerFollowsTheClockBothWaysAndDiesWithTheContent) {
  show();
  QPointer<QTimer> timer = view().refreshTimer();
  ASSERT_TRUE(timer);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 60 * 1000);
  EXPECT_EQ(timer->parent(), &view());

  // Past Saturday midnight: the next minute shows the new week.
  clock->set(*newYork.date(2026, 11, 15, 0, 0, 30));
  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(range(), "Nov 15, 2026 \u2013 Nov 21, 2026");

  // A clock set back over two week boundaries, into the week of the change.
  clock->set(*newYork.date(2026, 11, 1, 1, 30, 0) + 3600);  // the repeated 1:30
  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(range(), "Nov 1, 2026 \u2013 Nov 7, 2026");
  EXPECT_EQ(totals(), "0 completed sessions \u00B7 0 recorded minutes");

  close();
  EXPECT_FALSE(timer) << "the refresh timer outlived its window's content";
  EXPECT_EQ(controller.host().content(), nullptr);
}

TEST_F(WeeklyReflectionWindow, FollowsBothStoresAndShowsTheHistorysErrorFirst) {
  show();
  history.setEntries(twoWeeks());
  EXPECT_EQ(totals(), "1 completed session \u00B7 25 recorded minutes");

  // A priority planned on three days, two of them this week, kept twice under one title.
  DailyPriority carried{UUID::random(),
                        "Tax forms",
                        tuesday,
                        {"2026-11-06", "2026-11-09", "2026-11-10"},
                        std::nullopt};
  DailyPriority again = carried;
  again.id = UUID::random();
  DailyPriority done{UUID::random(), "Call the bank", tuesday, {"2026-11-10"}, tuesday};
  priorities.setPlan(DailyPriorities({carried, again, done}));
  EXPECT_EQ(texts(*view().broughtForward()),
            (std::vector<std::string>{"\u2022 Tax forms", "\u2022 Tax forms"}));
  EXPECT_FALSE(view().broughtForward()->emptyLine()->isVisible());
  EXPECT_EQ(texts(*view().accomplished()),
            (std::vector<std::string>{"\u2022 Call the bank", "\u2022 draft the talk"}));

  priorities.setErrorMessage("priorities sentence");
  history.setErrorMessage(std::string(FocusHistoryStore::saveFailedMessage));
  EXPECT_EQ(view().errorLine()->text().toStdString(), FocusHistoryStore::saveFailedMessage);
  EXPECT_TRUE(view().errorLine()->showsError());
  history.setErrorMessage(std::nullopt);
  EXPECT_EQ(view().errorLine()->text().toStdString(), "priorities sentence");
  priorities.setErrorMessage(std::nullopt);
  EXPECT_FALSE(view().errorLine()->isVisible());

  // Fewer lines: the extra ones go, the empty sentence comes back.
  priorities.setPlan(DailyPriorities());
  EXPECT_TRUE(view().broughtForward()->lines().empty());
  EXPECT_TRUE(view().broughtForward()->emptyLine()->isVisible());
}

TEST_F(WeeklyReflectionWindow, ManageHistoryRunsTheCallbackAndSurvivesOneThatThrows) {
  show();
  QTest::mouseClick(view().manageHistoryButton(), Qt::LeftButton);
  EXPECT_EQ(manageCalls, 1);
  controller.host().window()->close();
  controller.show(history, priorities, [] { throw std::runtime_error("gone"); });
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  QTest::mouseClick(view().manageHistoryButton(), Qt::LeftButton);
  EXPECT_TRUE(window().isVisible());
}

TEST_F(WeeklyReflectionWindow, UnreadableRecordsShowTheirSentenceAndStayUntouched) {
  struct Row {
    const char* name;
    const char* historyBytes;
    const char* planBytes;
    bool historyReadable, planReadable;
  };
  const std::string plan =
      R"({"items":[{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"Ship it",)"
      R"("createdAt":800000000,"plannedDays":["2026-11-10"],"accomplishedAt":816012000}]})";
  const Row rows[] = {
      {"corrupt history", "{not json", plan.c_str(), false, true},
      {"history from a newer version", R"({"version":2,"sessions":[]})", plan.c_str(), false, true},
      {"plan from a newer version", "[]", R"({"version":2,"days":{}})", true, false},
      {"both corrupt", "\x01\x02", "[", false, false},
  };
  const std::string unreadable(describe(LocalJSONDocumentFailure::unreadable));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    InMemoryRecordStore records;
    records.setData(RecordFocusHistoryStore::key, row.historyBytes);
    records.setData(RecordDailyPrioritiesStore::key, row.planBytes);
    RecordFocusHistoryStore storedHistory(&records);
    RecordDailyPrioritiesStore storedPlan(&records);
    ASSERT_EQ(storedHistory.errorMessage().has_value(), !row.historyReadable);
    ASSERT_EQ(storedPlan.errorMessage().has_value(), !row.planReadable);

    show(storedHistory, storedPlan);
    QTest::mouseClick(view().lastWeekButton(), Qt::LeftButton);
    QTest::mouseClick(view().thisWeekButton(), Qt::LeftButton);
    EXPECT_EQ(view().errorLine()->isVisible(), !(row.historyReadable && row.planReadable));
    if (!row.historyReadable || !row.planReadable) {
      EXPECT_EQ(view().errorLine()->text().toStdString(), unreadable);
    }
    // What could be read is still shown: the plan's accomplished priority of this week.
    EXPECT_EQ(texts(*view().accomplished()).size(), row.planReadable ? 1u : 0u);
    EXPECT_EQ(totals(), "0 completed sessions \u00B7 0 recorded minutes");
    close();

    EXPECT_EQ(records.writeCount(RecordFocusHistoryStore::key), 1);  // the seeding only
    EXPECT_EQ(records.writeCount(RecordDailyPrioritiesStore::key), 1);
    EXPECT_EQ(records.rawBytes(RecordFocusHistoryStore::key), std::string(row.historyBytes));
    EXPECT_EQ(records.rawBytes(RecordDailyPrioritiesStore::key), std::string(row.planBytes));
  }
}

// The window as drawn, with a red error line above the lists; kept as a picture for a person
// to look at when VORLANE_REFLECTION_SHOT names a file.
TEST_F(WeeklyReflectionWindow, DrawsTheErrorLineInRed) {
  history.setEntries(twoWeeks());
  DailyPriority carried{UUID::random(),
                        "Tax forms",
                        tuesday,
                        {"2026-11-06", "2026-11-09", "2026-11-10"},
                        std::nullopt};
  priorities.setPlan(DailyPriorities({carried}));
  show();
  const auto reds = [](const QImage& image) {
    return pixelsWhere(
        image, [](const QColor& c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; });
  };
  const int before = reds(window().grab().toImage());
  priorities.setErrorMessage(std::string(describe(LocalJSONDocumentFailure::unreadable)));
  QCoreApplication::processEvents();
  const QImage drawn = window().grab().toImage();
  EXPECT_GT(reds(drawn), before + 50);
  if (const char* path = std::getenv("VORLANE_REFLECTION_SHOT"))
    drawn.save(QString::fromUtf8(path));
}

}  // namespace
}  // namespace vorlane
