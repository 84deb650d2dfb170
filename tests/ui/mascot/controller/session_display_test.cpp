#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

using Completion = PomodoroSession::Completion;

Completion finished(std::string goal = {}) {
  return Completion{PomodoroSession::Kind::work, 1500, Date(), std::move(goal), UUID()};
}

class SessionDisplay : public ControllerTest {
 protected:
  void SetUp() override { build(); }
  void peek() {
    controller->applyPresenceMode();
    run(1.7);
  }
};

TEST_F(SessionDisplay, ASessionBuildsTheMascotInTheWorkingPoseWithItsSign) {
  controller->showSession(0.2, "20:00", "Essay");
  ASSERT_NE(controller->scene(), nullptr);
  EXPECT_TRUE(controller->window()->isVisible());
  run(1);
  MascotScene* scene = controller->scene();
  EXPECT_EQ(scene->presenceState(), PresenceState::working);
  EXPECT_EQ(scene->billboard()->time(), "20:00");
  EXPECT_EQ(scene->billboard()->caption(), "Essay");
  EXPECT_EQ(scene->billboard()->alpha(), 1);
  EXPECT_TRUE(controller->pointer().isWatchingPointer());
  EXPECT_TRUE(controller->isFidgetScheduled());

  controller->showSession(0.3, "19:00", "Essay");
  EXPECT_EQ(scene->billboard()->time(), "19:00");

  // Hidden mode: the end of the period takes the mascot away.
  setMode(PresenceMode::hidden);
  controller->showSession(std::nullopt, std::nullopt, std::nullopt);
  EXPECT_EQ(controller->window(), nullptr);
}

TEST_F(SessionDisplay, DuringAVisitTheSessionWaitsForItsEnd) {
  controller->performIfFree(visitAt(0), {});
  controller->showSession(0.5, "12:30", "Essay");
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::visiting);
  run(5);
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::working);
  EXPECT_EQ(controller->scene()->billboard()->time(), "12:30");
}

TEST_F(SessionDisplay, TheSamePanelTwiceChangesNothingAndClearingHidesIt) {
  controller->showCompletion(finished("Essay"), "3:15 PM", "Finished just now", false);
  MascotScene* scene = controller->scene();
  ASSERT_NE(scene, nullptr);
  EXPECT_FALSE(scene->sessionCompletion()->isHidden());
  EXPECT_EQ(scene->sessionCompletion()->panelHeight(), 196);
  EXPECT_TRUE(scene->quickActionsAreInteractive()) << "the panel's pills show at once";
  run(1);
  scene->sessionCompletion()->clock()->setText("changed");
  controller->showCompletion(finished("Essay"), "3:15 PM", "Finished just now", false);
  EXPECT_EQ(scene->sessionCompletion()->clock()->text(), "changed");
  controller->showCompletion(finished("Essay"), "3:16 PM", "Finished 1 min ago", false);
  EXPECT_EQ(scene->sessionCompletion()->clock()->text(), "3:16 PM");

  controller->showCompletion(std::nullopt, "", "Finished just now", false);
  EXPECT_TRUE(scene->sessionCompletion()->isHidden());
  EXPECT_FALSE(controller->remindAboutCompletion(false));
}

TEST_F(SessionDisplay, AFinishedPeriodKeepsItsPanelWhenTheSessionEndsInHiddenMode) {
  setMode(PresenceMode::hidden);
  controller->showSession(0.99, "00:01", "Essay");
  controller->showCompletion(finished(), "3:15 PM", "Finished just now", false);
  controller->showSession(std::nullopt, std::nullopt, std::nullopt);
  ASSERT_NE(controller->scene(), nullptr);
  EXPECT_FALSE(controller->scene()->sessionCompletion()->isHidden());
}

// Whether a finished-session panel is on show has one answer, asked wherever the mascot
// decides: presence changes keep the panel and the mascot, a visit in hidden mode comes back
// to it, and once cleared the next change takes the mascot away.
TEST_F(SessionDisplay, AFinishedSessionPanelSurvivesPresenceChangesAndAVisitUntilCleared) {
  const struct {
    const char* name;
    std::function<void(Preferences&)> change;
  } rows[] = {
      {"hidden mode", [](Preferences& p) { p.presenceMode = PresenceMode::hidden; }},
      {"click-through", [](Preferences& p) { p.mascotClickThrough = true; }},
      {"the display", [](Preferences& p) { p.preferredScreenID = "DP-1"; }},
  };
  for (const auto& row : rows) {
    build();
    peek();
    controller->showCompletion(finished(), "3:15 PM", "Finished just now", false);
    preferences->modify(row.change);
    run(1);
    ASSERT_NE(controller->scene(), nullptr) << row.name;
    EXPECT_FALSE(controller->scene()->sessionCompletion()->isHidden()) << row.name;
    EXPECT_FALSE(controller->isFidgetScheduled()) << row.name << ": no fidgets beside a panel";
    EXPECT_FALSE(controller->offerFocusInvitation(25, false)) << row.name;
    EXPECT_TRUE(controller->remindAboutCompletion(true)) << row.name;
  }

  // Hidden mode, the panel up: a visit comes back to it instead of taking the mascot away.
  setMode(PresenceMode::hidden);
  controller->performIfFree(visitAt(0), {});
  run(5);
  ASSERT_FALSE(controller->isPerformingVisit());
  ASSERT_NE(controller->window(), nullptr);
  EXPECT_FALSE(controller->scene()->sessionCompletion()->isHidden());
  EXPECT_FALSE(controller->isFidgetScheduled());

  controller->showCompletion(std::nullopt, "", "Finished just now", false);
  controller->applyPresenceMode();
  run(1);
  EXPECT_EQ(controller->window(), nullptr) << "cleared: nothing keeps the mascot in hidden mode";
}

TEST_F(SessionDisplay, RemindersEmphasiseAndWaveUnlessBusy) {
  EXPECT_FALSE(controller->remindAboutCompletion(false)) << "nothing on show";
  controller->showCompletion(finished(), "3:15 PM", "Finished just now", false);
  run(1);
  MascotScene* scene = controller->scene();
  scene->beginDrag();
  EXPECT_FALSE(controller->remindAboutCompletion(false)) << "the user is pulling";
  scene->cancelDrag();
  EXPECT_TRUE(controller->remindAboutCompletion(true));
  EXPECT_TRUE(scene->sessionCompletion()->isEmphasized());
  EXPECT_FALSE(scene->isCompletionReminderAnimating());
  EXPECT_TRUE(controller->remindAboutCompletion(false));
  EXPECT_TRUE(scene->isCompletionReminderAnimating());
  EXPECT_TRUE(driverRunning());
}

TEST_F(SessionDisplay, AnInvitationIsWithdrawnAfterSixSecondsAndARepeatRestartsTheWait) {
  EXPECT_FALSE(controller->offerFocusInvitation(25, false)) << "no mascot yet";
  peek();
  ASSERT_TRUE(controller->offerFocusInvitation(25, false));
  MascotScene* scene = controller->scene();
  EXPECT_EQ(scene->billboard()->time(), "Focus?");
  EXPECT_EQ(scene->billboard()->caption(), "Start 25m");
  run(4);
  ASSERT_TRUE(controller->offerFocusInvitation(30, false));
  run(4);
  EXPECT_TRUE(scene->hasIdleFocusInvitation()) << "the second offer restarted the wait";
  run(2.5);
  EXPECT_FALSE(scene->hasIdleFocusInvitation());
  EXPECT_EQ(scene->billboard()->alpha(), 0);
  EXPECT_FALSE(controller->isInvitationPending());

  controller->showSession(0.1, "22:00", "Essay");
  EXPECT_FALSE(controller->offerFocusInvitation(25, false)) << "a session is on show";
}

TEST_F(SessionDisplay, AVisitWithdrawsTheInvitation) {
  peek();
  ASSERT_TRUE(controller->offerFocusInvitation(25, true));
  controller->performIfFree(visitAt(0), {});
  EXPECT_FALSE(controller->scene()->hasIdleFocusInvitation());
  EXPECT_FALSE(controller->isInvitationPending());
}

TEST_F(SessionDisplay, TheContextReachesTheSceneOnlyWhileItExists) {
  controller->updateContext(50, true, {QuickAction::startPomodoro});
  peek();
  MascotScene* scene = controller->scene();
  EXPECT_EQ(scene->workMinutes(), 25) << "not remembered without a scene";
  EXPECT_EQ(scene->actions().size(), 3u);

  controller->updateContext(50, true, {QuickAction::startPomodoro, QuickAction::unmute});
  EXPECT_EQ(scene->workMinutes(), 50);
  EXPECT_TRUE(scene->isMuted());
  EXPECT_EQ(scene->actions(),
            (std::vector<QuickAction>{QuickAction::startPomodoro, QuickAction::unmute}));
  EXPECT_FALSE(scene->quickActionsAreInteractive()) << "pills wait for the pointer";

  controller->showCompletion(finished(), "3:15 PM", "Finished just now", false);
  controller->updateContext(50, false,
                            {QuickAction::restartPomodoro, QuickAction::dismissCompletion});
  ASSERT_EQ(scene->actionNodes().size(), 2u);
  EXPECT_EQ(scene->actionNodes()[0]->action(), QuickAction::restartPomodoro);
}

}  // namespace
}  // namespace vorlane
