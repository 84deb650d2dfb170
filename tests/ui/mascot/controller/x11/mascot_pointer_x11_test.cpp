#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QStyleHints>
#include <chrono>
#include <string>

#include "tests/support/event_loop_marker.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/x11_peer.h"
#include "ui/mascot/controller/mascot_window_controller.h"
#include "ui/mascot_window/qt_screen_provider.h"

namespace vorlane {
namespace {

using testing::processEventsUntil;

// The peeking mascot on openbox over another application's window, clicked and dragged
// through the X server.
class MascotPointerOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.ok());
    below = peer.backdrop(0x3060a0);

    controller = std::make_unique<MascotWindowController>(MascotWindowController::Dependencies{
        .preferencesStore = preferences,
        .screens = std::make_shared<QtScreenProvider>(nullptr, nullptr),
        .prefersReducedMotion = {},
        .random = nullptr,
        .makeWork = {},
        .watchesScreens = false,
        .pointerLocation = {},
        .trayAvailable = [] { return false; },
        .systemEvents = nullptr,
        .doubleClickInterval = {}});
    controller->onQuickAction = [this](QuickAction action) { actions.push_back(action); };
    controller->onPullDown = [this] { ++pulls; };
    controller->applyPresenceMode();
    ASSERT_TRUE(processEventsUntil([&] {
      return controller->window() && peer.viewable(xcb_window_t(controller->window()->winId()));
    }));
    ASSERT_TRUE(processEventsUntil([&] {
      return !controller->scene()->character()->hasAction(MascotScene::presenceKey);
    })) << "the climb down to the peek pose did not end";
    ASSERT_EQ(controller->scene()->presenceState(), PresenceState::peeking);
  }
  void TearDown() override {
    controller.reset();
    if (below) xcb_destroy_window(peer.c, below);
    peer.sync();
  }

  // A scene point as a desktop position.
  QPoint global(QPointF p) const {
    const QRect win = controller->window()->geometry();
    return {win.x() + qRound(p.x()), win.y() + win.height() - qRound(p.y())};
  }
  QPointF character() const { return controller->scene()->characterPosition() - QPointF(0, 20); }
  static std::string at(QPoint p) { return std::to_string(p.x()) + " " + std::to_string(p.y()); }
  void xdotool(const std::string& arguments) {
    ASSERT_TRUE(testing::run("xdotool " + arguments)) << arguments;
  }
  int pressesBelow() { return belowPresses += peer.pressesOn(below); }
  // Until a click at the scene point reaches the mascot's window.
  bool takesClicksAt(QPointF p) {
    return processEventsUntil(
        [&] { return peer.takesClicksAt(xcb_window_t(controller->window()->winId()), global(p)); });
  }
  // Until Qt has handled the pointer's events sent so far.
  bool pointerEventsHandled() {
    return testing::qtHasHandledEventsSoFar(peer, xcb_window_t(controller->window()->winId()));
  }

  testing::X11Peer peer;
  xcb_window_t below = XCB_WINDOW_NONE;
  int belowPresses = 0;
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::unique_ptr<MascotWindowController> controller;
  std::vector<QuickAction> actions;
  int pulls = 0;
};

TEST_F(MascotPointerOnX, APillRunsItsActionAndOtherClicksReachTheWindowBelow) {
  xdotool("mousemove " + at(global(character())));
  ASSERT_TRUE(processEventsUntil([&] { return controller->scene()->quickActionsAreInteractive(); }))
      << "hovering the character brings the pills";
  const QPointF mute = controller->scene()->actionNodes().at(2)->position();
  ASSERT_TRUE(takesClicksAt(mute));
  xdotool("mousemove " + at(global(mute)) + " click 1");
  EXPECT_TRUE(processEventsUntil([&] { return !actions.empty(); }));
  EXPECT_EQ(actions, std::vector<QuickAction>{QuickAction::mute});
  EXPECT_EQ(pressesBelow(), 0);

  xdotool("mousemove 200 600 click 1");
  EXPECT_TRUE(processEventsUntil([&] { return pressesBelow() == 1; }))
      << "a click beside the mascot reaches the application below";
  EXPECT_TRUE(processEventsUntil([&] { return !controller->pointer().isHovering(); }));
  EXPECT_EQ(actions.size(), 1u);
  EXPECT_EQ(pulls, 0);
}

TEST_F(MascotPointerOnX, ACtrlDragMovesTheMascotAndStoresItsPlace) {
  const QRect before = controller->window()->geometry();
  const QPoint from = global(character());
  xdotool("mousemove " + at(from));
  ASSERT_TRUE(takesClicksAt(character()));
  xdotool("keydown ctrl mousedown 1");
  ASSERT_TRUE(processEventsUntil([&] { return controller->pointer().isMoving(); }));
  for (int step = 1; step <= 5; ++step) {
    const MascotPlacement reached = controller->pointer().moving()->current;
    xdotool("mousemove " + at(from + QPoint(-80 * step, 30 * step)));
    ASSERT_TRUE(processEventsUntil([&] {
      const auto* move = controller->pointer().moving();
      return move != nullptr && !(move->current == reached);
    })) << "step "
        << step << " did not move the mascot";
  }
  xdotool("mouseup 1 keyup ctrl");
  ASSERT_TRUE(processEventsUntil([&] { return !controller->pointer().isMoving(); }));
  const auto& saved = preferences->preferences().mascotPlacements;
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_LT(saved.begin()->second.horizontal(), 0.9);
  EXPECT_TRUE(
      processEventsUntil([&] { return controller->window()->geometry().x() < before.x() - 300; }));
  EXPECT_EQ(pulls, 0) << "a move is no pull";
  EXPECT_EQ(pressesBelow(), 0);
}

// A double click on "Stop": the idle pills come in under the pointer, and the second click
// must not mute.
TEST_F(MascotPointerOnX, ADoubleClickOnStopDoesNotMute) {
  const std::vector<QuickAction> idle{QuickAction::vorlane, QuickAction::startPomodoro,
                                      QuickAction::mute};
  controller->onQuickAction = [&](QuickAction action) {
    actions.push_back(action);
    if (action == QuickAction::stopForNow) controller->updateContext(25, false, idle);
  };
  controller->updateContext(
      25, false, {QuickAction::pauseSession, QuickAction::extendSession, QuickAction::stopForNow});
  xdotool("mousemove " + at(global(character())));
  ASSERT_TRUE(
      processEventsUntil([&] { return controller->scene()->quickActionsAreInteractive(); }));
  // Near the right end, where every pill of the right-aligned column reaches.
  const QuickActionNode* pill = controller->scene()->actionNodes().at(2);
  const QPointF stop(pill->position().x() + pill->size().width() / 2 - 6, pill->position().y());
  ASSERT_TRUE(takesClicksAt(stop));
  xdotool("mousemove " + at(global(stop)));
  ASSERT_TRUE(processEventsUntil([&] {
    return controller->scene()->actionNodes().at(2)->isHighlighted();
  })) << "the pointer was not seen over Stop";
  xdotool("click --repeat 2 --delay 120 1");
  EXPECT_TRUE(processEventsUntil([&] { return !actions.empty(); }));
  // Both clicks handled, and the guard the new pills got has run out.
  ASSERT_TRUE(pointerEventsHandled());
  const int guard = QGuiApplication::styleHints()->mouseDoubleClickInterval();
  testing::runEventLoopPast(std::chrono::milliseconds(guard + guard / 10));
  EXPECT_EQ(actions, std::vector<QuickAction>{QuickAction::stopForNow});
  ASSERT_EQ(controller->scene()->quickAction(stop), QuickAction::mute);
  xdotool("click 1");
  EXPECT_TRUE(processEventsUntil([&] { return actions.size() == 2; }))
      << "a deliberate click later counts";
  EXPECT_EQ(actions.back(), QuickAction::mute);
}

}  // namespace
}  // namespace vorlane
