// The mascot's overlays: the celebration of a triumphant arrival and the floating clock that
// follows the setting, on the real controller with fakes.

#include <QAction>
#include <QMenu>

#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/fake_clock.h"
#include "tests/support/seeded_random_generator.h"
#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

class OverlaysWiringTest : public ControllerTest {
 protected:
  void SetUp() override {
    build();
    auto celebration = std::make_unique<CelebrationPresenter>(
        celebrationRandom, [] { return false; }, work.makeWork(), [this] { return compositor; });
    controller->attachOverlays({
        .celebration = std::move(celebration),
        .makeFloatingClock =
            [this](std::function<void()> onHide) {
              ++clocksMade;
              return std::make_unique<FloatingClockController>(
                  records, clock, timeChanges, std::move(onHide),
                  [] { return Calendar("Europe/Paris", "en_GB"); },
                  [this] { return work.makeWork(); }, [] { return true; });
            },
    });
  }
  void TearDown() override {
    controller.reset();
    flushDeletes();
  }
  void set(const std::function<void(Preferences&)>& change) {
    Preferences p = preferences->preferences();
    change(p);
    preferences->setPreferences(p);
  }

  SeededRandomGenerator celebrationRandom{11};
  bool compositor = true;
  InMemoryRecordStore records;
  FakeClock clock{Date::fromUnix(1'700'000'000)};
  TimeChangeNotifier timeChanges;
  int clocksMade = 0;
};

TEST_F(OverlaysWiringTest, ATriumphantArrivalCelebratesOverTheMascotsDisplay) {
  controller->applyPresenceMode();
  run(2);
  ASSERT_TRUE(controller->performIfFree(visitAt(0, Choreography::triumphant()), [] {}));
  run(1.6);  // past the climb down: the character has arrived and celebrated
  CelebrationPresenter* celebration = controller->celebration();
  ASSERT_TRUE(celebration->isShowing());
  EXPECT_EQ(celebration->window()->geometry(), screens->screen.geometry);
  EXPECT_TRUE(celebration->isDismissalPending());
  run(3);  // 2.8 s later it clears itself
  EXPECT_FALSE(celebration->isShowing());
}

TEST_F(OverlaysWiringTest, NoCelebrationWhenTurnedOffWithoutACompositorOrWithoutAScene) {
  controller->splash();  // no scene yet
  EXPECT_FALSE(controller->celebration()->isShowing());
  controller->applyPresenceMode();
  set([](Preferences& p) { p.celebrateSessions = false; });
  controller->splash();
  EXPECT_FALSE(controller->celebration()->isShowing());
  set([](Preferences& p) { p.celebrateSessions = true; });
  compositor = false;  // a translucent window over the display would paint it black
  controller->splash();
  EXPECT_FALSE(controller->celebration()->isShowing());
  EXPECT_FALSE(controller->celebration()->isDismissalPending());
  compositor = true;
  controller->splash();
  EXPECT_TRUE(controller->celebration()->isShowing());
  // Hiding the mascot tears the scene down and the celebration with it.
  setMode(PresenceMode::hidden);
  controller->applyPresenceMode();
  run(3);
  EXPECT_FALSE(controller->celebration()->isShowing());
}

TEST_F(OverlaysWiringTest, TheClockFollowsTheSettingAndItsHideTurnsTheSettingOff) {
  controller->applyPresenceMode();
  EXPECT_EQ(clocksMade, 0);  // made only when first wanted
  set([](Preferences& p) { p.showCurrentTime = true; });
  controller->applyPresenceMode();
  ASSERT_EQ(clocksMade, 1);
  FloatingClockController* clock = controller->floatingClock();
  EXPECT_TRUE(clock->isShown());
  EXPECT_EQ(clock->screenID(), "DP-1");
  EXPECT_EQ(clock->text(), "23:13");

  // Hidden from its own menu: the setting goes off, and stays off at the next reconfigure.
  for (QAction* action : clock->panel()->menu()->actions()) {
    if (action->text() == "Hide clock") action->trigger();
  }
  EXPECT_FALSE(preferences->preferences().showCurrentTime);
  EXPECT_FALSE(clock->isShown());
  controller->screenParametersChanged();
  EXPECT_FALSE(clock->isShown());

  set([](Preferences& p) { p.showCurrentTime = true; });
  controller->screenParametersChanged();
  EXPECT_TRUE(clock->isShown());
  EXPECT_EQ(clocksMade, 1);  // one clock for the life of the mascot
  set([](Preferences& p) { p.showCurrentTime = false; });
  controller->applyPresenceMode();
  EXPECT_FALSE(clock->isShown());
}

}  // namespace
}  // namespace vorlane
