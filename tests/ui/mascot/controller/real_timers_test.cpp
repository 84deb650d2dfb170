#include <QTest>

#include "tests/support/event_loop_marker.h"
#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

// The controller as the application builds it: event-loop timers and the real frame driver.
class RealTimers : public ControllerTest {
 protected:
  void SetUp() override {
    controller = std::make_unique<MascotWindowController>(
        MascotWindowController::Dependencies{.preferencesStore = preferences,
                                             .screens = screens,
                                             .prefersReducedMotion = {},
                                             .random = nullptr,
                                             .makeWork = {},
                                             .watchesScreens = false,
                                             .pointerLocation = {},
                                             .trayAvailable = {},
                                             .systemEvents = nullptr,
                                             .doubleClickInterval = {}});
  }
};

TEST_F(RealTimers, TheMascotClimbsToItsPeekThenStopsDrawing) {
  controller->applyPresenceMode();
  MascotScene* scene = controller->scene();
  ASSERT_NE(scene, nullptr);
  // QTest::qWaitFor, not the QTRY_ macros: those report to QTest and return without failing.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->isAnimationWindowOpen(); }, 3000));
  EXPECT_FALSE(driverRunning());
  EXPECT_DOUBLE_EQ(scene->characterPosition().y(), scene->peekY());
  int drawn = 0;
  QObject::connect(controller->frameDriver(), &FrameDriver::frameStepped, [&] { ++drawn; });
  testing::runEventLoopPast(std::chrono::milliseconds(400));  // a dozen frames, had it drawn on
  EXPECT_EQ(drawn, 0);
  EXPECT_TRUE(controller->isFidgetScheduled());
}

TEST_F(RealTimers, AVisitPlaysThroughTheFrameDriverAndTheMascotFallsAsleepAfterwards) {
  controller->applyPresenceMode();
  int completions = 0;
  ASSERT_TRUE(controller->performIfFree(visitAt(0, {0.3, 0.3, 0.3}), [&] { ++completions; }));
  ASSERT_TRUE(QTest::qWaitFor([&] { return completions >= 1; }, 4000));
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::peeking);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !driverRunning(); }, 3000));
  EXPECT_EQ(completions, 1);
}

}  // namespace
}  // namespace vorlane
