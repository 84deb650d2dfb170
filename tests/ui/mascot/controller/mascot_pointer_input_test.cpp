// The pointer input on its own: a stand-in mascot around it with a real window, view and
// scene (offscreen), the rest recorded.

#include "ui/mascot/controller/mascot_pointer_input.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMenu>
#include <functional>
#include <string>

#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/manual_work_queue.h"
#include "ui/mascot/character/placeholder_character_node.h"

namespace vorlane {
namespace {

class StandInMascot final : public MascotPointerHost {
 public:
  StandInMascot()
      : window_(std::make_unique<MascotWindow>(screen, MascotPlacement(1.0, 0))),
        scene_(new MascotScene(QSizeF(window_->size()), new PlaceholderCharacterNode)),
        view_(new MascotView(scene_)) {
    window_->setContentWidget(view_);
    scene_->enterPeek(false);
  }
  ~StandInMascot() override { scene_->tearDown(); }

  MascotWindow* window() const override { return window_.get(); }
  MascotView* view() const override { return view_; }
  MascotScene* scene() const override { return scene_; }
  FrameDriver* frameDriver() const override { return nullptr; }
  bool isPerformingVisit() const override { return visiting; }
  ScreenInfo targetScreen() const override { return screen; }
  MascotPlacement savedPlacement(const ScreenInfo&) const override {
    return MascotPlacement(1.0, 0);
  }
  void keepAnimating() override { ++animating; }
  void stir(double) override {}
  void holdStillForMove() override { ++heldForMoves; }
  void layOutColumn() override { ++layouts; }
  void endVisitEarly() override { ++visitsEndedEarly; }
  void chooseQuickAction(QuickAction action) override { actions.push_back(action); }
  void pullDown() override { ++pulls; }
  void setHorizontalPlacement(double horizontal) override { placements.push_back(horizontal); }
  void resetPlacement() override { placements.push_back(-1); }
  void addStatusMenu(QMenu& menu) override { menu.addAction("Vorlane now"); }

  ScreenInfo screen{"DP-1", {0, 0, 1200, 800}, {0, 30, 1200, 770}};
  bool visiting = false;
  int animating = 0;
  int heldForMoves = 0;
  int layouts = 0;
  int visitsEndedEarly = 0;
  std::vector<QuickAction> actions;
  int pulls = 0;
  std::vector<double> placements;

 private:
  std::unique_ptr<MascotWindow> window_;
  MascotScene* scene_;
  MascotView* view_;
};

class MascotPointerInputTest : public testing::Test {
 protected:
  void SetUp() override {
    // No override cursor may be left over from an earlier test.
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
  void TearDown() override {
    input.reset();
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  }

  std::unique_ptr<MascotPointerInput> make() {
    return std::make_unique<MascotPointerInput>(
        MascotPointerInput::Dependencies{.host = &mascot,
                                         .preferences = preferences,
                                         .pointerLocation = [this] { return pointer; },
                                         .trayAvailable = [this] { return tray; },
                                         .doubleClickInterval = [] { return 400; },
                                         .pillGuard = work.makeWork()});
  }

  QPointF character() const { return mascot.scene()->characterPosition() - QPointF(0, 20); }
  QPoint global(QPointF p) const {
    const QRect win = mascot.window()->geometry();
    return {win.x() + qRound(p.x()), win.y() + win.height() - qRound(p.y())};
  }
  void setClickThrough(bool on) {
    preferences->modify([on](Preferences& p) { p.mascotClickThrough = on; });
  }

  StandInMascot mascot;
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  QPoint pointer{-5000, -5000};
  bool tray = true;
  ManualWorkQueue work;
  std::unique_ptr<MascotPointerInput> input = make();
};

TEST_F(MascotPointerInputTest, APressIsAMoveAPullAVisitCutShortOrNothing) {
  const struct {
    const char* name;
    bool visiting;
    bool reposition;
    bool onCharacter;
    bool moving;
    bool pulling;
    int visitsEndedEarly;
  } rows[] = {
      {"a modifier-press on the character", false, true, true, true, false, 0},
      {"a plain press on the character", false, false, true, false, true, 0},
      {"a modifier-press during a visit", true, true, true, false, false, 1},
      {"a plain press during a visit", true, false, true, false, false, 1},
      {"a modifier-press beside the character", false, true, false, false, false, 0},
  };
  for (const auto& row : rows) {
    input = make();
    mascot.visiting = row.visiting;
    mascot.visitsEndedEarly = 0;
    const QPointF at = row.onCharacter ? character() : QPointF(5, 5);
    input->mouseDown(at, row.reposition);
    EXPECT_EQ(input->isMoving(), row.moving) << row.name;
    EXPECT_EQ(input->dragOrigin().has_value(), row.pulling) << row.name;
    EXPECT_EQ(mascot.visitsEndedEarly, row.visitsEndedEarly) << row.name;
    EXPECT_EQ(QGuiApplication::overrideCursor() != nullptr, row.moving || row.pulling)
        << row.name << ": the closed hand belongs to a gesture";
    input->cancelPointerGesture();
    EXPECT_FALSE(input->isMoving() || input->dragOrigin()) << row.name;
  }
}

// Every way out of a gesture pops the closed hand it pushed, once: a hand left on the stack
// stays over the whole desktop.
TEST_F(MascotPointerInputTest, EveryWayOutOfAGesturePopsTheClosedHandOnce) {
  using Input = std::unique_ptr<MascotPointerInput>;
  const std::function<void(Input&, QPointF)> ways[] = {
      [](Input& input, QPointF at) { input->mouseUp(at); },
      [](Input& input, QPointF) { input->cancelPointerGesture(); },
      [](Input& input, QPointF) { input->yieldToVisit(); },
      [](Input& input, QPointF) { input.reset(); },
  };
  const char* const names[] = {"released", "cancelled", "ended by a visit",
                               "cut by the mascot going"};
  for (const bool move : {true, false}) {
    for (std::size_t way = 0; way < std::size(ways); ++way) {
      const std::string name = std::string(move ? "a move " : "a pull ") + names[way];
      input = make();
      input->mouseDown(character(), move);
      ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << name;
      ways[way](input, character());
      EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << name;
      if (!input) continue;
      EXPECT_FALSE(input->isMoving() || input->dragOrigin()) << name;
      input->cancelPointerGesture();  // nothing left to pop
      EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << name;
    }
  }
}

TEST_F(MascotPointerInputTest, AVisitSavesAMoveWhereItGotToAndDropsAPullUnreported) {
  pointer = global(character());
  input->mouseDown(character(), true);
  ASSERT_TRUE(input->isMoving());
  EXPECT_EQ(mascot.heldForMoves, 1);
  pointer += QPoint(-300, 100);
  input->mouseDragged(character());
  EXPECT_EQ(mascot.layouts, 1);
  EXPECT_TRUE(preferences->preferences().mascotPlacements.empty()) << "nothing saved mid-move";
  input->yieldToVisit();
  const auto& saved = preferences->preferences().mascotPlacements;
  ASSERT_EQ(saved.count("DP-1"), 1u);
  EXPECT_LT(saved.at("DP-1").horizontal(), 1.0);

  input->mouseDown(character(), false);
  ASSERT_TRUE(input->dragOrigin());
  input->yieldToVisit();
  input->mouseUp(character());
  EXPECT_EQ(mascot.pulls, 0) << "a dropped pull asks for nothing at its release";
}

// Click-through may come and go while the pointer is watched (a tray appearing or leaving):
// the live areas follow without watching being started again.
TEST_F(MascotPointerInputTest, ClickThroughComesAndGoesUnderAWatchedPointer) {
  input->startWatchingPointer();
  ASSERT_EQ(mascot.window()->liveRects().size(), 1) << "the character";
  setClickThrough(true);
  EXPECT_TRUE(input->refreshClickThrough());
  input->refreshLiveRects();
  EXPECT_TRUE(mascot.window()->liveRects().isEmpty());
  pointer = global(character());
  input->updateInteractivity(pointer);
  EXPECT_TRUE(input->ignoresMouseEvents());
  EXPECT_FALSE(input->isHovering());
  input->mouseDown(character(), false);
  EXPECT_FALSE(input->dragOrigin()) << "presses that still arrive are ignored";

  tray = false;  // the way back is gone: click-through is not applied
  EXPECT_FALSE(input->refreshClickThrough());
  input->refreshLiveRects();
  EXPECT_EQ(mascot.window()->liveRects().size(), 1);
  EXPECT_TRUE(input->isWatchingPointer());
  input->updateInteractivity(pointer);
  EXPECT_TRUE(input->isHovering());
  EXPECT_FALSE(input->ignoresMouseEvents());
}

TEST_F(MascotPointerInputTest, TheMenuReachesTheMascotOnlyWhileTheInputLives) {
  tray = false;
  std::unique_ptr<QMenu> menu(input->menu(character()));
  ASSERT_NE(menu, nullptr);
  QStringList titles;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) titles << action->text();
  }
  EXPECT_EQ(titles.back(), "Vorlane now") << "no tray: the status menu comes along";
  menu->actions()[1]->trigger();
  EXPECT_EQ(mascot.placements, std::vector<double>{0.0});
  input.reset();
  menu->actions()[4]->trigger();
  EXPECT_EQ(mascot.placements, std::vector<double>{0.0}) << "the input is gone";
}

}  // namespace
}  // namespace vorlane
