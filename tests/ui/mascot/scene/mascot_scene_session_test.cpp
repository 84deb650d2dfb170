#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/ui/mascot/scene/mascot_scene_harness.h"
#include "ui/mascot/character/character_factory.h"

namespace vorlane {
namespace {

void keep(QImage image, const char* name) {
  if (const char* dir = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
    image.save(QString("%1/%2.png").arg(dir, name));
  }
}

using SessionDisplayTest = SceneTest;

TEST_F(SessionDisplayTest, TheFirstUpdateMovesIntoThePoseAndLaterOnesFollowAtOnce) {
  scene.enterPeek(false);
  scene.showSession(0.0, QString("25:00"), QString("Essay"));
  EXPECT_EQ(scene.presenceState(), PresenceState::working);
  EXPECT_TRUE(scene.character()->hasAction(MascotScene::presenceKey));
  EXPECT_EQ(scene.billboard()->time(), "25:00");
  EXPECT_EQ(scene.billboard()->position(), QPointF(W - 196, scene.sessionHandY(0) - 44));
  clock.advance(0.7);
  EXPECT_EQ(scene.characterPosition(), QPointF(W - 78, scene.sessionHandY(0)));
  EXPECT_EQ(scene.character()->xScale(), 0.72);
  EXPECT_EQ(scene.billboard()->alpha(), 1);

  scene.showSession(0.5, QString("12:30"), QString("Essay"));
  EXPECT_FALSE(scene.character()->hasAction(MascotScene::presenceKey));
  EXPECT_EQ(scene.characterPosition().y(), scene.sessionHandY(0.5));
  EXPECT_EQ(scene.billboard()->time(), "12:30");

  // Without a time the pose moves and the sign keeps its text.
  scene.showSession(0.6, std::nullopt, std::nullopt);
  EXPECT_EQ(scene.characterPosition().y(), scene.sessionHandY(0.6));
  EXPECT_EQ(scene.billboard()->time(), "12:30");
  EXPECT_EQ(scene.activeSession()->progress, 0.5);
}

TEST_F(SessionDisplayTest, EndingASessionReturnsToPeekOnlyFromTheWorkingPose) {
  scene.showSession(0.3, QString("10:00"), std::nullopt);
  clock.advance(1);
  scene.showSession(std::nullopt, std::nullopt, std::nullopt);
  EXPECT_FALSE(scene.activeSession().has_value());
  clock.advance(1);
  EXPECT_EQ(scene.presenceState(), PresenceState::peeking);
  EXPECT_EQ(scene.billboard()->alpha(), 0);

  // Peeking: no pose change, but a sign still fades.
  scene.billboard()->setAlpha(1);
  scene.showSession(std::nullopt, std::nullopt, std::nullopt);
  EXPECT_FALSE(scene.character()->hasAction(MascotScene::presenceKey));
  clock.advance(0.3);
  EXPECT_EQ(scene.billboard()->alpha(), 0);
  EXPECT_EQ(scene.presenceState(), PresenceState::peeking);
}

TEST_F(SessionDisplayTest, DuringAVisitOrAPullTheSessionIsOnlyStored) {
  scene.perform(makeVisit(), true, [] {});
  scene.showSession(0.25, QString("18:00"), QString("Read"));
  EXPECT_EQ(scene.presenceState(), PresenceState::visiting);
  EXPECT_EQ(scene.billboard()->alpha(), 0);
  clock.advance(10);
  // The visit ends in the stored pose.
  EXPECT_EQ(scene.presenceState(), PresenceState::working);
  EXPECT_EQ(scene.billboard()->time(), "18:00");

  scene.beginDrag();
  scene.showSession(0.9, QString("02:00"), QString("Read"));
  EXPECT_EQ(scene.activeSession()->time, "02:00");
  EXPECT_EQ(scene.billboard()->time(), "18:00");
}

TEST_F(SessionDisplayTest, ThePanelIsShorterWithoutAGoalAndWrapsALongOne) {
  scene.enterPeek(false);
  scene.showCompletion(workDone(), "3:15 PM", "Finished just now");
  SessionCompletionNode* panel = scene.sessionCompletion();
  EXPECT_FALSE(panel->isHidden());
  EXPECT_EQ(panel->panelHeight(), 148);
  EXPECT_EQ(panel->background()->path().boundingRect(), QRectF(-114, -74, 228, 148));
  EXPECT_EQ(panel->title()->text(), "25 min focus complete");
  EXPECT_EQ(panel->nudge()->text(), "Time to stand up and stretch.");
  EXPECT_EQ(panel->clock()->text(), "3:15 PM");
  EXPECT_EQ(panel->focus()->text(), "");
  EXPECT_EQ(panel->position(), QPointF(W / 2, H - 220));
  EXPECT_EQ(panel->title()->position().y(), 50);

  scene.showCompletion(workDone("Draft the whole introduction and the outline of chapter two, "
                                "then send it to the editor for a first opinion"),
                       "3:16 PM", "Finished 1 min ago");
  EXPECT_EQ(panel->panelHeight(), 196);
  EXPECT_EQ(panel->focus()->lines().size(), 2);
  EXPECT_TRUE(panel->focus()->lines().back().endsWith(QChar(0x2026)));
  const struct {
    LabelNode* label;
    double y;
  } rows[] = {{panel->title(), 75},
              {panel->focus(), 42},
              {panel->elapsed(), 9},
              {panel->clock(), -20},
              {panel->nudge(), -72}};
  for (const auto& row : rows)
    EXPECT_EQ(row.label->position().y(), row.y) << row.label->text().toStdString();
}

TEST_F(SessionDisplayTest, ACompletionReplacesTheSessionAndClearingDropsTheHighlight) {
  scene.showSession(0.9, QString("01:00"), QString("Essay"));
  clock.advance(1);
  scene.showCompletion(workDone(), "3:15 PM", "Finished just now");
  EXPECT_FALSE(scene.activeSession().has_value());
  EXPECT_EQ(scene.billboard()->alpha(), 0);
  EXPECT_EQ(scene.presenceState(), PresenceState::peeking);
  EXPECT_TRUE(scene.quickActionsAreInteractive());
  EXPECT_EQ(scene.quickActions()->alpha(), 1);

  EXPECT_TRUE(scene.remindAboutCompletion(true));
  EXPECT_FALSE(scene.isCompletionReminderAnimating());  // reduced motion: no wave
  EXPECT_EQ(scene.sessionCompletion()->background()->lineWidth(), 2.5);
  EXPECT_EQ(scene.sessionCompletion()->background()->strokeColor(),
            MascotTheme::light().boardStroke);
  EXPECT_TRUE(scene.remindAboutCompletion(false));
  EXPECT_TRUE(scene.isCompletionReminderAnimating());

  scene.showCompletion(std::nullopt, "", "Finished just now");
  EXPECT_TRUE(scene.sessionCompletion()->isHidden());
  EXPECT_FALSE(scene.isCompletionReminderAnimating());
  EXPECT_FALSE(scene.remindAboutCompletion(false));
  scene.showCompletion(workDone(), "3:20 PM", "Finished just now");
  EXPECT_EQ(scene.sessionCompletion()->background()->lineWidth(), 1.0);
  EXPECT_EQ(scene.sessionCompletion()->background()->strokeColor(),
            MascotTheme::light().bubbleStroke);
}

TEST_F(SessionDisplayTest, ReminderIsRefusedDuringAPullOrAVisit) {
  scene.enterPeek(false);
  scene.showCompletion(workDone(), "3:15 PM", "Finished just now");
  scene.beginDrag();
  EXPECT_FALSE(scene.remindAboutCompletion(false));
  scene.cancelDrag();
  scene.perform(makeVisit(), true, [] {});
  EXPECT_FALSE(scene.remindAboutCompletion(false));
}

TEST_F(SessionDisplayTest, TheInvitationOnlyWhilePeekingFreely) {
  const struct {
    const char* name;
    std::function<void(MascotScene&)> setUp;
    bool shown;
  } rows[] = {
      {"away", [](MascotScene&) {}, false},
      {"peeking", [](MascotScene& s) { s.enterPeek(false); }, true},
      {"working", [](MascotScene& s) { s.showSession(0.1, QString("20:00"), QString()); }, false},
      {"panel",
       [](MascotScene& s) {
         s.enterPeek(false);
         s.showCompletion(workDone(), "3:15 PM", "Finished just now");
       },
       false},
      {"pull",
       [](MascotScene& s) {
         s.enterPeek(false);
         s.beginDrag();
       },
       false},
  };
  for (const auto& row : rows) {
    MascotScene s(QSizeF(W, H), new PlaceholderCharacterNode);
    row.setUp(s);
    const double boardAlpha = s.billboard()->alpha();
    EXPECT_EQ(s.showIdleFocusInvitation(25), row.shown) << row.name;
    EXPECT_EQ(s.hasIdleFocusInvitation(), row.shown) << row.name;
    if (row.shown) {
      EXPECT_EQ(s.billboard()->alpha(), 1) << row.name;
      EXPECT_EQ(s.billboard()->time(), "Focus?") << row.name;
      EXPECT_EQ(s.billboard()->caption(), "Start 25m") << row.name;
      EXPECT_EQ(s.quickActions()->alpha(), 1) << row.name;  // at once, no fade
    } else {
      EXPECT_EQ(s.billboard()->alpha(), boardAlpha) << row.name;
    }
  }
}

TEST_F(SessionDisplayTest, ASessionOrAGrabEndsTheInvitation) {
  scene.enterPeek(false);
  ASSERT_TRUE(scene.showIdleFocusInvitation(25));
  scene.beginDrag();
  EXPECT_FALSE(scene.hasIdleFocusInvitation());
  EXPECT_EQ(scene.billboard()->alpha(), 0);
  scene.cancelDrag();

  ASSERT_TRUE(scene.showIdleFocusInvitation(25));
  scene.showSession(0, QString("25:00"), QString("Focus"));
  EXPECT_FALSE(scene.hasIdleFocusInvitation());
  EXPECT_EQ(scene.billboard()->time(), "25:00");
}

TEST(SessionDisplayPicture, TheSignThePanelAndThePillsAsDrawn) {
  MascotScene scene(QSizeF(W, H), makeMascotCharacter());
  ManualClock clock(&scene);
  scene.showSession(0.4, QString("14:52"), QString("Write the opening of the report"));
  clock.advance(1);
  scene.showQuickActions();
  clock.advance(0.5);
  const QImage working = scene.renderImage();
  keep(working, "session-working");
  // The board's fill sits left of the rope, under the countdown.
  const QPointF board = scene.billboard()->position();
  const QColor fill = working.pixelColor(int(board.x() - 80), int(H - board.y()));
  EXPECT_EQ(fill.alpha(), 255);
  EXPECT_NEAR(fill.redF(), MascotTheme::light().boardFill.red, 0.02);

  scene.showCompletion(workDone("Essay outline"), "3:15 PM", "Finished 2 min ago");
  scene.setActions({QuickAction::restartPomodoro, QuickAction::startBreak,
                    QuickAction::dismissCompletion, QuickAction::markAccomplished});
  scene.showQuickActions();
  clock.advance(0.5);
  const QImage panel = scene.renderImage();
  keep(panel, "session-panel");
  const QPointF centre = scene.sessionCompletion()->position();
  EXPECT_GT(panel.pixelColor(int(centre.x() - 100), int(H - centre.y())).alpha(), 200);
  EXPECT_EQ(qAlpha(panel.pixel(2, 2)), 0);

  scene.showCompletion(std::nullopt, "", "Finished just now");
  scene.enterPeek(false);
  clock.advance(0.5);
  ASSERT_TRUE(scene.showIdleFocusInvitation(25));
  clock.advance(0.5);
  const QImage invitation = scene.renderImage();
  keep(invitation, "session-invitation");
  const QPointF sign = scene.billboard()->position();
  EXPECT_EQ(invitation.pixelColor(int(sign.x() - 80), int(H - sign.y())).alpha(), 255);
}

}  // namespace
}  // namespace vorlane
