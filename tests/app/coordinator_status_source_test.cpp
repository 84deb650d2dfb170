// The status item's reading of the coordinator and its commands, through the adapter the
// application gives it, on a real coordinator over fakes.

#include "app/coordinator_status_source.h"

#include <gmock/gmock.h>

#include "coordination/calendar_focus/calendar_focus_model.h"
#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/fake_calendar_source.h"
#include "tests/support/fake_reminder_editor_window.h"
#include "ui/tray/status_item_actions.h"
#include "ui/tray/status_menu_model.h"
#include "ui/tray/status_window_rows.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

class CoordinatorStatusSourceTest : public CoordinatorTest {
 protected:
  void SetUp() override {
    buildAndStart();
    stateChanges = 0;
    StatusItemHooks hooks;
    hooks.moveMascot = [this](double h) { moves.push_back(h); };
    hooks.resetMascot = [this] { ++resets; };
    hooks.openWindow[WindowKind::about] = [this] { ++abouts; };
    hooks.quit = [this] { ++quits; };
    hooks.reportFailure = [this](const std::string& sentence) { failures.push_back(sentence); };
    actions =
        std::make_unique<StatusItemActions>(std::make_shared<CoordinatorStatusSource>(coordinator),
                                            preferences, std::move(hooks), reminderEditor);
  }

  Reminder addReminder(const std::string& text) { return coordinator->reminders().add(text); }

  std::shared_ptr<FakeReminderEditorWindow> reminderEditor =
      std::make_shared<FakeReminderEditorWindow>();
  std::unique_ptr<StatusItemActions> actions;
  std::vector<double> moves;
  int resets = 0;
  int abouts = 0;
  int quits = 0;
  std::vector<std::string> failures;
};

TEST_F(CoordinatorStatusSourceTest, SnapshotReadsTheCoordinatorAtThisMoment) {
  auto s = actions->snapshot(true);
  EXPECT_EQ(s.nextVisit, coordinator->status().nextVisit);
  EXPECT_EQ(s.statusText, "");
  EXPECT_TRUE(s.trayShown);
  EXPECT_TRUE(s.opens(WindowKind::today) && s.opens(WindowKind::reminderEditor) && s.mascot);
  EXPECT_FALSE(s.opens(WindowKind::preferences));    // no hook given
  EXPECT_FALSE(s.opens(WindowKind::calendarFocus));  // a window but no calendar model

  const Reminder water = addReminder("drink water in 10 minutes");
  coordinator->mute(MuteDuration::fifteenMinutes);
  s = actions->snapshot(false);
  EXPECT_TRUE(s.muted);
  EXPECT_EQ(s.muteExpiry, "11:14");
  ASSERT_EQ(s.reminders.size(), 1u);
  EXPECT_EQ(s.reminders[0].id, water.id);
  EXPECT_EQ(s.reminders[0].phrase, water.phrase);
  EXPECT_EQ(s.reminders[0].schedule, water.scheduleDescription(berlin, clock->now()));
  EXPECT_EQ(s.lastAddedPhrase, water.phrase);

  // A mute whose time has passed but that is not cleared yet no longer counts.
  clock->set(at(11, 20));
  EXPECT_FALSE(actions->snapshot(true).muted);
}

TEST_F(CoordinatorStatusSourceTest, EachCommandReachesItsOperation) {
  actions->run(StatusCommand::vorlaneNow, {});
  EXPECT_EQ(presenter->performed.size(), 1u);
  presenter->finishVisit();

  actions->run(StatusCommand::openWindow, WindowKind::quickCommand);
  EXPECT_EQ(windows.quickCommand->shows, 1);
  actions->run(StatusCommand::openWindow, WindowKind::today);
  actions->run(StatusCommand::openWindow, WindowKind::focusHistory);
  actions->run(StatusCommand::openWindow, WindowKind::weeklyReflection);
  EXPECT_EQ(windows.today->shows, 1);
  EXPECT_EQ(windows.focusHistory->shows, 1);
  EXPECT_EQ(windows.weeklyReflection->shows, 1);

  actions->run(StatusCommand::startPomodoro, {});
  EXPECT_EQ(windows.focusSessionEditor->shows, 1);
  windows.focusSessionEditor->start("draft");
  EXPECT_TRUE(coordinator->focus().pomodoro().phase().is<PomodoroSession::Phase::Working>());
  actions->run(StatusCommand::extendSession, {});
  EXPECT_EQ(coordinator->focus().pomodoro().endsAt(), at(10, 59) + 30 * 60);
  actions->run(StatusCommand::pauseSession, {});
  EXPECT_TRUE(coordinator->focus().pomodoro().isPaused());
  EXPECT_EQ(windows.resumeNote->shows, 1);
  actions->run(StatusCommand::editNextStep, {});
  EXPECT_EQ(windows.resumeNote->shows, 2);
  actions->run(StatusCommand::resumeSession, {});
  EXPECT_FALSE(coordinator->focus().pomodoro().isPaused());
  actions->run(StatusCommand::cancelPomodoro, {});
  EXPECT_FALSE(coordinator->focus().pomodoro().isRunning());

  actions->run(StatusCommand::muteFor, std::string("oneHour"));
  EXPECT_EQ(coordinator->reminders().mutedUntil(), at(11, 59));
  actions->run(StatusCommand::unmute, {});
  EXPECT_FALSE(coordinator->reminders().mutedUntil());

  actions->run(StatusCommand::moveMascot, 0.5);
  actions->run(StatusCommand::resetMascot, {});
  actions->run(StatusCommand::openWindow, WindowKind::about);
  actions->run(StatusCommand::quit, {});
  EXPECT_THAT(moves, ElementsAre(0.5));
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(abouts, 1);
  EXPECT_EQ(quits, 1);
}

TEST_F(CoordinatorStatusSourceTest, DataOfTheWrongKindDoesNothing) {
  const Reminder kept = addReminder("stretch in 10 minutes");
  actions->run(StatusCommand::muteFor, 1.0);
  actions->run(StatusCommand::muteFor, std::string("OneHour"));
  actions->run(StatusCommand::moveMascot, std::string("left"));
  actions->run(StatusCommand::deleteReminder, std::string(kept.id.toString()));
  EXPECT_FALSE(coordinator->reminders().mutedUntil());
  EXPECT_TRUE(moves.empty());
  EXPECT_EQ(coordinator->reminders().reminders().size(), 1u);

  actions->run(StatusCommand::deleteReminder, kept.id);
  EXPECT_TRUE(coordinator->reminders().reminders().empty());
}

TEST_F(CoordinatorStatusSourceTest, RemindersAddEditUndoAndAnEditOfAGoneReminder) {
  actions->run(StatusCommand::addReminder, {});
  ASSERT_EQ(reminderEditor->shows, 1);
  EXPECT_FALSE(reminderEditor->reminder);
  const Reminder added = reminderEditor->save("stand up in 10 minutes", "ignored");
  EXPECT_EQ(coordinator->reminders().reminders().size(), 1u);

  actions->run(StatusCommand::editReminder, added.id);
  ASSERT_EQ(reminderEditor->shows, 2);
  EXPECT_EQ(reminderEditor->reminder->id, added.id);
  reminderEditor->save("sit down", "");
  EXPECT_EQ(coordinator->reminders().reminders()[0].phrase, "sit down");

  actions->run(StatusCommand::undoLastReminder, {});
  EXPECT_TRUE(coordinator->reminders().reminders().empty());

  // Deleted while the menu was open: nothing opens, the reason is logged.
  actions->run(StatusCommand::editReminder, added.id);
  actions->run(StatusCommand::editReminder, 0.0);
  EXPECT_EQ(reminderEditor->shows, 2);
  EXPECT_THAT(logMessages(log, "reminders"),
              ::testing::Contains("cannot edit a reminder that is no longer saved").Times(2));
}

TEST_F(CoordinatorStatusSourceTest, ClickThroughAndUndoingTheLastSessionRedrawTheItem) {
  std::vector<bool> written;
  const auto watch = preferences->changes().subscribe(
      [&](const Preferences& p) { written.push_back(p.mascotClickThrough); });
  const int applied = presenter->presenceApplications;
  actions->run(StatusCommand::toggleMascotClicks, {});
  EXPECT_TRUE(preferences->preferences().mascotClickThrough);
  // One write; the mascot and the coordinator hear of it from the store, not from the menu.
  EXPECT_EQ(written, std::vector<bool>{true});
  EXPECT_EQ(presenter->presenceApplications, applied + 1);
  EXPECT_EQ(stateChanges, 1);
  EXPECT_TRUE(actions->snapshot(true).clickThrough);
  actions->run(StatusCommand::toggleMascotClicks, {});
  EXPECT_FALSE(preferences->preferences().mascotClickThrough);

  coordinator->focus().startRequestedFocus(5, "tidy");
  tickAt(at(11, 5));
  ASSERT_EQ(coordinator->focus().pomodoro().completedToday(), 1);
  stateChanges = 0;
  actions->run(StatusCommand::discardLastSession, {});
  EXPECT_EQ(coordinator->focus().pomodoro().completedToday(), 0);
  EXPECT_EQ(stateChanges, 1);
}

TEST_F(CoordinatorStatusSourceTest, NothingHappensOnceTheCoordinatorIsGone) {
  coordinator.reset();
  const auto s = actions->snapshot(true);
  EXPECT_EQ(s.nextVisit, "");
  actions->run(StatusCommand::vorlaneNow, {});
  actions->run(StatusCommand::quit, {});  // quitting needs no coordinator
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(presenter->performed.empty());
}

// The coordinator's windows, as the source reports them, each opened by its row's command.
TEST_F(CoordinatorStatusSourceTest, EachRowOfTheCoordinatorsWindowsOpensIt) {
  fresh(at(10, 59), [this](VisitCoordinator::Dependencies& given) {
    given.calendarFocus = std::make_shared<CalendarFocusModel>(
        CalendarFocusModel::Dependencies{.source = std::make_shared<FakeCalendarSource>(),
                                         .clock = clock,
                                         .calendar = [] { return berlin; },
                                         .maximumMinutes = [] { return 25; },
                                         .recordStore = &records});
  });
  presenter->finishVisit();
  CoordinatorStatusSource source(coordinator);
  const std::map<WindowKind, const int*> shows{
      {WindowKind::quickCommand, &windows.quickCommand->shows},
      {WindowKind::focusSessionEditor, &windows.focusSessionEditor->shows},
      {WindowKind::resumeNote, &windows.resumeNote->shows},
      {WindowKind::today, &windows.today->shows},
      {WindowKind::focusHistory, &windows.focusHistory->shows},
      {WindowKind::weeklyReflection, &windows.weeklyReflection->shows},
      {WindowKind::calendarFocus, &windows.calendar->shows},
  };
  std::set<WindowKind> reported = source.snapshot(StatusReading::menu, 0).windows;
  EXPECT_EQ(reported.size(), shows.size());
  for (const auto& [kind, count] : shows) {
    SCOPED_TRACE(static_cast<int>(kind));
    EXPECT_TRUE(reported.contains(kind));
    const StatusWindowRow* row = statusWindowRow(kind);
    ASSERT_NE(row, nullptr);
    // The next step is edited only while a focus is paused.
    if (kind == WindowKind::resumeNote) {
      startFocus();
      coordinator->focus().pauseSession();
    }
    const int before = *count;
    source.run(row->command, row->kind);
    EXPECT_EQ(*count, before + 1);
  }
}

// Regression: a reminder saved while Vorlane closed was refused with "There is no running
// session to pause or stop.", which was not what happened.
TEST_F(CoordinatorStatusSourceTest, ASaveAfterTheCoordinatorIsGoneSaysVorlaneIsClosing) {
  const Reminder kept = addReminder("stretch in 10 minutes");
  actions->run(StatusCommand::addReminder, {});
  const auto add = reminderEditor->save;
  actions->run(StatusCommand::editReminder, kept.id);
  const auto edit = reminderEditor->save;
  coordinator.reset();
  for (const auto& save : {add, edit}) {
    try {
      save("drink water in 5 minutes", "");
      ADD_FAILURE() << "saved with no coordinator";
    } catch (const ActionError& e) {
      EXPECT_EQ(e.value(), ActionErrorCase::applicationClosing);
      EXPECT_STREQ(e.what(), "Vorlane is closing. Nothing was changed.");
    }
  }
  EXPECT_EQ(reminders->reminders().size(), 1u);
}

// The menu's changes of the reminders when the store refuses them: each is told in the
// store's sentence, and the menu lists what is stored, no more and no less.
TEST_F(CoordinatorStatusSourceTest, ChangesTheStoreRefusesAreToldAndTheMenuListsOnlyWhatIsStored) {
  const Reminder stretch = addReminder("in 1m stretch");
  clock->set(at(11, 0));
  ticker->fire();  // its visit makes it the one to snooze
  presenter->finishVisit();
  ASSERT_EQ(coordinator->reminders().lastFired(), stretch);
  const auto listed = [&] {
    std::vector<std::string> phrases;
    for (const auto& row : actions->snapshot(true).reminders) phrases.push_back(row.phrase);
    return phrases;
  };
  reminders->failWith(LocalJSONDocumentFailure::notWritable);
  const std::string notAllowed(describe(LocalJSONDocumentFailure::notWritable));

  actions->run(StatusCommand::deleteReminder, stretch.id);
  actions->run(StatusCommand::undoLastReminder, {});
  actions->run(StatusCommand::snoozeLastReminder, {});
  EXPECT_EQ(failures, std::vector<std::string>(3, notAllowed));
  EXPECT_EQ(reminders->refused, 3);
  EXPECT_THAT(listed(), ElementsAre("stretch"));
  EXPECT_EQ(coordinator->reminders().lastAdded(), stretch) << "still there to undo";

  // The editor's saves throw the same sentence for the editor to show.
  actions->run(StatusCommand::addReminder, {});
  EXPECT_EQ(refusal([&] { reminderEditor->save("in 5m tea", ""); }), notAllowed);
  actions->run(StatusCommand::editReminder, stretch.id);
  EXPECT_EQ(refusal([&] { reminderEditor->save("stretch legs", "in 5m"); }), notAllowed);
  EXPECT_THAT(listed(), ElementsAre("stretch"));
  EXPECT_EQ(failures.size(), 3u) << "the editor tells its own";

  // Once the store takes them, the same commands go through and nothing more is told.
  reminders->refusal = nullptr;
  actions->run(StatusCommand::snoozeLastReminder, {});
  EXPECT_THAT(listed(), ElementsAre("stretch", "stretch"));
  actions->run(StatusCommand::undoLastReminder, {});
  actions->run(StatusCommand::deleteReminder, stretch.id);
  EXPECT_TRUE(listed().empty());
  EXPECT_EQ(failures.size(), 3u);

  // Without the hook a failure is still logged, and nothing escapes the menu.
  addReminder("in 1m water");
  reminders->failWith(LocalJSONDocumentFailure::diskFull);
  StatusItemActions silent(std::make_shared<CoordinatorStatusSource>(coordinator), preferences, {},
                           reminderEditor);
  EXPECT_NO_THROW(silent.run(StatusCommand::undoLastReminder, {}));
  EXPECT_THAT(logMessages(log, "lifecycle"),
              ::testing::Contains("a menu command failed: " +
                                  std::string(describe(LocalJSONDocumentFailure::diskFull))));
}

// The menu reads only the rows it shows, with their count; the icon reads none.
TEST_F(CoordinatorStatusSourceTest, TheMenuReadsItsRowsOfManyRemindersAndTheIconNone) {
  for (std::size_t i = 0; i < 1'434; ++i) {
    reminders->add(Reminder(UUID::random(), "water " + std::to_string(i),
                            VisitTrigger::oneOff(at(12, 0) + double(i)), at(10, 0)));
  }
  const std::vector<Reminder> stored = reminders->reminders();
  const StatusSnapshot menu = actions->snapshot(true, StatusReading::menu);
  EXPECT_EQ(menu.reminderCount, stored.size());
  ASSERT_EQ(menu.reminders.size(), menuReminderRows);
  EXPECT_EQ(menu.reminders.back().id, stored[menuReminderRows - 1].id);
  EXPECT_EQ(menu.reminders.back().schedule,
            stored[menuReminderRows - 1].scheduleDescription(berlin, clock->now()));
  ASSERT_TRUE(menu.formatCount);
  EXPECT_EQ(menu.formatCount(1'434), "1,434");  // the user's calendar is en_GB
  const auto entries = statusMenu(menu);
  const auto row = std::find_if(entries.begin(), entries.end(), [](const StatusMenuEntry& e) {
    return e.title.starts_with("Reminders (");
  });
  ASSERT_NE(row, entries.end());
  EXPECT_EQ(row->title, "Reminders (1,434)");
  EXPECT_EQ(row->children.back().title,
            "More reminders (" + menu.formatCount(1'434 - menuReminderRows) + ")");

  // A later page reads the rows from its first on, the count the same.
  const StatusSnapshot page = actions->snapshot(true, StatusReading::menu, 1'400);
  EXPECT_EQ(page.firstReminder, 1'400u);
  EXPECT_EQ(page.reminderCount, stored.size());
  ASSERT_EQ(page.reminders.size(), 34u);
  EXPECT_EQ(page.reminders.front().id, stored[1'400].id);
  EXPECT_EQ(page.reminders.back().schedule,
            stored.back().scheduleDescription(berlin, clock->now()));
  const StatusSnapshot past = actions->snapshot(true, StatusReading::menu, 2'000);
  EXPECT_EQ(past.firstReminder, stored.size()) << "past the end: no row";
  EXPECT_TRUE(past.reminders.empty());

  const StatusSnapshot icon = actions->snapshot(true, StatusReading::icon);
  EXPECT_TRUE(icon.reminders.empty());
  EXPECT_EQ(icon.nextVisit, menu.nextVisit);
}

// Regression: "Pause session" chosen in a menu left open while the focus ended did nothing
// visible. Each session row is refused in the coordinator's own sentence once its state has
// gone; while it holds, the command runs.
TEST_F(CoordinatorStatusSourceTest, ASessionRowWhoseStateHasGoneIsRefusedInItsSentence) {
  for (const StatusCommand command : {StatusCommand::pauseSession, StatusCommand::cancelPomodoro,
                                      StatusCommand::extendSession, StatusCommand::skipBreak}) {
    actions->run(command, {});
  }
  actions->run(StatusCommand::resumeSession, {});
  EXPECT_THAT(failures, ElementsAre(noRunning, noRunning, noRunning, noRunning, notPaused));

  failures.clear();
  actions->run(StatusCommand::startPomodoro, {});
  windows.focusSessionEditor->start("draft");
  actions->run(StatusCommand::pauseSession, {});
  EXPECT_TRUE(coordinator->focus().pomodoro().isPaused());
  actions->run(StatusCommand::pauseSession, {});  // paused already: nothing runs to pause
  EXPECT_THAT(failures, ElementsAre(noRunning));
  EXPECT_TRUE(coordinator->focus().pomodoro().isPaused());
}

// With a finished break shown nothing runs: extending, skipping, pausing and resuming are
// refused and leave the panel; stopping takes it down.
TEST_F(CoordinatorStatusSourceTest, WithAFinishedBreakShownOnlyStoppingApplies) {
  coordinator->focus().startRequestedFocus(25, "draft");
  tickAt(*coordinator->focus().pomodoro().endsAt());
  presenter->finishVisit();
  coordinator->focus().startBreak();
  tickAt(*coordinator->focus().pomodoro().endsAt());
  presenter->finishVisit();
  const PomodoroSession card = coordinator->focus().pomodoro();
  ASSERT_TRUE(card.completion());
  for (const StatusCommand command : {StatusCommand::extendSession, StatusCommand::skipBreak,
                                      StatusCommand::pauseSession, StatusCommand::resumeSession}) {
    actions->run(command, {});
  }
  EXPECT_THAT(failures, ElementsAre(noRunning, noRunning, noRunning, notPaused));
  EXPECT_EQ(coordinator->focus().pomodoro(), card);

  actions->run(StatusCommand::cancelPomodoro, {});
  EXPECT_EQ(failures.size(), 4u);
  EXPECT_FALSE(coordinator->focus().pomodoro().completion());
}

}  // namespace
}  // namespace vorlane
