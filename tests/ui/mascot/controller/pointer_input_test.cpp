#include <QGuiApplication>
#include <QMenu>

#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

class PointerInput : public ControllerTest {
 protected:
  void SetUp() override {
    build();
    controller->onQuickAction = [this](QuickAction a) { quickActions.push_back(a); };
    controller->onPullDown = [this] { ++pulls; };
    controller->onCharacterClicked = [this] { ++characterClicks; };
    controller->applyPresenceMode();
    run(1.7);
  }

  void click(QPointF p) {
    hover(p);
    controller->pointer().mouseDown(p, false);
    controller->pointer().mouseUp(p);
  }
  void drag(QPointF from, QPointF to, bool reposition = false) {
    hover(from);
    controller->pointer().mouseDown(from, reposition);
    pointer = global(to);
    controller->pointer().mouseDragged(to);
    controller->pointer().mouseUp(to);
  }
  QPointF pill(std::size_t i) { return scene().actionNodes().at(i)->position(); }

  std::vector<QuickAction> quickActions;
  int pulls = 0;
  int characterClicks = 0;
};

TEST_F(PointerInput, HoveringTheCharacterBringsThePillsAndLeavingTakesThemAway) {
  ASSERT_EQ(controller->window()->liveRects().size(), 1) << "only the character at first";
  hover(character());
  EXPECT_TRUE(controller->pointer().isHovering());
  EXPECT_FALSE(controller->pointer().ignoresMouseEvents());
  EXPECT_TRUE(scene().quickActionsAreInteractive());
  EXPECT_EQ(controller->window()->liveRects().size(), 4) << "the character and three pills";

  hover(pill(2));
  EXPECT_TRUE(scene().actionNodes()[2]->isHighlighted());
  EXPECT_FALSE(scene().actionNodes()[0]->isHighlighted());

  hover({10, 10});
  EXPECT_FALSE(controller->pointer().isHovering());
  EXPECT_TRUE(controller->pointer().ignoresMouseEvents());
  EXPECT_FALSE(scene().quickActionsAreInteractive());
  EXPECT_EQ(controller->window()->liveRects().size(), 1);
}

TEST_F(PointerInput, APillRunsItsActionAlsoDuringAVisit) {
  hover(character());
  click(pill(2));
  EXPECT_EQ(quickActions, std::vector<QuickAction>{QuickAction::mute});
  EXPECT_EQ(pulls, 0);
  EXPECT_THAT(lines(), testing::Contains("quick action: mute"));

  controller->performIfFree(visitAt(0, {1, 5, 1}), {});
  run(1.5);
  controller->showCompletion(
      PomodoroSession::Completion{PomodoroSession::Kind::work, 1500, Date(), "", UUID()}, "3:15 PM",
      "Finished just now", false);
  scene().setActions({QuickAction::dismissCompletion});
  scene().showQuickActions();
  click(pill(0));
  EXPECT_EQ(quickActions.back(), QuickAction::dismissCompletion);
  EXPECT_TRUE(controller->isPerformingVisit()) << "a pill does not end the visit";
}

TEST_F(PointerInput, ClickingTheCharacterDuringAVisitEndsItAndReportsTheClickAfterwards) {
  controller->performIfFree(visitAt(0, {1, 5, 1}), {});
  run(1.5);
  // Ctrl held: still no move during a visit.
  hover(character());
  controller->pointer().mouseDown(character(), true);
  EXPECT_FALSE(controller->pointer().isMoving());
  EXPECT_EQ(characterClicks, 0);
  run(1);
  EXPECT_FALSE(controller->isPerformingVisit());
  EXPECT_EQ(characterClicks, 1);
  EXPECT_EQ(pulls, 0);
}

TEST_F(PointerInput, PullsAskForAVisitWhenLongEnoughOrBarelyMoved) {
  const struct {
    const char* name;
    double down;
    int pulls;
  } rows[] = {{"a plain click", 2, 1}, {"too short", 40, 0}, {"long enough", 80, 1}};
  for (const auto& row : rows) {
    const int before = pulls;
    const QPointF from = character();
    const double restingY = scene().characterPosition().y();
    drag(from, from - QPointF(0, row.down));
    EXPECT_EQ(pulls - before, row.pulls) << row.name;
    EXPECT_FALSE(scene().isDragging()) << row.name;
    if (row.pulls == 0) {
      run(0.5);
      EXPECT_EQ(scene().characterPosition().y(), restingY) << row.name << " springs back";
    }
    scene().enterPeek(false);
  }
  EXPECT_THAT(lines(), testing::Contains("pulled down, vorlaning"));
}

// The climb away leaves nothing to grab: a press on the character's last place starts no
// gesture, asks for no visit and leaves no closed hand behind.
TEST_F(PointerInput, APressDuringTheClimbAwayStartsNothing) {
  for (const bool reposition : {false, true}) {
    SetUp();
    const QPointF at = character();
    hover(at);
    setMode(PresenceMode::hidden);
    ASSERT_NE(controller->window(), nullptr) << "still climbing";
    controller->pointer().mouseDown(at, reposition);
    controller->pointer().mouseUp(at);
    EXPECT_FALSE(controller->pointer().isMoving()) << reposition;
    EXPECT_FALSE(controller->pointer().dragOrigin().has_value()) << reposition;
    EXPECT_EQ(pulls, 0) << reposition;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << reposition;
    run(0.6);
    EXPECT_EQ(controller->window(), nullptr) << reposition;
    setMode(PresenceMode::peek);
  }
}

TEST_F(PointerInput, AModifierDragMovesTheColumnAndSavesItForTheDisplay) {
  const QRect before = controller->window()->geometry();
  const QPointF from = character();
  hover(from);
  controller->pointer().mouseDown(from, true);
  ASSERT_TRUE(controller->pointer().isMoving());
  EXPECT_EQ(controller->window()->liveRects().size(), 1);
  EXPECT_EQ(controller->window()->liveRects().front(), QRect(QPoint(), before.size()));
  pointer = global(from) + QPoint(-300, 100);
  controller->pointer().mouseDragged(from);
  EXPECT_TRUE(preferences->preferences().mascotPlacements.empty()) << "nothing saved mid-move";
  EXPECT_EQ(controller->window()->geometry().x(), before.x() - 300);
  controller->pointer().mouseUp(from);
  EXPECT_FALSE(controller->pointer().isMoving());
  const auto& saved = preferences->preferences().mascotPlacements;
  ASSERT_EQ(saved.count("DP-1"), 1u);
  EXPECT_LT(saved.at("DP-1").horizontal(), 1.0);
  EXPECT_GT(saved.at("DP-1").vertical(), 0.0);
  EXPECT_EQ(pulls, 0);
}

TEST_F(PointerInput, AClickOutsideTheLiveAreasResigns) {
  hover(character());
  controller->pointer().mouseDown({5, 5}, false);
  EXPECT_FALSE(controller->pointer().isHovering());
  EXPECT_TRUE(controller->pointer().ignoresMouseEvents());
  EXPECT_EQ(pulls, 0);
}

TEST_F(PointerInput, TheMenuOpensOverTheMascotOnlyAndTurnsOnClickThrough) {
  EXPECT_EQ(controller->pointer().menu({5, 5}), nullptr);
  std::unique_ptr<QMenu> menu(controller->pointer().menu(character()));
  ASSERT_NE(menu, nullptr);
  QStringList titles;
  for (QAction* action : menu->actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{QString::fromUtf8("Ctrl-drag to move \u00b7 Pull down for time"),
                                 "Move left", "Move to center", "Move right", "Reset position",
                                 "Make mascot click-through"}));
  EXPECT_FALSE(menu->actions().front()->isEnabled());

  menu->actions()[1]->trigger();
  EXPECT_EQ(preferences->preferences().mascotPlacements.at("DP-1").horizontal(), 0.0);
  menu->actions().back()->trigger();
  EXPECT_TRUE(preferences->preferences().mascotClickThrough);
  EXPECT_TRUE(controller->window()->liveRects().isEmpty());
  EXPECT_FALSE(controller->pointer().isWatchingPointer());
  EXPECT_FALSE(scene().interactionsEnabled());
  controller->pointer().mouseDown(character(), false);
  EXPECT_EQ(pulls, 0) << "presses that still arrive are ignored";
}

TEST_F(PointerInput, WithoutATrayTheUserCannotBeLockedOut) {
  tray = false;
  Preferences p = preferences->preferences();
  p.mascotClickThrough = true;  // stored while a tray was there
  preferences->setPreferences(p);
  controller->applyPresenceMode();
  EXPECT_TRUE(scene().interactionsEnabled());
  EXPECT_FALSE(controller->window()->liveRects().isEmpty());

  controller->fillStatusMenu = [](QMenu& menu) { menu.addAction("Vorlane now"); };
  std::unique_ptr<QMenu> menu(controller->pointer().menu(character()));
  ASSERT_NE(menu, nullptr);
  QStringList titles;
  for (QAction* action : menu->actions()) titles << action->text();
  EXPECT_FALSE(titles.contains("Make mascot click-through"));
  EXPECT_EQ(titles.back(), "Vorlane now");
}

TEST_F(PointerInput, ClickThroughFollowsATrayComingOrGoingOnTheNextVisit) {
  Preferences p = preferences->preferences();
  p.mascotClickThrough = true;
  preferences->setPreferences(p);
  ASSERT_FALSE(scene().interactionsEnabled());

  tray = false;  // the panel holding the tray went away
  controller->performIfFree(visitAt(0), {});
  EXPECT_TRUE(scene().interactionsEnabled()) << "the user must not be locked out";
  run(5);

  tray = true;
  controller->performIfFree(visitAt(1), {});
  EXPECT_FALSE(scene().interactionsEnabled());
}

// Regression: with the last tray gone, right-clicks went through the monkey to the desktop
// until the next visit. Told of the tray's change, it takes the pointer at once, and gives it
// up again when a tray returns; the stored setting stays as the user left it.
TEST_F(PointerInput, ClickThroughFollowsATrayAtOnceAndTheSettingStays) {
  Preferences p = preferences->preferences();
  p.mascotClickThrough = true;
  preferences->setPreferences(p);
  controller->applyPresenceMode();
  ASSERT_TRUE(controller->window()->liveRects().isEmpty());

  tray = false;
  controller->trayChanged();
  EXPECT_FALSE(controller->pointer().isClickThrough());
  EXPECT_TRUE(scene().interactionsEnabled());
  EXPECT_FALSE(controller->window()->liveRects().isEmpty()) << "the monkey takes the pointer";
  EXPECT_TRUE(preferences->preferences().mascotClickThrough);
  std::unique_ptr<QMenu> menu(controller->pointer().menu(character()));
  ASSERT_NE(menu, nullptr) << "a right-click on the monkey opens its menu";

  tray = true;
  controller->trayChanged();
  EXPECT_TRUE(controller->pointer().isClickThrough());
  EXPECT_FALSE(scene().interactionsEnabled());
  EXPECT_TRUE(controller->window()->liveRects().isEmpty());
}

// After a Ctrl-drag the pills belong to the monkey again: they stay beside it while the
// pointer is over it and go once it leaves, as after any hover.
TEST_F(PointerInput, AfterAMoveThePillsFollowTheMonkeyOrGo) {
  const struct {
    const char* name;
    bool pointerStaysOnTheMonkey;
  } rows[] = {{"pointer on the monkey", true}, {"pointer gone at release", false}};
  for (const auto& row : rows) {
    SetUp();
    hover(character());
    ASSERT_TRUE(scene().quickActionsAreInteractive()) << row.name;
    startMove({-300, 100});
    if (!row.pointerStaysOnTheMonkey) pointer = QPoint(5, 700);
    controller->pointer().mouseUp(character());
    ASSERT_FALSE(controller->pointer().isMoving()) << row.name;
    if (row.pointerStaysOnTheMonkey) {
      EXPECT_TRUE(controller->pointer().isHovering()) << row.name;
      ASSERT_TRUE(scene().quickActionsAreInteractive()) << row.name;
      const double characterY = scene().characterPosition().y();
      EXPECT_EQ(pill(0).y(), std::min(characterY - 4, scene().size().height() - 26))
          << row.name << ": laid out beside the monkey where it is now";
      hover({10, 10});
    }
    EXPECT_FALSE(controller->pointer().isHovering()) << row.name;
    EXPECT_FALSE(scene().quickActionsAreInteractive()) << row.name;
    EXPECT_TRUE(controller->pointer().clickableRects().empty()) << row.name;
    run(0.5);
    EXPECT_EQ(scene().quickActions()->alpha(), 0) << row.name << ": faded out";
    EXPECT_EQ(controller->window()->liveRects().size(), 1) << row.name << ": the monkey only";
  }
}

// The first click of a double click on "Stop" ends the session and the idle pills come in
// under the pointer: the second click must not mute.
TEST_F(PointerInput, APillThatAppearsUnderThePointerTakesNoClickForADoubleClickInterval) {
  const std::vector<QuickAction> session{QuickAction::pauseSession, QuickAction::extendSession,
                                         QuickAction::stopForNow};
  const std::vector<QuickAction> idle{QuickAction::vorlane, QuickAction::startPomodoro,
                                      QuickAction::mute};
  controller->onQuickAction = [&](QuickAction action) {
    quickActions.push_back(action);
    if (action == QuickAction::stopForNow) controller->updateContext(25, false, idle);
  };
  hover(character());
  controller->updateContext(25, false, session);
  // Near the right end, where every pill of the right-aligned column reaches.
  const QPointF stop(pill(2).x() + scene().actionNodes()[2]->size().width() / 2 - 6, pill(2).y());
  hover(stop);
  click(stop);
  ASSERT_EQ(quickActions, std::vector<QuickAction>{QuickAction::stopForNow});
  ASSERT_EQ(scene().quickAction(stop), QuickAction::mute) << "the idle pills came in";
  controller->pointer().mouseDown(stop, false);  // the second click, at once
  controller->pointer().mouseUp(stop);
  EXPECT_EQ(quickActions, std::vector<QuickAction>{QuickAction::stopForNow});

  run(doubleClickMs / 1000.0 + 0.05);
  click(stop);
  EXPECT_EQ(quickActions, (std::vector<QuickAction>{QuickAction::stopForNow, QuickAction::mute}))
      << "a deliberate click later counts";
  // Pills that were already there take a quick second click.
  click(pill(0));
  click(pill(0));
  EXPECT_EQ(quickActions.size(), 4u);
}

}  // namespace
}  // namespace vorlane
