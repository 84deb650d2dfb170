// The status item's reading of the coordinator and its commands, on a real coordinator over
// fakes.

#include <gmock/gmock.h>

#include "tests/coordination/coordinator_harness.h"
#include "ui/tray/status_item_actions.h"
#include "ui/tray/status_menu_model.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

class StatusItemActionsTest : public CoordinatorTest {
 protected:
  void SetUp() override {
    buildAndStart();
    stateChanges = 0;
    StatusItemHooks hooks;
    hooks.moveMascot = [this](double h) { moves.push_back(h); };
    hooks.resetMascot = [this] { ++resets; };
    hooks.openAbout = [this] { ++abouts; };
    hooks.quit = [this] { ++quits; };
    actions = std::make_unique<StatusItemActions>(coordinator, preferences, std::move(hooks));
  }

  Reminder addReminder(const std::string& text) { return coordinator->addReminder(text); }

  std::unique_ptr<StatusItemActions> actions;
  std::vector<double> moves;
  int resets = 0;
  int abouts = 0;
  int quits = 0;
};

TEST_F(StatusItemActionsTest, SnapshotReadsTheCoordinatorAtThisMoment) {
  auto s = actions->snapshot(true);
  EXPECT_EQ(s.nextVisit, coordinator->nextVisitDescription());
  EXPECT_EQ(s.statusText, "");
  EXPECT_TRUE(s.trayShown);
  EXPECT_TRUE(s.available.today && s.available.reminderEditor && s.available.mascot);
  EXPECT_FALSE(s.available.preferences);  // no hook given
  EXPECT_FALSE(s.available.calendarFocus);  // a window but no calendar model

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

TEST_F(StatusItemActionsTest, EachCommandReachesItsOperation) {
  actions->run(StatusCommand::vorlaneNow, {});
  EXPECT_EQ(presenter->performed.size(), 1u);
  presenter->finishVisit();

  actions->run(StatusCommand::quickCommands, {});
  EXPECT_EQ(windows.quickCommands->shows, 1);
  actions->run(StatusCommand::showToday, {});
  actions->run(StatusCommand::showFocusHistory, {});
  actions->run(StatusCommand::showReflection, {});
  EXPECT_EQ(windows.today->shows, 1);
  EXPECT_EQ(windows.focusHistory->shows, 1);
  EXPECT_EQ(windows.reflection->shows, 1);

  actions->run(StatusCommand::startPomodoro, {});
  EXPECT_EQ(windows.focusEditor->shows, 1);
  windows.focusEditor->start("draft");
  EXPECT_TRUE(coordinator->pomodoro().phase().is<PomodoroSession::Phase::Working>());
  actions->run(StatusCommand::extendSession, {});
  EXPECT_EQ(coordinator->pomodoro().endsAt(), at(10, 59) + 30 * 60);
  actions->run(StatusCommand::pauseSession, {});
  EXPECT_TRUE(coordinator->pomodoro().isPaused());
  EXPECT_EQ(windows.resumeNotes->shows, 1);
  actions->run(StatusCommand::editNextStep, {});
  EXPECT_EQ(windows.resumeNotes->shows, 2);
  actions->run(StatusCommand::resumeSession, {});
  EXPECT_FALSE(coordinator->pomodoro().isPaused());
  actions->run(StatusCommand::cancelPomodoro, {});
  EXPECT_FALSE(coordinator->pomodoro().isRunning());

  actions->run(StatusCommand::muteFor, std::string("oneHour"));
  EXPECT_EQ(coordinator->mutedUntil(), at(11, 59));
  actions->run(StatusCommand::unmute, {});
  EXPECT_FALSE(coordinator->mutedUntil());

  actions->run(StatusCommand::moveMascot, 0.5);
  actions->run(StatusCommand::resetMascot, {});
  actions->run(StatusCommand::openAbout, {});
  actions->run(StatusCommand::quit, {});
  EXPECT_THAT(moves, ElementsAre(0.5));
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(abouts, 1);
  EXPECT_EQ(quits, 1);
}

TEST_F(StatusItemActionsTest, DataOfTheWrongKindDoesNothing) {
  const Reminder kept = addReminder("stretch in 10 minutes");
  actions->run(StatusCommand::muteFor, 1.0);
  actions->run(StatusCommand::muteFor, std::string("OneHour"));
  actions->run(StatusCommand::moveMascot, std::string("left"));
  actions->run(StatusCommand::deleteReminder, std::string(kept.id.toString()));
  EXPECT_FALSE(coordinator->mutedUntil());
  EXPECT_TRUE(moves.empty());
  EXPECT_EQ(coordinator->reminders().size(), 1u);

  actions->run(StatusCommand::deleteReminder, kept.id);
  EXPECT_TRUE(coordinator->reminders().empty());
}

TEST_F(StatusItemActionsTest, RemindersAddEditUndoAndAnEditOfAGoneReminder) {
  actions->run(StatusCommand::addReminder, {});
  ASSERT_EQ(windows.reminderEditor->shows, 1);
  EXPECT_FALSE(windows.reminderEditor->reminder);
  const Reminder added = windows.reminderEditor->save("stand up in 10 minutes", "ignored");
  EXPECT_EQ(coordinator->reminders().size(), 1u);

  actions->run(StatusCommand::editReminder, added.id);
  ASSERT_EQ(windows.reminderEditor->shows, 2);
  EXPECT_EQ(windows.reminderEditor->reminder->id, added.id);
  windows.reminderEditor->save("sit down", "");
  EXPECT_EQ(coordinator->reminders()[0].phrase, "sit down");

  actions->run(StatusCommand::undoLastReminder, {});
  EXPECT_TRUE(coordinator->reminders().empty());

  // Deleted while the menu was open: nothing opens, the reason is logged.
  actions->run(StatusCommand::editReminder, added.id);
  actions->run(StatusCommand::editReminder, 0.0);
  EXPECT_EQ(windows.reminderEditor->shows, 2);
  EXPECT_THAT(logMessages(log, "reminders"),
              ::testing::Contains("cannot edit a reminder that is no longer saved").Times(2));
}

TEST_F(StatusItemActionsTest, ClickThroughAndUndoingTheLastSessionRedrawTheItem) {
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

  coordinator->startRequestedFocus(5, "tidy");
  tickAt(at(11, 5));
  ASSERT_EQ(coordinator->pomodoro().completedToday(), 1);
  stateChanges = 0;
  actions->run(StatusCommand::discardLastSession, {});
  EXPECT_EQ(coordinator->pomodoro().completedToday(), 0);
  EXPECT_EQ(stateChanges, 1);
}

TEST_F(StatusItemActionsTest, NothingHappensOnceTheCoordinatorIsGone) {
  coordinator.reset();
  const auto s = actions->snapshot(true);
  EXPECT_EQ(s.nextVisit, "");
  actions->run(StatusCommand::vorlaneNow, {});
  actions->run(StatusCommand::quit, {});  // quitting needs no coordinator
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(presenter->performed.empty());
}

}  // namespace
}  // namespace vorlane
