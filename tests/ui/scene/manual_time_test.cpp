#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/support/manual_clock.h"
#include "tests/support/manual_work_queue.h"
#include "ui/scene/action.h"
#include "ui/scene/node.h"
#include "ui/scene/scene.h"

namespace vorlane {
namespace {

// The elapsed times a long custom action is stepped with.
std::vector<double> stepsOf(double frame, const std::vector<double>& advances) {
  Scene scene(QSizeF(100, 100));
  auto* node = new Node;
  scene.addChild(node);
  std::vector<double> elapsed;
  node->run(Action::custom(100, [&](Node&, double t) { elapsed.push_back(t); }));
  ManualClock clock(&scene, frame);
  for (double seconds : advances) clock.advance(seconds);
  return elapsed;
}

TEST(ManualClock, StepsWholeFramesThenOneShorterFrameAndKeepsTheTotal) {
  struct Row {
    double frame;
    std::vector<double> advances;
    std::vector<double> expected;
  };
  const Row rows[] = {
      {0.25, {0.6}, {0.25, 0.5, 0.6}},
      {0.25, {0.5}, {0.25, 0.5}},
      {0.25, {0.1, 0.1}, {0.1, 0.2}},
      {1.0, {0.0}, {}},
  };
  for (const Row& row : rows) {
    const auto elapsed = stepsOf(row.frame, row.advances);
    ASSERT_EQ(elapsed.size(), row.expected.size()) << "frame " << row.frame;
    for (size_t i = 0; i < elapsed.size(); ++i) EXPECT_NEAR(elapsed[i], row.expected[i], 1e-9);
  }
}

TEST(ManualClock, StopsAtATornDownOrDeletedScene) {
  auto scene = std::make_unique<Scene>(QSizeF(100, 100));
  auto* node = new Node;
  scene->addChild(node);
  ManualClock clock(scene.get(), 0.1);
  node->run(Action::sequence({Action::wait(0.25), Action::run([&] { scene->tearDown(); })}));
  clock.advance(1);
  EXPECT_NEAR(clock.now(), 0.3, 1e-9) << "no frame after the one that tore the scene down";
  scene.reset();
  clock.advance(1);
  EXPECT_NEAR(clock.now(), 0.3, 1e-9);
}

TEST(ManualWorkQueue, WorkRunsAtItsDueTimeAndMayRescheduleOrDeleteOtherWork) {
  ManualWorkQueue queue;
  auto tick = queue.makeWork();
  auto doomed = queue.makeWork();
  std::vector<double> ticks;
  std::function<void()> again = [&] {
    ticks.push_back(queue.now());
    if (ticks.size() == 2) doomed.reset();
    if (ticks.size() < 10) tick->schedule(1, again);  // bounded, should time stand still
  };
  tick->schedule(1, again);
  bool doomedRan = false;
  doomed->schedule(2.5, [&] { doomedRan = true; });
  queue.advance(3.5);
  EXPECT_EQ(ticks, (std::vector<double>{1, 2, 3})) << "rescheduled work inside the advance runs";
  EXPECT_FALSE(doomedRan) << "work deleted by other work never runs";
  EXPECT_EQ(queue.now(), 3.5);
  EXPECT_TRUE(tick->isPending());

  auto late = queue.makeWork();
  double ranAt = -1;
  late->schedule(-5, [&] { ranAt = queue.now(); });
  queue.advance(0);
  EXPECT_EQ(ranAt, 3.5) << "work due in the past runs at once, never back in time";
}

}  // namespace
}  // namespace vorlane
