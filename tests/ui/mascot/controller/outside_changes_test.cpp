// What reaches the mascot from outside its own input: the desktop waking or coming back,
// and settings written by anyone through the store.

#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

class OutsideChanges : public ControllerTest {
 protected:
  void SetUp() override {
    build();
    controller->applyPresenceMode();
    run(1.7);
  }
};

TEST_F(OutsideChanges, AWakeOrTheSessionComingBackDropsAGestureAndLaysTheColumnOut) {
  const struct {
    const char* name;
    Observers<>& (FakeSystemEvents::*event)();
    bool move;
  } rows[] = {
      {"a move at a wake", &FakeSystemEvents::didWake, true},
      {"a pull at a wake", &FakeSystemEvents::didWake, false},
      {"a move when the session comes back", &FakeSystemEvents::screenCameBack, true},
      {"a pull when the session comes back", &FakeSystemEvents::screenCameBack, false},
  };
  for (const auto& row : rows) {
    SetUp();
    if (row.move) {
      startMove({-200, 0});
      ASSERT_TRUE(controller->pointer().isMoving()) << row.name;
    } else {
      hover(character());
      controller->pointer().mouseDown(character(), false);
      ASSERT_TRUE(scene().isDragging()) << row.name;
    }
    // A panel appeared at the bottom while the machine slept.
    screens->screen.availableGeometry = QRect(0, 30, 1200, 730);
    ((*systemEvents).*row.event)().notify();
    EXPECT_FALSE(controller->pointer().isMoving()) << row.name;
    EXPECT_FALSE(scene().isDragging()) << row.name;
    EXPECT_TRUE(preferences->preferences().mascotPlacements.empty()) << row.name;
    EXPECT_EQ(controller->window()->geometry(), QRect(860, 30, 340, 730)) << row.name;
    screens->screen.availableGeometry = QRect(0, 30, 1200, 770);
  }
}

TEST_F(OutsideChanges, TheScreenGoingAwayLeavesTheMascotAlone) {
  startMove({-200, 0});
  systemEvents->away.notify();
  EXPECT_TRUE(controller->pointer().isMoving());
}

TEST_F(OutsideChanges, SettingsWrittenThroughTheStoreAloneReachTheMascot) {
  preferences->modify(
      [](Preferences& p) { p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0, 0)); });
  EXPECT_EQ(controller->window()->geometry(), QRect(0, 30, 340, 770));

  MascotAppearance appearance;
  appearance.monkeyOpacity = 0.5;
  preferences->modify([&](Preferences& p) { p.mascotAppearance = appearance; });
  EXPECT_EQ(scene().appearance().monkeyOpacity, 0.5);

  screens->second = ScreenInfo{"HDMI-1", {1200, 0, 1000, 700}, {1200, 0, 1000, 700}};
  preferences->modify([](Preferences& p) { p.preferredScreenID = "HDMI-1"; });
  EXPECT_EQ(controller->preferredScreenID(), "HDMI-1");
  EXPECT_EQ(controller->window()->geometry(), QRect(1860, 0, 340, 700)) << "on the chosen display";

  preferences->modify([](Preferences& p) { p.presenceMode = PresenceMode::hidden; });
  run(0.6);
  EXPECT_EQ(controller->window(), nullptr) << "climbed away and gone";
}

TEST_F(OutsideChanges, ASettingUnrelatedToTheMascotKeepsAnInvitationUp) {
  ASSERT_TRUE(controller->offerFocusInvitation(25, false));
  preferences->modify([](Preferences& p) { p.launchAtLogin = true; });
  EXPECT_TRUE(controller->isInvitationPending());
  EXPECT_TRUE(scene().hasIdleFocusInvitation());
}

// The display and the presence have one owner, the driver that calls setPreferredScreenID
// and applyPresenceMode: the store's announcement alone leaves them, so a change is applied
// once and not once by each listener.
TEST_F(OutsideChanges, TheDisplayAndThePresenceAreAppliedByTheDriverAlone) {
  drivesPresence = false;
  ASSERT_TRUE(controller->offerFocusInvitation(25, false));
  screens->second = ScreenInfo{"HDMI-1", {1200, 0, 1000, 700}, {1200, 0, 1000, 700}};
  preferences->modify([](Preferences& p) {
    p.presenceMode = PresenceMode::hidden;
    p.preferredScreenID = "HDMI-1";
  });
  run(0.6);
  EXPECT_EQ(controller->preferredScreenID(), std::nullopt);
  ASSERT_NE(controller->window(), nullptr);
  EXPECT_EQ(controller->window()->geometry(), QRect(860, 30, 340, 770));
  EXPECT_TRUE(scene().hasIdleFocusInvitation());

  drive(preferences->preferences());
  EXPECT_FALSE(scene().hasIdleFocusInvitation());
  run(0.6);
  EXPECT_EQ(controller->window(), nullptr) << "climbed away once applied";
}

// A placement has one owner too: written by anyone, it moves the column once the driver
// applies it, and not before.
TEST_F(OutsideChanges, APlacementIsLaidOutByTheDriverAlone) {
  drivesPresence = false;
  preferences->modify(
      [](Preferences& p) { p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0, 0)); });
  EXPECT_EQ(controller->window()->geometry(), QRect(860, 30, 340, 770));

  drive(preferences->preferences());
  EXPECT_EQ(controller->window()->geometry(), QRect(0, 30, 340, 770));
}

// The mascot writes a placement once and moves once, through the store's announcement.
TEST_F(OutsideChanges, APlacementTheMascotWritesIsAppliedOnce) {
  int announcements = 0;
  auto counting = preferences->changes().subscribe([&](const Preferences&) { ++announcements; });
  controller->setHorizontalPlacement(0);
  EXPECT_EQ(announcements, 1);
  EXPECT_EQ(controller->window()->geometry(), QRect(0, 30, 340, 770));

  startMove({300, 0});
  controller->pointer().mouseUp(character());
  EXPECT_EQ(announcements, 2);
  EXPECT_EQ(controller->window()->geometry(), QRect(300, 30, 340, 770))
      << "stays where the move left it";
}

}  // namespace
}  // namespace vorlane
