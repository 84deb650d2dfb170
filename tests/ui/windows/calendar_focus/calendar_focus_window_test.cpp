#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "coordination/calendar_focus/calendar_focus_model.h"
#include "coordination/commands/action_error.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "tests/support/fake_calendar_source.h"
#include "tests/support/fake_clock.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_role_check.h"
#include "tests/support/text_samples.h"
#include "ui/kit/desktop_texts.h"
#include "ui/windows/calendar_focus/calendar_focus_controller.h"
#include "ui/windows/calendar_focus/calendar_focus_status.h"
#include "ui/windows/calendar_focus/calendar_focus_view.h"

namespace vorlane {
namespace {

const Calendar berlin("Europe/Berlin", "en_GB");

// Tuesday 2026-03-10 in Berlin.
Date at(int hour, int minute, int day = 10) { return *berlin.date(2026, 3, day, hour, minute); }

struct StartCall {
  int minutes;
  std::string goal;
  std::optional<UUID> priority;
};

class CalendarFocusWindowTest : public ::testing::Test {
 protected:
  CalendarFocusWindowTest() {
    controller = std::make_unique<CalendarFocusController>(CalendarFocusController::Dependencies{
        .clock = clock,
        .calendar = [] { return berlin; },
        .openUrl = [this](const QUrl& url) { opened.push_back(url); },
        .calendarsFolder =
            [this] { return std::optional(folder.path() / "Vorlane" / "calendars"); },
        .watchActivation =
            [this](QObject* context, std::function<void()> onActive) {
              watchers.push_back({QPointer<QObject>(context), std::move(onActive)});
            },
    });
  }
  ~CalendarFocusWindowTest() override {
    // The window goes before the model its content watches.
    controller.reset();
    model.reset();
  }

  CalendarFocusModel& makeModel() {
    model = std::make_unique<CalendarFocusModel>(
        CalendarFocusModel::Dependencies{.source = source,
                                         .clock = clock,
                                         .calendar = [] { return berlin; },
                                         .maximumMinutes = [] { return 25; },
                                         .recordStore = &records});
    return *model;
  }
  // Opted in at an earlier launch, with access granted.
  CalendarFocusModel& enabledModel() {
    records.setData(CalendarFocusOptIn::key, "true");
    source->accessNow = CalendarAccess::granted;
    return makeModel();
  }

  void open() {
    if (!model) makeModel();
    controller->show(*model, priorities,
                     [this](int minutes, const std::string& goal, std::optional<UUID> priority) {
                       if (refusal) std::rethrow_exception(refusal);
                       starts.push_back({minutes, goal, priority});
                     });
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  }
  QWidget* window() const { return controller->host().window(); }
  CalendarFocusView& view() const {
    auto* content = dynamic_cast<CalendarFocusView*>(controller->host().content());
    if (content == nullptr) throw std::logic_error("no calendar focus view on screen");
    return *content;
  }
  std::string statusText() const { return view().status()->shownText().toStdString(); }
  bool shown(const QWidget* widget) const { return widget->isVisibleTo(window()); }
  void click(QPushButton* button) const {
    ASSERT_TRUE(shown(button)) << button->text().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void becomeActive() {
    for (const auto& watcher : watchers) {
      if (watcher.context) watcher.onActive();
    }
  }
  // Checks that no wrapped line is cut off, and saves what the window looks like now when
  // VORLANE_SCREENSHOTS names a folder.
  void screenshot(const char* name) const {
    QApplication::processEvents();
    for (const QLabel* label : window()->findChildren<QLabel*>()) {
      if (!label->isVisible() || !label->wordWrap()) continue;
      EXPECT_GE(label->height(), label->heightForWidth(label->width()))
          << name << ": " << label->text().toStdString();
    }
    const char* shots = std::getenv("VORLANE_SCREENSHOTS");
    if (shots == nullptr) return;
    window()->grab().save(QString::fromUtf8(shots) + "/calendar-focus-" + name + ".png");
  }
  UUID plan(const std::string& title, Date day) {
    UUID id;
    priorities.apply([&](DailyPriorities& plan) { id = plan.add(title, day, berlin); });
    return id;
  }

  struct Watcher {
    QPointer<QObject> context;
    std::function<void()> onActive;
  };

  std::shared_ptr<FakeCalendarSource> source = std::make_shared<FakeCalendarSource>();
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(at(10, 0));
  InMemoryRecordStore records;
  RecordDailyPrioritiesStore priorities{&records};
  testing::TempFolder folder;
  std::vector<QUrl> opened;
  std::vector<Watcher> watchers;
  std::vector<StartCall> starts;
  std::exception_ptr refusal;
  std::unique_ptr<CalendarFocusModel> model;
  std::unique_ptr<CalendarFocusController> controller;
};

TEST_F(CalendarFocusWindowTest, FirstOpeningOffersOnlyTheOptInAndReadsNothing) {
  open();
  EXPECT_EQ(window()->windowTitle().toStdString(), "Find a focus window \u2014 Vorlane");
  EXPECT_EQ(window()->size(), QSize(560, 560));
  EXPECT_NE(window()->minimumSize(), window()->maximumSize()) << "resizable";
  EXPECT_EQ(statusText(), "No calendar is read until you opt in. Disconnect at any time.");
  EXPECT_TRUE(shown(view().enableButton()));
  EXPECT_TRUE(view().enableButton()->isEnabled());
  EXPECT_EQ(view().enableButton()->text(), "Enable calendar suggestions");
  for (const QWidget* hidden : std::initializer_list<const QWidget*>{
           view().picker(), view().goalField(), view().startButton(), view().refreshButton(),
           view().disconnectButton()}) {
    EXPECT_FALSE(shown(hidden)) << hidden->objectName().toStdString();
  }
  EXPECT_TRUE(source->asked.empty());
  screenshot("1-disabled");
}

TEST_F(CalendarFocusWindowTest, EnablingShowsTheRoomAndStartHandsOverTheFreshBlock) {
  open();
  click(view().enableButton());
  EXPECT_EQ(statusText(), "Waiting for permission\u2026");
  EXPECT_FALSE(view().enableButton()->isEnabled());
  screenshot("2-requesting");
  source->answerAccess(0, true);
  EXPECT_EQ(statusText(), "Checking availability\u2026");
  EXPECT_TRUE(shown(view().disconnectButton()));
  EXPECT_FALSE(view().startButton()->isEnabled());
  EXPECT_FALSE(view().goalField()->isEnabled());
  screenshot("3-checking");

  source->answerRead(0, {{at(10, 20), at(10, 50)}});
  EXPECT_EQ(statusText(),
            "You have room for 18 minutes.\nFinish before your next commitment at 10:20.");
  EXPECT_EQ(view().checkedLine()->text().toStdString(),
            "Checked at 10:00. Availability is checked again when you start.");
  EXPECT_EQ(view().startButton()->text(), "Start 18 min");
  EXPECT_EQ(window()->focusWidget(), view().goalField()) << "the keyboard waits in the goal";
  EXPECT_FALSE(view().startButton()->isEnabled()) << "no goal yet";
  QTest::keyClicks(view().goalField(), "   ");
  EXPECT_FALSE(view().startButton()->isEnabled()) << "blanks are no goal";
  view().goalField()->clear();
  QTest::keyClicks(view().goalField(), "  Write   the intro ");
  EXPECT_TRUE(view().startButton()->isEnabled());
  screenshot("4-available");

  // The meeting moved: start reads again and uses what it finds now.
  clock->set(at(10, 5));
  QTest::keyClick(view().goalField(), Qt::Key_Return);
  EXPECT_EQ(statusText(), "Checking availability\u2026");
  EXPECT_TRUE(starts.empty());
  source->answerRead(1, {{at(10, 30), at(11, 0)}});
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].minutes, 23);
  EXPECT_EQ(starts[0].goal, "Write the intro");
  EXPECT_EQ(starts[0].priority, std::nullopt);
  EXPECT_FALSE(window()->isVisible()) << "a start closes the window";

  open();
  EXPECT_TRUE(view().goalField()->text().isEmpty()) << "a new showing starts afresh";
  EXPECT_EQ(view().picker()->currentText(), "A new goal");
}

TEST_F(CalendarFocusWindowTest, APickedPriorityFillsTheGoalUntilADifferentGoalIsTyped) {
  const UUID draft = plan("Draft the plan", at(9, 0));
  const UUID done = plan("Done already", at(9, 0));
  priorities.apply([&](DailyPriorities& p) { p.markAccomplished(done, at(9, 30)); });
  plan("Yesterday's", at(9, 0, 9));
  enabledModel();
  open();
  source->answerRead(0, {});
  QComboBox* picker = view().picker();
  ASSERT_EQ(picker->count(), 2) << "accomplished and other days' priorities are left out";
  EXPECT_EQ(picker->itemText(0), "A new goal");
  EXPECT_EQ(picker->itemText(1), "Draft the plan");

  picker->setFocus();
  QTest::keyClick(picker, Qt::Key_Down);
  EXPECT_EQ(view().goalField()->text(), "Draft the plan");
  EXPECT_EQ(view().priorityID(), draft);
  EXPECT_EQ(view().startButton()->text(), "Start 25 min");
  screenshot("5-priority");

  QTest::keyClicks(view().goalField(), " now");
  EXPECT_EQ(view().priorityID(), std::nullopt) << "a different goal is a new goal";
  EXPECT_EQ(picker->currentIndex(), 0);
  QTest::keyClick(picker, Qt::Key_Down);
  QTest::keyClick(picker, Qt::Key_Up);
  EXPECT_EQ(view().goalField()->text(), "Draft the plan") << "\"A new goal\" keeps the text";

  QTest::keyClick(picker, Qt::Key_Down);
  click(view().startButton());
  source->answerRead(1, {});
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].goal, "Draft the plan");
  EXPECT_EQ(starts[0].priority, draft);
}

// Regression: Escape in the open "Focus on" list closed the whole window and lost the goal.
TEST_F(CalendarFocusWindowTest, EscapeInAnOpenListClosesOnlyTheList) {
  plan("Draft the plan", at(9, 0));
  enabledModel();
  open();
  source->answerRead(0, {});
  QTest::keyClicks(view().goalField(), "Write the intro");
  QComboBox* picker = view().picker();
  picker->showPopup();
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
  QWidget* list = QApplication::activePopupWidget()->focusWidget();
  QTest::keyClick(list ? list : QApplication::activePopupWidget(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
  EXPECT_TRUE(window()->isVisible());
  EXPECT_EQ(view().goalField()->text(), "Write the intro");
  // With the list closed, Escape closes the window as before.
  QTest::keyClick(view().goalField(), Qt::Key_Escape);
  EXPECT_FALSE(window()->isVisible());
}

// A priority with no place to break, or one in right-to-left letters, leaves the window its
// size and the list inside it.
TEST_F(CalendarFocusWindowTest, LongPrioritiesLeaveTheWindowItsSize) {
  plan(std::string(120, 'W'), at(9, 0));
  plan(repeated("\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A ", 11), at(9, 0));
  plan("Draft", at(9, 0));
  enabledModel();
  open();
  source->answerRead(0, {});
  QApplication::processEvents();
  EXPECT_EQ(window()->size(),
            QSize(CalendarFocusController::width, CalendarFocusController::height));
  QComboBox* picker = view().picker();
  ASSERT_EQ(picker->count(), 4);
  const QRect inWindow(picker->mapTo(window(), QPoint(0, 0)), picker->size());
  EXPECT_TRUE(window()->rect().contains(inWindow)) << picker->width();
}

TEST_F(CalendarFocusWindowTest, EachRefusalShowsItsReasonAndNoWayToStart) {
  enum class Answer { busyNow, readFails, accessRefused };
  struct Row {
    const char* name;
    Answer answer;
    std::string status;
    bool startShown;
  };
  const Row rows[] = {
      {"no gap", Answer::busyNow,
       "No clear five-minute window right now. You may be busy, near the end of the day, or "
       "using a focus preset shorter than five minutes.",
       true},
      {"the calendar cannot be read", Answer::readFails,
       "Calendar availability could not be read. No focus session was started. Try refreshing.",
       true},
      {"access refused", Answer::accessRefused,
       "Calendar reading permission is off. You can change it in Settings, then enable "
       "suggestions again.\nOpen Calendar privacy settings",
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    source = std::make_shared<FakeCalendarSource>();
    makeModel();
    open();
    click(view().enableButton());
    source->answerAccess(0, row.answer != Answer::accessRefused);
    if (row.answer == Answer::busyNow) source->answerRead(0, {{at(9, 30), at(11, 0)}});
    if (row.answer == Answer::readFails) source->failRead(0);
    EXPECT_EQ(statusText(), row.status);
    EXPECT_EQ(view().status()->showsFailure(), row.answer == Answer::readFails);
    EXPECT_EQ(shown(view().startButton()), row.startShown);
    EXPECT_FALSE(view().startButton()->isEnabled());
    EXPECT_EQ(view().startButton()->text(), "Start focus");
    screenshot(row.answer == Answer::busyNow     ? "6-no-gap"
               : row.answer == Answer::readFails ? "7-read-failed"
                                                 : "8-access-refused");
    window()->close();
  }
}

// There is no desktop page for calendar permission: the link shows the calendars folder and,
// after a refusal, asks again, so the user is never locked out.
TEST_F(CalendarFocusWindowTest, ThePrivacyLinkShowsTheFolderAndAsksAgainAfterARefusal) {
  struct Row {
    const char* name;
    CalendarAccess before;
    bool asksAgain;
  };
  const Row rows[] = {
      {"refused earlier", CalendarAccess::refused, true},
      {"prompt closed without an answer", CalendarAccess::notAsked, false},
  };
  const auto calendars = folder.path() / "Vorlane" / "calendars";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(folder.path() / "Vorlane");
    opened.clear();
    source = std::make_shared<FakeCalendarSource>();
    source->accessNow = row.before;
    makeModel();
    open();
    click(view().enableButton());
    if (row.before == CalendarAccess::notAsked) source->dismissAccess(0);
    const std::size_t asked = source->accessRequests.size();
    click(view().status()->settingsButton());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(calendars.string())));
    ASSERT_TRUE(std::filesystem::is_directory(calendars));
    EXPECT_EQ(std::filesystem::status(calendars).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    EXPECT_EQ(source->accessRequests.size(), asked + (row.asksAgain ? 1 : 0));
    if (row.asksAgain) {
      EXPECT_EQ(statusText(), "Waiting for permission\u2026");
      source->answerAccess(asked, true);
      EXPECT_EQ(statusText(), "Checking availability\u2026");
      EXPECT_TRUE(model->isEnabled());
    }
    window()->close();
  }
}

TEST_F(CalendarFocusWindowTest, ARefusedStartShowsTheSentenceInRedAndStaysOpen) {
  struct Row {
    const char* name;
    std::exception_ptr refusal;
    std::string shown;
  };
  const Row rows[] = {
      {"a session runs", std::make_exception_ptr(ActionError(ActionErrorCase::activeSession)),
       "A session is already active. Resume it, or stop it before starting a new focus."},
      {"a throw without words", std::make_exception_ptr(42), "The focus could not be started."},
  };
  enabledModel();
  int read = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    open();
    source->answerRead(read++, {});
    QTest::keyClicks(view().goalField(), "Tidy the inbox");
    refusal = row.refusal;
    click(view().startButton());
    source->answerRead(read++, {});
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(statusText(), row.shown);
    EXPECT_TRUE(view().status()->showsFailure());
    EXPECT_EQ(view().goalField()->text(), "Tidy the inbox");
    screenshot("9-start-refused");
    window()->close();
  }
  EXPECT_TRUE(starts.empty());
}

TEST_F(CalendarFocusWindowTest, ClosingWhileAReadRunsDropsItsLateAnswer) {
  enabledModel();
  open();
  EXPECT_EQ(statusText(), "Checking availability\u2026") << "a stored opt-in reads on opening";
  QTest::keyClick(view().goalField(), Qt::Key_Escape);
  EXPECT_FALSE(window()->isVisible());
  EXPECT_EQ(model->state(), CalendarFocusState::disabled());
  EXPECT_TRUE(model->isEnabled()) << "the opt-in stays";
  source->answerRead(0, {});
  EXPECT_EQ(model->state(), CalendarFocusState::disabled());

  // A start under way when the window goes: nothing starts.
  open();
  ASSERT_EQ(source->asked.size(), 2u) << "reopening reads again";
  source->answerRead(1, {});
  QTest::keyClicks(view().goalField(), "Plan the week");
  click(view().startButton());
  click(view().closeButton());
  source->answerRead(2, {});
  QApplication::processEvents();
  EXPECT_TRUE(starts.empty());
  EXPECT_EQ(model->state(), CalendarFocusState::disabled());
}

TEST_F(CalendarFocusWindowTest, BecomingActiveReadsOnceAndNotWhileAReadRuns) {
  enabledModel();
  open();
  becomeActive();
  EXPECT_EQ(source->asked.size(), 1u) << "no second read while one runs";
  source->answerRead(0, {});
  becomeActive();
  EXPECT_EQ(source->asked.size(), 2u);
  source->answerRead(1, {});
  click(view().refreshButton());
  EXPECT_EQ(source->asked.size(), 3u);
  source->answerRead(2, {});

  click(view().disconnectButton());
  EXPECT_EQ(statusText(), "No calendar is read until you opt in. Disconnect at any time.");
  EXPECT_TRUE(shown(view().enableButton()));
  becomeActive();
  EXPECT_EQ(source->asked.size(), 3u) << "nothing is read once disconnected";

  window()->close();
  QApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (const auto& watcher : watchers)
    EXPECT_TRUE(watcher.context.isNull()) << "gone with the view";
}

// A start that arrives once the window has gone (or its controller) reaches nobody.
TEST_F(CalendarFocusWindowTest, AStartIsPassedOnOnlyWhileTheWindowIsOnScreen) {
  enabledModel();
  const auto start = [this](int minutes, const std::string& goal, std::optional<UUID> id) {
    starts.push_back({minutes, goal, id});
  };
  const std::string closed = CalendarFocusController::closedSentence;
  const auto refusal = [](const CalendarFocusView::Start& guarded) {
    try {
      guarded(20, "Sketch", std::nullopt);
    } catch (const std::exception& error) {
      return std::string(error.what());
    }
    return std::string("passed on");
  };
  const auto beforeShowing = controller->guardedStart(start);
  EXPECT_EQ(refusal(beforeShowing), closed) << "no window yet";
  open();
  const auto whileShown = controller->guardedStart(start);
  EXPECT_EQ(refusal(whileShown), "passed on");
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].minutes, 20);
  window()->close();
  EXPECT_EQ(refusal(whileShown), closed);
  open();
  controller.reset();
  EXPECT_EQ(refusal(whileShown), closed) << "the controller has gone";
  EXPECT_EQ(starts.size(), 1u);
}

// The folder cannot be made, or the desktop's opener throws: the window stays and says so
// only when there is something to say.
TEST_F(CalendarFocusWindowTest, APrivacyLinkThatCannotOpenTheFolderLeavesTheWindowWorking) {
  struct Row {
    const char* name;
    bool fileInTheWay;
    bool openerThrows;
    std::size_t opens;
    std::string problem;
  };
  const Row rows[] = {
      {"a file where the folder belongs", true, false, 0, ""},
      {"the opener throws", false, true, 1, "no file manager"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(folder.path() / "Vorlane");
    if (row.fileInTheWay) {
      std::filesystem::create_directories(folder.path() / "Vorlane");
      testing::writeFile(folder.path() / "Vorlane" / "calendars", "not a folder");
    }
    std::size_t opens = 0;
    controller = std::make_unique<CalendarFocusController>(CalendarFocusController::Dependencies{
        .clock = clock,
        .calendar = [] { return berlin; },
        .openUrl =
            [&opens, &row](const QUrl&) {
              ++opens;
              if (row.openerThrows) throw std::runtime_error("no file manager");
            },
        .calendarsFolder =
            [this] { return std::optional(folder.path() / "Vorlane" / "calendars"); },
        .watchActivation = nullptr,
    });
    source = std::make_shared<FakeCalendarSource>();
    source->accessNow = CalendarAccess::refused;
    makeModel();
    open();
    click(view().enableButton());
    click(view().status()->settingsButton());
    EXPECT_EQ(opens, row.opens);
    EXPECT_EQ(source->accessRequests.size(), 1u) << "asked again all the same";
    QLabel* problem = view().findChild<QLabel*>("problem");
    ASSERT_NE(problem, nullptr);
    EXPECT_EQ(shown(problem), !row.problem.empty());
    if (!row.problem.empty()) {
      EXPECT_EQ(problem->text().toStdString(), row.problem);
    }
    EXPECT_TRUE(window()->isVisible());
    window()->close();
  }
}

TEST_F(CalendarFocusWindowTest, ItsLinesTakeTheSharedTextSizes) {
  open();
  const CalendarFocusView& shown = view();
  EXPECT_TRUE(testing::sizedAs(testing::labelShowing(shown, "Make a little space for focus"),
                               TextRole::title2, QFont::Bold));
  EXPECT_TRUE(testing::sizedAs(testing::labelShowing(shown, "Optional calendar access"),
                               TextRole::headline));
  EXPECT_TRUE(testing::sizedAs(shown.findChild<QLabel*>("status-headline"), TextRole::headline));
  EXPECT_TRUE(testing::sizedAs(shown.findChild<QLabel*>("checked-at"), TextRole::caption));
  EXPECT_TRUE(testing::sizedAs(
      testing::labelShowing(shown, QString::fromUtf8(calendarReadsOnlyAvailability)),
      TextRole::callout));
}

}  // namespace
}  // namespace vorlane
