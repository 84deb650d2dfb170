#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fake_system_events.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/manual_work_queue.h"
#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"
#include "ui/mascot/controller/mascot_window_controller.h"

namespace vorlane {

// One display, 1200 x 800, with a 30-point panel along the top; a test may plug a second
// one in on its right.
class OneScreen final : public ScreenProvider {
 public:
  std::vector<ScreenInfo> screens() override {
    if (second) return {screen, *second};
    return {screen};
  }
  std::size_t primaryIndex() override { return 0; }
  std::optional<std::size_t> activeWindowScreen() override { return std::nullopt; }
  ScreenInfo screen{"DP-1", {0, 0, 1200, 800}, {0, 30, 1200, 770}};
  std::optional<ScreenInfo> second;
};

// A controller over the real scene and window (offscreen), its delayed work on a manual
// queue and its frames stepped by hand: a frame runs only while the frame driver runs, and a
// frame in which nothing moved stops the driver, as the real one does.
class ControllerTest : public ::testing::Test {
 protected:
  void build(std::shared_ptr<RandomGenerator> random = std::make_shared<SeededRandomGenerator>(3)) {
    controller = std::make_unique<MascotWindowController>(MascotWindowController::Dependencies{
        .preferencesStore = preferences,
        .screens = screens,
        .prefersReducedMotion = [this] { return reduceMotion; },
        .random = std::move(random),
        .makeWork = [this] { return work.makeWork(); },
        .watchesScreens = false,
        .pointerLocation = [this] { return pointer; },
        .trayAvailable = [this] { return tray; },
        .systemEvents = systemEvents,
        .doubleClickInterval = [] { return doubleClickMs; }});
    drivenPreferences = preferences->preferences();
    driver = preferences->changes().subscribe([this](const Preferences& now) {
      if (drivesPresence) drive(now);
    });
  }

  // What the coordinator does with each announcement of the store: the placement, the
  // display, then the presence, each when a field it reads changed.
  void drive(const Preferences& now) {
    const Preferences before = std::exchange(drivenPreferences, now);
    if (now.mascotPlacements != before.mascotPlacements) controller->applyPlacement();
    controller->setPreferredScreenID(now.preferredScreenID);
    if (now.presenceDiffers(before)) controller->applyPresenceMode();
  }

  void setMode(PresenceMode mode) {
    Preferences p = preferences->preferences();
    p.presenceMode = mode;
    preferences->setPreferences(p);
  }

  // Frames and delayed work, interleaved, for `seconds`.
  void run(double seconds) {
    constexpr double frame = 1.0 / 60;
    for (double left = seconds; left > 1e-9; left -= frame) {
      const double dt = std::min(frame, left);
      FrameDriver* driver = controller->frameDriver();
      MascotScene* scene = controller->scene();
      if (driver != nullptr && driver->isRunning() && scene != nullptr && !scene->isTornDown()) {
        if (!scene->step(dt) && controller->frameDriver() == driver) driver->stop();
        ++frames;
      }
      work.advance(dt);
    }
  }

  // What deleteLater left behind goes now.
  static void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  static Visit visitAt(double scheduledFor, Choreography choreography = {1, 1, 1}) {
    return Visit{UUID(), Visit::Kind::hourly(),        Date(scheduledFor), "It's 3 PM", "It's 3 PM",
                 true,   Visit::BubbleStyle::headline, choreography,       true};
  }

  std::vector<std::string> lines() const { return logMessages(capture, "presentation"); }

  MascotScene& scene() { return *controller->scene(); }
  // A scene point as the pointer's desktop position.
  QPoint global(QPointF p) const {
    const QRect win = controller->window()->geometry();
    return {win.x() + qRound(p.x()), win.y() + win.height() - qRound(p.y())};
  }
  // A point on the character's body.
  QPointF character() { return scene().characterPosition() - QPointF(0, 20); }
  // The pointer moves to a scene point, as the view reports it.
  void hover(QPointF p) {
    pointer = global(p);
    controller->pointer().updateInteractivity(pointer);
  }
  // The pointer presses on the character with Ctrl and moves by `by` desktop pixels.
  void startMove(QPoint by) {
    const QPointF from = character();
    hover(from);
    controller->pointer().mouseDown(from, true);
    pointer = global(from) + by;
    controller->pointer().mouseDragged(from);
  }

  bool driverRunning() const {
    return controller->frameDriver() != nullptr && controller->frameDriver()->isRunning();
  }

  LogCapture capture;
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<OneScreen> screens = std::make_shared<OneScreen>();
  bool reduceMotion = false;
  // Far from the column until a test moves it.
  QPoint pointer{-5000, -5000};
  bool tray = true;
  std::shared_ptr<FakeSystemEvents> systemEvents = std::make_shared<FakeSystemEvents>();
  static constexpr int doubleClickMs = 400;
  ManualWorkQueue work;
  std::unique_ptr<MascotWindowController> controller;
  // The coordinator's part, played by the test unless it turns it off.
  bool drivesPresence = true;
  Preferences drivenPreferences;
  Observers<Preferences>::Subscription driver;
  int frames = 0;
};

}  // namespace vorlane
