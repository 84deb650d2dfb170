#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "foundation/json.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_confirmation_prompt.h"
#include "tests/support/fake_url_opener.h"
#include "tests/support/text_samples.h"
#include "ui/kit/message_line.h"
#include "ui/windows/today/today_controller.h"
#include "ui/windows/today/today_view.h"

namespace vorlane {
namespace {

constexpr const char* fullSentence =
    "Choose at most three priorities for a day. Remove one from today to make room.";
constexpr const char* titleSentence = "Use a priority of 1\u2013120 characters.";
constexpr const char* unreadableSentence =
    "Saved data could not be read and was preserved. Clear this record explicitly to start "
    "over.";
constexpr const char* busySentence =
    "A session is already active. Resume it, or stop it before starting a new focus.";

Calendar berlin() { return Calendar("Europe/Berlin", "en_US"); }
Date berlinTime(int day, int hour, int minute, int second = 0) {
  return *berlin().date(2026, 3, day, hour, minute) + second;
}

struct Started {
  UUID id;
  bool starter;
};

class TodayWindowTest : public ::testing::Test {
 protected:
  // Monday 30 March 2026, 10:00 in Berlin.
  FakeClock clock{berlinTime(30, 10, 0)};
  FakeConfirmationPrompt prompt;
  FakeUrlOpener urls;
  TodayController controller{WindowServices{clock, berlin, prompt, urls}};
  InMemoryRecordStore records;
  std::unique_ptr<RecordDailyPrioritiesStore> store =
      std::make_unique<RecordDailyPrioritiesStore>(&records);
  std::vector<Started> started;
  int discards = 0;
  std::function<void()> startRefusal;

  void open(std::optional<std::string> recoveryError = std::nullopt, int minutes = 25) {
    controller.show(
        *store, minutes, std::move(recoveryError), [this] { ++discards; },
        [this](const UUID& id, bool starter) {
          if (startRefusal) startRefusal();
          started.push_back({id, starter});
        });
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().isVisible(); }));
  }
  // As a record found at launch: the store reads it when it is made.
  void reloadWith(const std::string& bytes) {
    records.setData(RecordDailyPrioritiesStore::key, bytes);
    store = std::make_unique<RecordDailyPrioritiesStore>(&records);
  }
  TodayView& view() {
    auto* content = dynamic_cast<TodayView*>(controller.host().content());
    if (content == nullptr) throw std::logic_error("no Today window on screen");
    return *content;
  }
  QWidget& window() { return *controller.host().window(); }
  void typeAndReturn(const QString& text) {
    QTest::keyClicks(view().field(), text);
    QTest::keyClick(view().field(), Qt::Key_Return);
  }
  TodayPriorityCard& todayCard(std::size_t index) {
    const auto cards = view().todayCards();
    if (index >= cards.size()) throw std::logic_error("no such card today");
    return *cards[index];
  }
  void click(TodayPriorityCard& card, const QString& button) {
    QPushButton* target = card.button(button);
    if (target == nullptr) throw std::logic_error("no button " + button.toStdString());
    QTest::mouseClick(target, Qt::LeftButton);
  }
  // The options menu's entry, as the user picks it from the menu.
  void pick(TodayPriorityCard& card, const QString& entry) {
    for (QAction* action : card.optionsButton()->menu()->actions()) {
      if (action->text() == entry) {
        action->trigger();
        return;
      }
    }
    throw std::logic_error("no menu entry " + entry.toStdString());
  }
  QStringList menuEntries(TodayPriorityCard& card) {
    QStringList entries;
    for (QAction* action : card.optionsButton()->menu()->actions()) entries << action->text();
    return entries;
  }
  QString shownError() {
    return view().errorLine()->isVisibleTo(&view()) ? view().errorLine()->text() : QString();
  }
  // The plan as stored, read back as the next launch would.
  DailyPriorities stored() { return RecordDailyPrioritiesStore(&records).plan(); }
  void fireRefresh() { ASSERT_TRUE(QMetaObject::invokeMethod(view().refreshTimer(), "timeout")); }
  void screenshot(const char* name) {
    QCoreApplication::processEvents();
    const char* folder = std::getenv("VORLANE_SCREENSHOT_DIR");
    if (folder == nullptr) return;
    window().grab().toImage().save(QString::fromLocal8Bit(folder) + QStringLiteral("/today-") +
                                   QString::fromLatin1(name) + QStringLiteral(".png"));
  }
};

TEST_F(TodayWindowTest, AnEmptyDayOffersAFreshPage) {
  open();
  EXPECT_EQ(window().windowTitle(), "Today \u2014 Vorlane");
  EXPECT_EQ(window().size(), QSize(570, 540));
  EXPECT_EQ(view().minimumSize(), QSize(520, 460));
  EXPECT_EQ(view().dateLabel()->text(), "Monday, March 30, 2026");
  EXPECT_EQ(view().countLabel()->text(), "0/3");
  EXPECT_TRUE(view().emptyState()->isVisibleTo(&view()));
  EXPECT_FALSE(view().earlierSection()->isVisibleTo(&view()));
  EXPECT_FALSE(view().recoveryRow()->isVisibleTo(&view()));
  EXPECT_FALSE(view().clearButton()->isEnabled());
  EXPECT_FALSE(view().addButton()->isEnabled());
  EXPECT_EQ(view().field()->placeholderText(), "One priority for today");
  EXPECT_EQ(view().field()->accessibleName(), "New priority");
  EXPECT_TRUE(view().field()->hasFocus());
  EXPECT_EQ(view().refreshTimer()->interval(), 60 * 1000);
  EXPECT_TRUE(view().refreshTimer()->isActive());
  screenshot("empty");
}

TEST_F(TodayWindowTest, ThreeAddsThenAFourthIsRefusedAndItsTextKept) {
  open();
  typeAndReturn("  Write   the  report ");
  EXPECT_EQ(view().field()->text(), "") << "emptied once added";
  typeAndReturn("Call the bank");
  QTest::keyClicks(view().field(), "Water the plants");
  EXPECT_TRUE(view().addButton()->isEnabled());
  QTest::mouseClick(view().addButton(), Qt::LeftButton);

  ASSERT_EQ(stored().items().size(), 3u);
  EXPECT_EQ(stored().items()[0].title, "Write the report");
  ASSERT_EQ(view().todayCards().size(), 3u);
  EXPECT_EQ(todayCard(0).titleLabel()->text(), "Write the report");
  EXPECT_EQ(view().countLabel()->text(), "3/3");
  EXPECT_FALSE(view().emptyState()->isVisibleTo(&view()));
  EXPECT_TRUE(view().clearButton()->isEnabled());

  QTest::keyClicks(view().field(), "Answer email");
  EXPECT_FALSE(view().addButton()->isEnabled()) << "the day is full";
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_EQ(shownError(), fullSentence);
  EXPECT_TRUE(view().errorLine()->showsError());
  EXPECT_EQ(view().field()->text(), "Answer email");
  EXPECT_EQ(stored().items().size(), 3u);
  screenshot("full");

  // The next successful action clears the red line.
  click(todayCard(0), "Mark done");
  EXPECT_EQ(shownError(), "");
}

TEST_F(TodayWindowTest, TitlesAreCheckedAsTheUserCountsThem) {
  struct Row {
    const char* name;
    std::string typed;
    std::optional<std::string> stored;  // none: refused with the title sentence
    bool offered = true;                // whether Add is enabled for it
  };
  const std::vector<Row> rows = {
      {"blanks only", "   ", std::nullopt, false},
      {"nothing visible", "\u200B\u200B\t", std::nullopt, false},
      // Cleaning joins the blank and the mark into white space, and nothing is left.
      {"a control, a blank and a combining mark", "\x01 \u0332", std::nullopt, false},
      {"a blank and a combining mark", " \u0332", std::nullopt, false},
      {"a letter with a combining mark", "e\u0332", "e\u0332"},
      {"120 characters", repeated("a", 120), repeated("a", 120)},
      {"121 characters", repeated("a", 121), std::nullopt},
      {"120 emoji count as 120", repeated(familyEmoji, 120), repeated(familyEmoji, 120)},
      {"right to left", "\u05DC\u05E7\u05E8\u05D5\u05D0 \u05E1\u05E4\u05E8",
       "\u05DC\u05E7\u05E8\u05D5\u05D0 \u05E1\u05E4\u05E8"},
      {"markup stays text", "<b>bold</b> plan", "<b>bold</b> plan"},
  };
  open();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    store->clear();
    view().field()->setText(QString::fromStdString(row.typed));
    EXPECT_EQ(view().addButton()->isEnabled(), row.offered);
    QTest::keyClick(view().field(), Qt::Key_Return);
    if (row.stored) {
      ASSERT_EQ(stored().items().size(), 1u);
      EXPECT_EQ(stored().items()[0].title, *row.stored);
      EXPECT_EQ(todayCard(0).titleLabel()->text().toStdString(), *row.stored);
      EXPECT_EQ(shownError(), "");
    } else {
      EXPECT_EQ(shownError(), titleSentence);
      EXPECT_EQ(view().field()->text().toStdString(), row.typed);
      EXPECT_TRUE(stored().items().empty());
    }
  }
  store->clear();
  for (const std::string& title :
       {repeated("W", 120),
        std::string("\u05DC\u05E7\u05E8\u05D5\u05D0 \u05E1\u05E4\u05E8 and finish"),
        familyEmoji + " family dinner \U0001F35D"}) {
    view().field()->setText(QString::fromStdString(title));
    QTest::keyClick(view().field(), Qt::Key_Return);
  }
  EXPECT_EQ(view().todayCards().size(), 3u);
  screenshot("long-rtl-emoji");
  EXPECT_LE(window().width(), 570) << "a long title wraps, never widens the window";
}

TEST_F(TodayWindowTest, AnUnreadableRecordRefusesEveryChangeUntilCleared) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"not JSON", "{\"items\": [ {\"id\""},
      {"a newer version's shape", R"({"version":2,"days":{"2026-03-30":["Plan"]}})"},
      {"four on one day",
       [] {
         std::vector<DailyPriority> items;
         for (const char* title : {"One", "Two", "Three", "Four"}) {
           items.push_back({UUID::random(), title, berlinTime(30, 9, 0), {"2026-03-30"}, {}});
         }
         return json::dump(DailyPriorities(items).toJson());
       }()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    reloadWith(row.bytes);
    open();
    EXPECT_EQ(shownError(), unreadableSentence);
    EXPECT_TRUE(view().emptyState()->isVisibleTo(&view()));
    EXPECT_TRUE(view().clearButton()->isEnabled()) << "the record can be cleared";
    if (row.name == std::string("not JSON")) screenshot("unreadable");

    typeAndReturn("Plan the week");
    EXPECT_EQ(shownError(), unreadableSentence);
    EXPECT_EQ(view().field()->text(), "Plan the week");
    EXPECT_EQ(records.rawBytes(RecordDailyPrioritiesStore::key), row.bytes) << "kept as found";

    QTest::mouseClick(view().clearButton(), Qt::LeftButton);
    ASSERT_TRUE(prompt.pending());
    EXPECT_EQ(prompt.asked().back().confirmation.message,
              "Clear all priorities? Focus history is kept separately.");
    EXPECT_EQ(prompt.asked().back().confirmation.confirmLabel, "Clear priorities");
    prompt.confirm();
    EXPECT_EQ(records.rawBytes(RecordDailyPrioritiesStore::key), std::nullopt);
    EXPECT_EQ(shownError(), "");
    EXPECT_FALSE(view().clearButton()->isEnabled());

    QTest::keyClick(view().field(), Qt::Key_Return);
    ASSERT_EQ(stored().items().size(), 1u) << "works normally again";
    EXPECT_EQ(stored().items()[0].title, "Plan the week");
    window().close();
  }
}

TEST_F(TodayWindowTest, AFailedSaveOrClearIsShownAndNothingChanges) {
  open();
  typeAndReturn("Write the report");
  const DailyPriorities before = stored();
  records.setFailing(true);

  pick(todayCard(0), "Remove from today");
  EXPECT_EQ(shownError(),
            "The disk is full, so the change could not be saved. Nothing was changed.");
  EXPECT_EQ(view().todayCards().size(), 1u);
  click(todayCard(0), "Mark done");
  EXPECT_FALSE(shownError().isEmpty());
  EXPECT_FALSE(todayCard(0).priority().accomplishedAt);

  // The stored record cannot be removed: said so, and the plan stays.
  QTest::mouseClick(view().clearButton(), Qt::LeftButton);
  prompt.confirm();
  EXPECT_EQ(shownError(), "The saved data could not be cleared. Nothing was changed.");
  EXPECT_EQ(view().todayCards().size(), 1u);
  screenshot("save-failed");

  records.setFailing(false);
  EXPECT_EQ(stored(), before);
  pick(todayCard(0), "Remove from today");
  EXPECT_EQ(shownError(), "");
  EXPECT_TRUE(view().todayCards().empty());
  EXPECT_EQ(view().earlierCards().size(), 1u) << "still open, so offered among the earlier ones";
}

TEST_F(TodayWindowTest, AfterMidnightYesterdaysOpenPrioritiesWaitInTheEarlierSection) {
  clock.set(berlinTime(30, 23, 59, 30));
  open();
  typeAndReturn("Finish the slides");
  typeAndReturn("Book the train");
  click(todayCard(1), "Mark done");
  EXPECT_EQ(view().countLabel()->text(), "2/3");

  clock.advance(60);
  fireRefresh();
  EXPECT_EQ(view().dateLabel()->text(), "Tuesday, March 31, 2026");
  EXPECT_EQ(view().countLabel()->text(), "0/3");
  EXPECT_TRUE(view().emptyState()->isVisibleTo(&view()));
  ASSERT_EQ(view().earlierCards().size(), 1u) << "the accomplished one stays behind";
  TodayPriorityCard& earlier = *view().earlierCards()[0];
  EXPECT_EQ(earlier.titleLabel()->text(), "Finish the slides");
  EXPECT_EQ(earlier.button("Focus 25m"), nullptr);
  EXPECT_NE(earlier.button("Bring to today"), nullptr);
  EXPECT_EQ(menuEntries(earlier), QStringList{"Delete priority\u2026"});
  screenshot("earlier");

  click(earlier, "Bring to today");
  EXPECT_EQ(view().countLabel()->text(), "1/3");
  EXPECT_TRUE(view().earlierCards().empty());
  EXPECT_FALSE(view().earlierSection()->isVisibleTo(&view()));
  EXPECT_EQ(stored().today(berlinTime(31, 0, 1), berlin()).size(), 1u);
}

TEST_F(TodayWindowTest, BringingForwardOntoAFullDayIsRefused) {
  clock.set(berlinTime(29, 18, 0));
  open();
  typeAndReturn("Old task");
  window().close();
  clock.set(berlinTime(30, 9, 0));
  open();
  for (const char* title : {"One", "Two", "Three"}) typeAndReturn(title);
  ASSERT_EQ(view().earlierCards().size(), 1u);
  click(*view().earlierCards()[0], "Bring to today");
  EXPECT_EQ(shownError(), fullSentence);
  EXPECT_EQ(view().earlierCards().size(), 1u);
}

// At its first size (small enough for a 720-pixel screen under a panel) a full day and an
// earlier day's unfinished priority, long titles that wrap to two lines included, are all
// reached by scrolling the list: the carried card comes whole into view at the end.
TEST_F(TodayWindowTest, AFullDayAndACarriedPriorityAreReachedByScrolling) {
  const struct {
    const char* name;
    QString title;
  } rows[] = {
      {"short titles", QStringLiteral("Draft")},
      {"titles of two lines",
       QStringLiteral("Draft the quarterly report for the board and send it to Ana and "
                      "Marco before lunch")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    store.reset();
    records = InMemoryRecordStore();
    store = std::make_unique<RecordDailyPrioritiesStore>(&records);
    clock.set(berlinTime(29, 18, 0));
    open();
    typeAndReturn(row.title + QStringLiteral(" (yesterday)"));
    window().close();
    clock.set(berlinTime(30, 9, 0));
    open();
    for (const char* n : {" one", " two", " three"})
      typeAndReturn(row.title + QString::fromLatin1(n));
    // The new cards are laid out, and the scroll bar decided, in the loop.
    for (int pass = 0; pass < 3; ++pass) QCoreApplication::processEvents();
    ASSERT_EQ(view().todayCards().size(), 3u);
    ASSERT_EQ(view().earlierCards().size(), 1u);
    EXPECT_EQ(window().size(), QSize(TodayController::width, TodayController::height));
    auto* list = view().findChild<QScrollArea*>(QStringLiteral("list"));
    ASSERT_NE(list, nullptr);
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    TodayPriorityCard& carried = *view().earlierCards()[0];
    const QRect shown(carried.mapTo(list->viewport(), QPoint(0, 0)), carried.size());
    EXPECT_TRUE(list->viewport()->rect().contains(shown))
        << "card " << shown.top() << " to " << shown.bottom() << ", viewport to "
        << list->viewport()->height();
    screenshot(row.title.size() > 10 ? "full-day-long" : "full-day");
    window().close();
  }
}

TEST_F(TodayWindowTest, AnAccomplishedPriorityKeepsItsCardWithoutButtons) {
  open();
  typeAndReturn("Write the report");
  click(todayCard(0), "Mark done");
  TodayPriorityCard& card = todayCard(0);
  EXPECT_TRUE(stored().items()[0].accomplishedAt);
  EXPECT_TRUE(card.findChildren<QPushButton*>().isEmpty());
  const auto* accomplished = card.findChild<QLabel*>("accomplished");
  ASSERT_NE(accomplished, nullptr);
  EXPECT_EQ(accomplished->text(), "Accomplished");
  EXPECT_EQ(card.findChild<QLabel*>("mark")->property("symbol").toString(),
            "checkmark.circle.fill");
  EXPECT_EQ(menuEntries(card), (QStringList{"Remove from today", "Delete priority\u2026"}));
  EXPECT_EQ(card.optionsButton()->accessibleName(), "Priority options for Write the report");
  EXPECT_EQ(view().countLabel()->text(), "1/3");
  screenshot("accomplished");
}

TEST_F(TodayWindowTest, DeleteAsksFirstAndANoKeepsThePriority) {
  open();
  typeAndReturn("Write the report");
  pick(todayCard(0), "Delete priority\u2026");
  ASSERT_TRUE(prompt.pending());
  EXPECT_EQ(prompt.asked().back().confirmation.message, "Delete this priority from all days?");
  EXPECT_EQ(prompt.asked().back().confirmation.confirmLabel, "Delete priority");
  EXPECT_TRUE(prompt.asked().back().confirmation.destructive);
  prompt.cancel();
  EXPECT_EQ(stored().items().size(), 1u);
  EXPECT_EQ(view().todayCards().size(), 1u);

  pick(todayCard(0), "Delete priority\u2026");
  prompt.confirm();
  EXPECT_TRUE(stored().items().empty());
  EXPECT_TRUE(view().todayCards().empty());
  EXPECT_EQ(view().countLabel()->text(), "0/3");
}

TEST_F(TodayWindowTest, FocusButtonsStartThroughTheCallbackAndShowItsRefusal) {
  open(std::nullopt, 40);
  typeAndReturn("Write the report");
  const UUID id = stored().items()[0].id;
  EXPECT_EQ(todayCard(0).button("Focus 25m"), nullptr);
  click(todayCard(0), "Focus 40m");
  click(todayCard(0), "Just 5m");
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].id, id);
  EXPECT_FALSE(started[0].starter);
  EXPECT_EQ(started[1].id, id);
  EXPECT_TRUE(started[1].starter);
  EXPECT_EQ(shownError(), "");

  startRefusal = [] { throw std::runtime_error(busySentence); };
  click(todayCard(0), "Focus 40m");
  EXPECT_EQ(shownError(), busySentence);
  EXPECT_FALSE(stored().items()[0].accomplishedAt) << "starting never marks it done";
  screenshot("start-refused");
}

TEST_F(TodayWindowTest, TheKeyboardReachesTheFocusButton) {
  open();
  typeAndReturn("Write the report");
  QPushButton* focus = todayCard(0).button("Focus 25m");
  focus->setFocus(Qt::TabFocusReason);
  QTest::keyClick(focus, Qt::Key_Return);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_FALSE(started[0].starter);
  EXPECT_EQ(stored().items().size(), 1u) << "Return on a button is not an add";
}

TEST_F(TodayWindowTest, TheRecoveryRowDiscardsOnlyWhenConfirmed) {
  open("Your focus recovery could not be saved. Existing saved data was kept.");
  ASSERT_TRUE(view().recoveryRow()->isVisibleTo(&view()));
  screenshot("recovery");
  QTest::mouseClick(view().discardButton(), Qt::LeftButton);
  EXPECT_EQ(prompt.asked().back().confirmation.message,
            "Discard the saved recovery? Your current in-memory timer will not be stopped.");
  prompt.cancel();
  EXPECT_EQ(discards, 0);
  EXPECT_TRUE(view().recoveryRow()->isVisibleTo(&view()));

  QTest::mouseClick(view().discardButton(), Qt::LeftButton);
  EXPECT_EQ(prompt.asked().back().confirmation.confirmLabel, "Discard saved recovery");
  prompt.confirm();
  EXPECT_EQ(discards, 1);
  EXPECT_FALSE(view().recoveryRow()->isVisibleTo(&view()));
}

TEST_F(TodayWindowTest, ShownAgainWhileOpenItKeepsItsStateAndAfterACloseStartsAfresh) {
  open("Problem");
  QTest::keyClicks(view().field(), "Half typed");
  TodayView* first = &view();
  open(std::nullopt, 50);
  EXPECT_EQ(&view(), first);
  EXPECT_EQ(view().field()->text(), "Half typed");
  EXPECT_TRUE(view().recoveryRow()->isVisibleTo(&view()));

  window().close();
  open(std::nullopt, 50);
  EXPECT_EQ(view().field()->text(), "");
  EXPECT_FALSE(view().recoveryRow()->isVisibleTo(&view()));
}

TEST_F(TodayWindowTest, AChangeMadeElsewhereIsShownAtOnce) {
  open();
  store->apply(
      [&](DailyPriorities& plan) { plan.add("From the calendar", clock.peek(), berlin()); });
  ASSERT_EQ(view().todayCards().size(), 1u);
  EXPECT_EQ(todayCard(0).titleLabel()->text(), "From the calendar");
  EXPECT_EQ(view().countLabel()->text(), "1/3");
}

// Bringing a priority forward re-lays the window under a still pointer: the button that
// lands there takes no click within the double-click interval, and the other cards stay.
TEST_F(TodayWindowTest, ASecondClickOnTheSameSpotAfterBringingForwardChangesNothing) {
  clock.set(berlinTime(29, 18, 0));
  open();
  for (const char* title : {"Old one", "Old two", "Old three"}) typeAndReturn(title);
  window().close();
  clock.set(berlinTime(30, 9, 0));
  open();
  // A height at which nothing scrolls and the card above lands exactly where the chosen one was.
  window().resize(window().width(), 680);
  // A card more today pushes the earlier ones down: the one above the chosen card takes its
  // place.
  typeAndReturn("New one");
  ASSERT_EQ(view().earlierCards().size(), 3u);
  const std::vector<TodayPriorityCard*> others = {view().earlierCards()[0],
                                                  view().earlierCards()[2]};
  QPushButton* bring = view().earlierCards()[1]->button("Bring to today");
  const QPoint aimed = bring->mapToGlobal(bring->rect().center());

  QTest::mouseClick(bring, Qt::LeftButton);
  for (int pass = 0; pass < 3; ++pass) QCoreApplication::processEvents();
  EXPECT_EQ(view().earlierCards(), others) << "the cards left are kept, not made again";
  const DailyPriorities afterFirst = stored();
  ASSERT_EQ(afterFirst.today(clock.peek(), berlin()).size(), 2u);
  QWidget* under = window().childAt(window().mapFromGlobal(aimed));
  ASSERT_EQ(under, others[0]->button("Bring to today")) << "the one above slid under the pointer";
  QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFromGlobal(aimed));
  EXPECT_EQ(stored(), afterFirst);
  EXPECT_TRUE(started.empty());
  EXPECT_FALSE(prompt.pending());
}

}  // namespace
}  // namespace vorlane
