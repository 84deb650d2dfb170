#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

#include "foundation/date_formatter.h"
#include "foundation/json.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/json_coding.h"
#include "platform/persistence/record_focus_history_store.h"
#include "tests/support/double_click_interval.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_confirmation_prompt.h"
#include "tests/support/fake_focus_stores.h"
#include "tests/support/fake_url_opener.h"
#include "tests/support/text_samples.h"
#include "ui/kit/message_line.h"
#include "ui/windows/focus_history/focus_history_controller.h"
#include "ui/windows/focus_history/focus_history_row.h"
#include "ui/windows/focus_history/focus_history_view.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");
constexpr const char* unreadable =
    "Saved data could not be read and was preserved. Clear this record explicitly to start over.";

Date may28(int hour, int minute) { return *newYork.date(2026, 5, 28, hour, minute, 0); }

FocusHistoryEntry entry(std::string focus, double seconds = 1500,
                        std::optional<Date> accomplished = std::nullopt) {
  return FocusHistoryEntry{UUID::random(), std::move(focus), seconds,
                           may28(20, 26),  accomplished,     std::nullopt};
}

PomodoroSession::Completion finished(std::string focus) {
  PomodoroSession::Completion completion;
  completion.duration = 60;
  completion.finishedAt = may28(21, 0);
  completion.focus = std::move(focus);
  completion.sessionID = UUID::random();
  return completion;
}

TEST(FocusHistoryMinutes, RoundHalvesAwayFromZeroAndNeverFail) {
  struct Row {
    const char* name;
    double seconds;
    std::int64_t minutes;
  };
  const Row rows[] = {
      {"1499 s", 1499, 25},
      {"1470 s is 24.5 minutes", 1470, 25},
      {"1469 s", 1469, 24},
      {"29 s", 29, 0},
      {"just under half a minute", 29.999999999999996, 0},
      {"half a minute", 30, 1},
      {"zero", 0, 0},
      {"not a number", std::numeric_limits<double>::quiet_NaN(), 0},
      {"infinite", std::numeric_limits<double>::infinity(), 0},
      {"beyond 64 bits", 1e300, 0},
      {"far below", -1e300, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(wholeMinutes(row.seconds), row.minutes);
  }
  const DateFormatter dates(newYork, DateFormatter::Style::mediumDateShortTime);
  EXPECT_EQ(focusHistoryDetail(entry("x", 1470), dates),
            "25 min \u00B7 May 28, 2026, 8:26\u202FPM");
}

class FocusHistoryWindowTest : public ::testing::Test {
 protected:
  FakeClock clock{may28(22, 0)};
  FakeConfirmationPrompt prompt;
  FakeUrlOpener urls;
  FocusHistoryController controller{WindowServices{clock, [] { return newYork; }, prompt, urls}};
  FakeFocusHistoryStore store;

  void open(FocusHistoryStore& shown) {
    controller.show(shown);
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller.host().window()));
  }
  FocusHistoryView& view() { return dynamic_cast<FocusHistoryView&>(*controller.host().content()); }
  std::vector<QString> titles() {
    std::vector<QString> shown;
    for (const FocusHistoryRow* row : view().rows()) shown.push_back(row->title()->text());
    return shown;
  }
  // Lets the rows past the first screenful arrive.
  static void settle() {
    for (int pass = 0; pass < 20; ++pass) QCoreApplication::sendPostedEvents();
  }
  QString message() {
    return view().errorLine()->isVisibleTo(&view()) ? view().errorLine()->text() : "";
  }

  // Clicks "Mark accomplished" of the only entry, then once more at the same spot, with the
  // desktop's double-click interval at `interval` milliseconds (0: the second click comes
  // after it, as one half a second later does).
  void markThenClickAgainAfter(int interval) {
    const DoubleClickInterval shortened(interval);
    InMemoryRecordStore records;
    RecordFocusHistoryStore real(&records);
    real.record(finished("Write the summary"));
    open(real);
    QWidget& window = *controller.host().window();
    QPushButton* mark = view().rows().front()->markButton();
    ASSERT_NE(mark, nullptr);
    QPushButton* remove = view().rows().front()->deleteButton();
    const QPoint aimed = mark->mapToGlobal(mark->rect().center());
    const QPoint deleteAt = remove->mapToGlobal(QPoint(0, 0));

    QTest::mouseClick(mark, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(remove->mapToGlobal(QPoint(0, 0)), deleteAt) << "Delete moved";
    QWidget* under = window.childAt(window.mapFromGlobal(aimed));
    ASSERT_NE(under, nullptr);
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFromGlobal(aimed));

    ASSERT_EQ(real.entries().size(), 1u);
    EXPECT_TRUE(real.entries()[0].accomplishedAt.has_value());
    EXPECT_EQ(RecordFocusHistoryStore(&records).entries().size(), 1u) << "the stored history";
    EXPECT_EQ(titles(), std::vector<QString>{"Accomplished: \u2068Write the summary\u2069"});
  }
};

TEST_F(FocusHistoryWindowTest, AnEmptyHistorySaysSoAndCannotBeCleared) {
  open(store);
  QWidget& window = *controller.host().window();
  EXPECT_EQ(window.windowTitle(), "Focus history");
  EXPECT_EQ(window.size(), QSize(510, 450));
  EXPECT_TRUE(view().emptyNote()->isVisible());
  EXPECT_EQ(view().emptyNote()->text(), "Completed focus sessions will appear here.");
  EXPECT_FALSE(view().clearButton()->isEnabled());
  EXPECT_EQ(view().clearButton()->text(), "Clear history...");
  EXPECT_EQ(view().findChild<QLabel*>("footer")->text(),
            "Saved only on this computer. Most recent 100 sessions.");
  EXPECT_EQ(message(), "");
}

TEST_F(FocusHistoryWindowTest, RowsFollowTheStoreLiveNewestFirst) {
  store.setEntries({entry("older", 1469, may28(20, 30))});
  open(store);
  EXPECT_EQ(titles(), std::vector<QString>{"Accomplished: \u2068older\u2069"});
  EXPECT_EQ(view().rows().front()->markButton(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), view().rows().front()->deleteButton())
      << "the keyboard starts in the list";
  EXPECT_EQ(view().rows().front()->detail()->text(), "24 min \u00B7 May 28, 2026, 8:26\u202FPM");

  store.record(finished("just finished"));
  EXPECT_EQ(titles(), (std::vector<QString>{"Focused on: \u2068just finished\u2069",
                                            "Accomplished: \u2068older\u2069"}));
  EXPECT_FALSE(view().emptyNote()->isVisible());
  EXPECT_TRUE(view().clearButton()->isEnabled());

  // Asked again while open, it is only raised: the same content stays.
  FocusHistoryView* before = &view();
  controller.show(store);
  EXPECT_EQ(&view(), before);
}

TEST_F(FocusHistoryWindowTest, MarkingAndDeletingChangeTheStoreAndFailuresSayWhy) {
  store.setEntries({entry("first"), entry("second")});
  const UUID first = store.entries()[0].id;
  open(store);

  QTest::mouseClick(view().rows()[0]->markButton(), Qt::LeftButton);
  EXPECT_EQ(titles(), (std::vector<QString>{"Accomplished: \u2068first\u2069",
                                            "Focused on: \u2068second\u2069"}));
  EXPECT_EQ(store.entries()[0].accomplishedAt, may28(22, 0));
  EXPECT_EQ(view().rows()[0]->markButton(), nullptr);

  store.stored.savesFail = true;
  QTest::mouseClick(view().rows()[1]->deleteButton(), Qt::LeftButton);
  EXPECT_EQ(message(), "The history change could not be saved: the disk is full");
  EXPECT_TRUE(view().errorLine()->showsError());
  EXPECT_EQ(titles().size(), 2u) << "the failed edit is not applied";

  store.stored.savesFail = false;
  QTest::mouseClick(view().rows()[1]->deleteButton(), Qt::LeftButton);
  EXPECT_EQ(titles(), std::vector<QString>{"Accomplished: \u2068first\u2069"});
  EXPECT_EQ(message(), "") << "a change that went through clears the line";
  EXPECT_EQ(store.entries()[0].id, first);
}

TEST_F(FocusHistoryWindowTest, AnUnreadableHistoryIsShownKeptAndStillClearable) {
  InMemoryRecordStore records;
  records.setData(RecordFocusHistoryStore::key, "{ not json at all");
  RecordFocusHistoryStore real(&records);
  open(real);
  EXPECT_EQ(message(), unreadable);
  EXPECT_TRUE(view().emptyNote()->isVisible());
  ASSERT_TRUE(view().clearButton()->isEnabled());

  // A finishing focus cannot overwrite it.
  EXPECT_THROW(real.record(finished("new")), std::exception);
  EXPECT_EQ(records.rawBytes(RecordFocusHistoryStore::key), "{ not json at all");

  QTest::mouseClick(view().clearButton(), Qt::LeftButton);
  ASSERT_TRUE(prompt.pending());
  EXPECT_EQ(prompt.asked().back().confirmation.message, "Clear all focus history?");
  EXPECT_EQ(prompt.asked().back().confirmation.confirmLabel, "Clear history");
  EXPECT_TRUE(prompt.asked().back().confirmation.destructive);
  prompt.cancel();
  EXPECT_EQ(message(), unreadable) << "Cancel changes nothing";
  EXPECT_TRUE(records.rawBytes(RecordFocusHistoryStore::key).has_value());

  QTest::mouseClick(view().clearButton(), Qt::LeftButton);
  prompt.confirm();
  EXPECT_EQ(message(), "");
  EXPECT_FALSE(records.rawBytes(RecordFocusHistoryStore::key).has_value());
  EXPECT_FALSE(view().clearButton()->isEnabled());
  real.record(finished("after clearing"));
  EXPECT_EQ(titles(), std::vector<QString>{"Focused on: \u2068after clearing\u2069"});
}

TEST_F(FocusHistoryWindowTest, AClearThatCannotRemoveTheRecordSaysSoAndKeepsTheList) {
  store.setEntries({entry("kept")});
  open(store);
  store.stored.clearFails = true;
  QTest::mouseClick(view().clearButton(), Qt::LeftButton);
  prompt.confirm();
  EXPECT_EQ(message(),
            "The history change could not be saved: the stored data could not be removed");
  EXPECT_EQ(titles(), std::vector<QString>{"Focused on: \u2068kept\u2069"});
}

TEST_F(FocusHistoryWindowTest, AFullHistoryFromANewerVersionWithLongRightToLeftGoalsLoads) {
  // 100 entries with goals at the length limit in Hebrew and Arabic, each with a field this
  // version does not know.
  std::vector<FocusHistoryEntry> list;
  for (int i = 0; i < 100; ++i) {
    list.push_back(entry(repeated(i % 2 ? "\u05D0" : "\u0628", 120), 60.0 * i));
  }
  std::string bytes = json::dump(JsonCoding<std::vector<FocusHistoryEntry>>::encode(list));
  for (std::size_t at = bytes.find("\"focus\""); at != std::string::npos;
       at = bytes.find("\"focus\"", at + 20)) {
    bytes.insert(at, "\"mood\":\"calm\",");
  }
  InMemoryRecordStore records;
  records.setData(RecordFocusHistoryStore::key, bytes);
  RecordFocusHistoryStore real(&records);
  ASSERT_FALSE(real.errorMessage().has_value()) << *real.errorMessage();
  controller.show(real);
  EXPECT_LT(view().rows().size(), 100u) << "a screenful first";
  // A change while the rest are still to come: the old list's rows never arrive.
  real.remove(real.entries().front().id);
  settle();
  EXPECT_EQ(view().rows().size(), 99u);
  real.record(finished("one more"));
  settle();
  ASSERT_EQ(view().rows().size(), 100u);
  EXPECT_EQ(view().rows()[0]->title()->text(), "Focused on: \u2068one more\u2069");
  EXPECT_EQ(view().rows()[3]->detail()->text().left(6), "3 min ") << "the fourth stored";
  // A right-to-left goal is isolated from the words before it.
  EXPECT_EQ(view().rows()[1]->title()->text(),
            QString::fromUtf8("Focused on: \u2068" + repeated("\u05D0", 120) + "\u2069"));
  // Long goals wrap within the window instead of widening it.
  const QScrollArea* scroll = view().findChild<QScrollArea*>();
  EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width());
}

// The second press of a double click on "Mark accomplished", or a click at the same spot
// half a second later (past the interval, so the click guard lets it through), comes when
// the row has re-laid: it must not land on "Delete", which stays where it was.
TEST_F(FocusHistoryWindowTest, ADoubleClickOnMarkAccomplishedLeavesTheEntryAccomplished) {
  markThenClickAgainAfter(60'000);
}

TEST_F(FocusHistoryWindowTest, AClickWhereMarkAccomplishedWasAfterTheIntervalDeletesNothing) {
  markThenClickAgainAfter(0);
}

// Marking an entry far down the list updates that row alone and leaves the list where the
// user scrolled it; a new entry adds one row at the top and keeps the others.
TEST_F(FocusHistoryWindowTest, AChangeUpdatesItsOwnRowAndKeepsTheScrollPosition) {
  std::vector<FocusHistoryEntry> list;
  for (int i = 0; i < 100; ++i) list.push_back(entry("goal " + std::to_string(i)));
  store.setEntries(list);
  open(store);
  settle();
  ASSERT_EQ(view().rows().size(), 100u);
  QScrollBar* bar = view().list()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  bar->setValue(bar->maximum() - 40);
  const int place = bar->value();
  const std::vector<FocusHistoryRow*> before = view().rows();

  QTest::mouseClick(before[95]->markButton(), Qt::LeftButton);
  settle();
  EXPECT_EQ(store.entries()[95].accomplishedAt, may28(22, 0));
  EXPECT_EQ(view().rows(), before) << "every row kept, none made again";
  EXPECT_EQ(before[95]->title()->text(), "Accomplished: \u2068goal 95\u2069");
  EXPECT_EQ(before[95]->markButton(), nullptr);
  EXPECT_EQ(bar->value(), place);

  store.record(finished("just finished"));
  settle();
  const std::vector<FocusHistoryRow*> after = view().rows();
  ASSERT_EQ(after.size(), 101u);
  EXPECT_EQ(after[0]->title()->text(), "Focused on: \u2068just finished\u2069");
  EXPECT_EQ(std::vector<FocusHistoryRow*>(after.begin() + 1, after.end()), before);
  // The new row's buttons come first from the keyboard, "Clear history..." still last.
  EXPECT_EQ(after[0]->deleteButton()->nextInFocusChain(), after[1]->markButton());
  EXPECT_EQ(after[100]->deleteButton()->nextInFocusChain(), view().clearButton());

  store.remove(list[3].id);
  settle();
  EXPECT_EQ(view().rows().size(), 100u);
  EXPECT_EQ(view().rows()[4], before[4]);
}

// A stored list that repeats an id shows each entry once, however often the store publishes.
TEST_F(FocusHistoryWindowTest, ARepeatedIDShowsAsManyRowsAsEntries) {
  FocusHistoryEntry twice = entry("twice");
  store.setEntries({twice, twice, entry("once")});
  open(store);
  for (int change = 0; change < 3; ++change) {
    store.setEntries(store.entries());
    settle();
    EXPECT_EQ(titles(), (std::vector<QString>{"Focused on: \u2068twice\u2069",
                                              "Focused on: \u2068twice\u2069",
                                              "Focused on: \u2068once\u2069"}));
  }
}

}  // namespace
}  // namespace vorlane

namespace vorlane {
namespace {

// Offscreen pictures of a full and an unreadable history, written where
// VORLANE_SCREENSHOT_DIR points.
TEST_F(FocusHistoryWindowTest, DrawsItsRowsAndItsProblem) {
  store.setEntries({entry("Write the design review summary", 1500),
                    entry("Answer the support queue", 1470, may28(21, 0)),
                    entry(repeated("\u05D0\u05D1\u05D2 ", 30), 1469),
                    entry(repeated("x", 120), 29)});
  const char* folder = std::getenv("VORLANE_SCREENSHOT_DIR");
  open(store);
  QCoreApplication::processEvents();
  QImage picture = controller.host().window()->grab().toImage();
  EXPECT_EQ(picture.size() / picture.devicePixelRatio(), QSize(510, 450));
  if (folder) picture.save(QString::fromLocal8Bit(folder) + "/focus-history.png");

  controller.host().window()->close();
  store.stored.makeUnreadable();
  store.setEntries({});
  store.setErrorMessage(std::string(unreadable));
  open(store);
  QCoreApplication::processEvents();
  picture = controller.host().window()->grab().toImage();
  EXPECT_TRUE(view().errorLine()->isVisible());
  if (folder) picture.save(QString::fromLocal8Bit(folder) + "/focus-history-unreadable.png");
}

}  // namespace
}  // namespace vorlane
