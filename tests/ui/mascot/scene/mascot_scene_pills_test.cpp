#include <gtest/gtest.h>

#include "tests/ui/mascot/scene/mascot_scene_harness.h"

namespace vorlane {
namespace {

class PillsTest : public SceneTest {
 protected:
  std::vector<QuickAction> shown() const {
    std::vector<QuickAction> out;
    for (const QuickActionNode* pill : scene.actionNodes()) out.push_back(pill->action());
    return out;
  }
};

TEST_F(PillsTest, AColumnBesideThePeekingMascotRightAlignedAndSpaced) {
  scene.enterPeek(false);
  scene.showQuickActions();
  ASSERT_EQ(shown(), (std::vector<QuickAction>{QuickAction::vorlane, QuickAction::startPomodoro,
                                               QuickAction::mute}));
  const double top = std::min(scene.characterPosition().y() - 4, H - 26);
  for (std::size_t i = 0; i < 3; ++i) {
    const QuickActionNode* pill = scene.actionNodes()[i];
    EXPECT_EQ(pill->position().y(), top - 44.0 * static_cast<double>(i));
    EXPECT_DOUBLE_EQ(pill->frame().right(), W - 124);
  }
  EXPECT_EQ(scene.actionNodes()[1]->label()->text(), "25 min");
}

TEST_F(PillsTest, TheColumnStartsBelowAVisibleSign) {
  scene.showSession(0.5, QString("12:00"), QString("Essay"));
  clock.advance(1);
  scene.showQuickActions();
  const double signBottom = scene.billboard()->accumulatedFrame().top();
  EXPECT_EQ(scene.actionNodes().front()->position().y(),
            std::min({scene.characterPosition().y() - 4, H - 26, signBottom - 24}));
}

TEST_F(PillsTest, UnderThePanelPillsWrapIntoCentredRows) {
  scene.enterPeek(false);
  scene.setActions({QuickAction::restartPomodoro, QuickAction::startBreak,
                    QuickAction::markAccomplished, QuickAction::dismissCompletion,
                    QuickAction::keepGoing, QuickAction::stopForNow});
  scene.showCompletion(workDone(), "3:15 PM", "Finished just now");
  const auto& pills = scene.actionNodes();
  ASSERT_EQ(pills.size(), 6u);
  const double firstRow = scene.sessionCompletion()->position().y() - 74 - 25;
  // Rows by the pills' own widths: a pill joins a row while the row fits in W - 16.
  std::vector<std::vector<const QuickActionNode*>> rows;
  double y = 1e9;
  for (const QuickActionNode* pill : pills) {
    if (pill->position().y() != y) rows.emplace_back();
    y = pill->position().y();
    rows.back().push_back(pill);
  }
  ASSERT_GE(rows.size(), 2u);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].front()->position().y(), firstRow - 44.0 * static_cast<double>(r));
    const double left = rows[r].front()->frame().left();
    const double right = rows[r].back()->frame().right();
    EXPECT_NEAR(left, W - right, 1e-9) << "row " << r << " is centred";
    EXPECT_LE(right - left, W - 16);
    for (std::size_t i = 1; i < rows[r].size(); ++i) {
      EXPECT_NEAR(rows[r][i]->frame().left() - rows[r][i - 1]->frame().right(), 8, 1e-9);
    }
    if (r + 1 < rows.size()) {
      // The next row's first pill would not have fitted.
      EXPECT_GT(right - left + 8 + rows[r + 1].front()->size().width(), W - 16);
    }
  }
}

TEST_F(PillsTest, TheFirstPillUnderThePointWins) {
  scene.enterPeek(false);
  scene.showQuickActions();
  QuickActionNode* first = scene.actionNodes()[0];
  QuickActionNode* second = scene.actionNodes()[1];
  second->setPosition(first->position() + QPointF(4, 4));
  EXPECT_EQ(scene.quickAction(first->position() + QPointF(2, 2)), QuickAction::vorlane);
  EXPECT_EQ(scene.quickAction(second->position()), QuickAction::vorlane);
  // The frame's far edges belong to the next rectangle.
  const QRectF f = scene.actionNodes()[2]->frame();
  EXPECT_EQ(scene.quickAction(f.topLeft()), QuickAction::mute);
  EXPECT_FALSE(scene.quickAction({f.right(), f.center().y()}).has_value());
  EXPECT_FALSE(scene.quickAction({f.center().x(), f.bottom()}).has_value());

  scene.highlightQuickAction(f.center());
  EXPECT_TRUE(scene.actionNodes()[2]->isHighlighted());
  EXPECT_FALSE(first->isHighlighted());
}

TEST_F(PillsTest, NothingIsHitWithoutPillsOrWithAnInvisibleBanner) {
  scene.enterPeek(false);
  scene.setActions({});
  scene.showQuickActions();
  EXPECT_TRUE(scene.quickActions()->children().empty());
  EXPECT_FALSE(scene.quickAction({W - 150, H - 34}).has_value());

  scene.setActions({QuickAction::vorlane});
  scene.showQuickActions();
  const QPointF on = scene.actionNodes()[0]->position();
  EXPECT_EQ(scene.quickAction(on), QuickAction::vorlane);
  MascotAppearance faint;
  faint.bannerOpacity = 0.01;
  scene.applyAppearance(faint);
  EXPECT_FALSE(scene.quickAction(on).has_value());
  EXPECT_TRUE(scene.quickActionFrames().empty());
  // A panel cannot keep pills nobody can see.
  scene.showCompletion(workDone(), "3:15 PM", "Finished just now");
  scene.hideQuickActions();
  EXPECT_FALSE(scene.quickActionsAreInteractive());
  clock.advance(0.2);
  EXPECT_EQ(scene.quickActions()->alpha(), 0);
}

TEST_F(PillsTest, APanelOrAnInvitationKeepsThePills) {
  scene.enterPeek(false);
  ASSERT_TRUE(scene.showIdleFocusInvitation(25));
  scene.hideQuickActions();
  EXPECT_TRUE(scene.quickActionsAreInteractive());
  EXPECT_EQ(scene.quickActions()->alpha(), 1);
  scene.hideIdleFocusInvitation();
  EXPECT_FALSE(scene.quickActionsAreInteractive());
}

TEST_F(PillsTest, ASecondShowDuringTheGreetingStartsNoSecondGreeting) {
  scene.enterPeek(false);
  scene.showQuickActions();
  clock.advance(0.1);
  ASSERT_TRUE(scene.character()->hasAction("greet"));
  scene.showQuickActions();
  clock.advance(1);
  EXPECT_DOUBLE_EQ(scene.character()->xScale(), 0.5);
  EXPECT_EQ(scene.quickActions()->alpha(), 1);
}

TEST_F(PillsTest, PillsFollowTheListTheLengthAndClickThrough) {
  scene.enterPeek(false);
  scene.setWorkMinutes(50);
  scene.setActions({QuickAction::startPomodoro});
  scene.showQuickActions();
  EXPECT_EQ(scene.actionNodes()[0]->label()->text(), "50 min");

  scene.setInteractionsEnabled(false);
  EXPECT_FALSE(scene.quickActionsAreInteractive());
  EXPECT_FALSE(scene.interactiveFrame().contains(scene.actionNodes()[0]->position()));
  // Back on: the pills wait for the pointer unless a panel keeps them.
  scene.setInteractionsEnabled(true);
  EXPECT_FALSE(scene.quickActionsAreInteractive());
  scene.setInteractionsEnabled(false);
  scene.showCompletion(workDone(), "3:15 PM", "Finished just now");
  scene.setInteractionsEnabled(true);
  EXPECT_TRUE(scene.quickActionsAreInteractive());
}

TEST_F(PillsTest, AThemeChangeRebuildsVisiblePills) {
  scene.enterPeek(false);
  scene.showQuickActions();
  clock.advance(0.3);
  scene.applyTheme(MascotTheme::dark());
  ASSERT_FALSE(scene.actionNodes().empty());
  EXPECT_EQ(scene.actionNodes()[0]->background()->fillColor(), MascotTheme::dark().pillFill);
}

}  // namespace
}  // namespace vorlane
