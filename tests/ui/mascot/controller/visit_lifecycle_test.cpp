#include <QPointer>
#include <cstdlib>

#include "tests/support/image_pixels.h"
#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

using testing::ElementsAre;

const double at = Date::fromUnix(1772978709).timeIntervalSinceReferenceDate();
const char* const atText = "2026-03-08 14:05:09 +0000";

class VisitLifecycle : public ControllerTest {
 protected:
  void SetUp() override { build(); }
};

TEST_F(VisitLifecycle, AVisitPlaysOnTheSceneAndReportsItsEndOnce) {
  int completions = 0;
  EXPECT_EQ(controller->window(), nullptr) << "nothing is built before it is needed";
  ASSERT_TRUE(controller->performIfFree(visitAt(at), [&] { ++completions; }));
  EXPECT_TRUE(controller->isPerformingVisit());
  ASSERT_NE(controller->window(), nullptr);
  EXPECT_TRUE(controller->window()->isVisible());
  EXPECT_EQ(controller->view()->scene(), controller->scene());
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::visiting);
  EXPECT_TRUE(driverRunning());
  EXPECT_EQ(lines(),
            std::vector<std::string>{std::string("performing visit scheduled for ") + atText});

  run(2.5);
  EXPECT_EQ(completions, 0);
  EXPECT_FALSE(controller->window()->liveRects().isEmpty()) << "the character takes clicks";
  run(2);
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(controller->isPerformingVisit());
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::peeking);
  run(30);
  EXPECT_EQ(completions, 1);
}

TEST_F(VisitLifecycle, ASecondVisitIsRefusedWithItsCompletionCalledBeforeTheAnswer) {
  int first = 0;
  int second = 0;
  controller->performIfFree(visitAt(at), [&] { ++first; });
  run(1);
  bool answered = false;
  EXPECT_FALSE(controller->performIfFree(visitAt(at + 60), [&] {
    ++second;
    EXPECT_FALSE(answered) << "called before performIfFree returns";
  }));
  answered = true;
  EXPECT_EQ(second, 1);
  EXPECT_EQ(lines().back(), "visit already in progress, dropping <private>");
  EXPECT_TRUE(controller->isPerformingVisit()) << "the running visit is not touched";
  run(4);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST_F(VisitLifecycle, AbandonEndsOnlyVisitsScheduledBeforeTheCutOff) {
  struct Row {
    const char* name;
    std::optional<Date> cutOff;
    bool abandoned;
  } rows[] = {
      {"no cut-off", std::nullopt, true},
      {"scheduled exactly at the cut-off", Date(at), false},
      {"scheduled a second before", Date(at + 1), true},
  };
  for (const Row& row : rows) {
    int completions = 0;
    ASSERT_TRUE(controller->performIfFree(visitAt(at), [&] { ++completions; })) << row.name;
    run(0.5);
    const std::size_t before = lines().size();
    EXPECT_EQ(controller->abandonVisit(row.cutOff), row.abandoned) << row.name;
    EXPECT_EQ(completions, row.abandoned ? 1 : 0) << row.name;
    EXPECT_EQ(controller->isPerformingVisit(), !row.abandoned) << row.name;
    if (row.abandoned) {
      EXPECT_EQ(lines().back(), std::string("abandoning visit scheduled for ") + atText);
    } else {
      EXPECT_EQ(lines().size(), before) << row.name;
      run(4);
    }
    run(4);
    EXPECT_EQ(completions, 1) << row.name << ": reported exactly once";
  }
  const std::size_t before = lines().size();
  EXPECT_FALSE(controller->abandonVisit(std::nullopt)) << "no visit in flight";
  EXPECT_EQ(lines().size(), before);
}

TEST_F(VisitLifecycle, AnAbandonWhileTheSceneIsNotVisitingStillFreesThePresenter) {
  int completions = 0;
  controller->performIfFree(visitAt(at), [&] { ++completions; });
  run(0.5);
  controller->scene()->leave();  // the scene leaves the visiting pose without finishing
  EXPECT_TRUE(controller->abandonVisit(std::nullopt));
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(controller->isPerformingVisit());
  int next = 0;
  EXPECT_TRUE(controller->performIfFree(visitAt(at + 60), [&] { ++next; }));
  run(5);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(next, 1);
}

TEST_F(VisitLifecycle, AClickEndsTheVisitEarlyThenReportsTheClickAfterTheCompletion) {
  std::vector<std::string> events;
  controller->onCharacterClicked = [&] { events.push_back("clicked"); };
  controller->performIfFree(visitAt(at, {1, 5, 1}), [&] { events.push_back("completion"); });
  run(1.5);
  controller->endVisitEarly();
  EXPECT_EQ(lines().back(), "character clicked, ending visit early");
  run(0.6);
  EXPECT_THAT(events, ElementsAre("completion", "clicked"));

  events.clear();
  controller->performIfFree(visitAt(at, {1, 5, 1}), [&] { events.push_back("completion"); });
  run(1.5);
  controller->endVisitEarly();
  controller->abandonVisit(std::nullopt);
  run(2);
  EXPECT_THAT(events, ElementsAre("completion")) << "the abandon drops the pending click";
}

// A visit whose news is out of date climbs away at once, its bubble fading first; only
// the visit with that id, and a scene no longer visiting frees the presenter at once.
TEST_F(VisitLifecycle, CuttingAVisitShortClimbsAwayOnlyForThatVisit) {
  int completions = 0;
  Visit visit = visitAt(at, {1, 5, 1});
  visit.id = UUID::random();
  ASSERT_TRUE(controller->performIfFree(visit, [&] { ++completions; }));
  run(1.5);
  EXPECT_DOUBLE_EQ(scene().bubble()->alpha(), 1.0);
  EXPECT_FALSE(controller->cutVisitShort(UUID::random())) << "another visit's id";
  EXPECT_TRUE(controller->cutVisitShort(visit.id));
  EXPECT_EQ(lines().back(), std::string("ending visit scheduled for ") + atText + " early");
  run(0.25);
  EXPECT_LT(scene().bubble()->alpha(), 0.1);
  EXPECT_EQ(completions, 0) << "still climbing away";
  EXPECT_TRUE(controller->isPerformingVisit());
  run(0.4);
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(controller->isPerformingVisit());
  EXPECT_EQ(scene().presenceState(), PresenceState::peeking);
  EXPECT_FALSE(controller->cutVisitShort(visit.id)) << "gone already";
  run(6);
  EXPECT_EQ(completions, 1);

  ASSERT_TRUE(controller->performIfFree(visit, [&] { ++completions; }));
  run(0.5);
  scene().leave();
  EXPECT_TRUE(controller->cutVisitShort(visit.id));
  EXPECT_EQ(completions, 2);
  EXPECT_FALSE(controller->isPerformingVisit());
}

TEST_F(VisitLifecycle, InHiddenModeTheSceneGoesInsideItsOwnFrameAndTheNextVisitBuildsAnother) {
  setMode(PresenceMode::hidden);
  int completions = 0;
  QPointer<MascotWindow> firstWindow;
  QPointer<MascotScene> firstScene;
  std::function<void()> chain = [&] {
    ++completions;
    if (completions == 1) {
      EXPECT_EQ(controller->scene(), nullptr) << "torn down before the completion";
      EXPECT_TRUE(controller->performIfFree(visitAt(at + 60), chain));
    }
  };
  controller->performIfFree(visitAt(at), chain);
  firstWindow = controller->window();
  firstScene = controller->scene();
  run(3.3);  // the first visit ends inside this frame; its completion starts the second
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(controller->isPerformingVisit());
  EXPECT_NE(controller->scene(), firstScene.data());
  flushDeletes();
  EXPECT_TRUE(firstWindow.isNull());
  EXPECT_TRUE(firstScene.isNull());
  run(4);
  EXPECT_EQ(completions, 2);
  EXPECT_EQ(controller->window(), nullptr);
  EXPECT_FALSE(controller->isFidgetScheduled()) << "hidden: no timer at all";
  EXPECT_FALSE(controller->isAnimationWindowOpen());
}

TEST_F(VisitLifecycle, AControllerGoneBeforeItsVisitEndsCallsNoCompletion) {
  int completions = 0;
  controller->performIfFree(visitAt(at), [&] { ++completions; });
  QPointer<MascotScene> scene = controller->scene();
  controller.reset();
  flushDeletes();
  EXPECT_TRUE(scene.isNull());
  work.advance(10);
  EXPECT_EQ(completions, 0);
}

TEST_F(VisitLifecycle, OneFrameOfAVisitShowsTheCharacterInsideItsLiveArea) {
  controller->performIfFree(visitAt(at, {1, 5, 1}), {});
  run(2);
  QWidget* view = controller->view();
  const QImage image = view->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  if (const char* path = std::getenv("VORLANE_SAVE_VISIT_FRAME")) image.save(path);
  ASSERT_EQ(controller->window()->liveRects().size(), 1);
  const QRect live = controller->window()->liveRects().front();
  EXPECT_GT(pixelsWhere(
                image, [](const QColor& c) { return c.alpha() != 0; }, live),
            200)
      << "the character is drawn where it takes clicks";
  EXPECT_EQ(image.pixel(5, image.height() - 5), 0u) << "the column is transparent elsewhere";
}

}  // namespace
}  // namespace vorlane
