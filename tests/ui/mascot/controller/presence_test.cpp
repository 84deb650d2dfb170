#include <QGuiApplication>
#include <QPalette>

#include "tests/ui/mascot/controller/controller_harness.h"

namespace vorlane {
namespace {

constexpr std::uint64_t delaySpan = (std::uint64_t{1} << 53) + 1;
const std::uint64_t after12s = ScriptedRandomGenerator::wordFor(0, delaySpan);
const std::uint64_t after42s = ScriptedRandomGenerator::wordFor(delaySpan - 1, delaySpan);

class Presence : public ControllerTest {
 protected:
  // Peeking, the climb over and the animation window closed.
  void peek() {
    controller->applyPresenceMode();
    run(1.7);
  }
};

TEST_F(Presence, PeekingWhileIdleRunsNoFrameAndArmsOnlyTheFidgetTimer) {
  build();
  peek();
  ASSERT_NE(controller->window(), nullptr);
  EXPECT_TRUE(controller->window()->isVisible());
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::peeking);
  EXPECT_FALSE(driverRunning());
  EXPECT_FALSE(controller->isAnimationWindowOpen());
  EXPECT_TRUE(controller->isFidgetScheduled());
  const int before = frames;
  run(11.5);
  EXPECT_EQ(frames, before) << "nothing moves between fidgets, so nothing is drawn";
}

TEST_F(Presence, FidgetsComeBetween12And42SecondsApartAndRearmThemselves) {
  reduceMotion = true;  // every fidget a sway, so the only draws are the delays
  auto random = std::make_shared<ScriptedRandomGenerator>(
      std::initializer_list<std::uint64_t>{after12s, after42s, after12s});
  build(random);
  peek();
  controller->applyPresenceMode();  // already peeking: no second timer
  EXPECT_EQ(random->wordsUsed(), 1u);
  run(12 - 1.7 - 0.1);
  EXPECT_FALSE(controller->lastFidget().has_value());
  run(0.2);
  EXPECT_EQ(controller->lastFidget(), IdleFidget(IdleFidget::sway));
  EXPECT_EQ(random->wordsUsed(), 2u);
  EXPECT_TRUE(controller->isAnimationWindowOpen());
  run(41.8);
  EXPECT_EQ(random->wordsUsed(), 2u);
  run(0.2);
  EXPECT_EQ(random->wordsUsed(), 3u);
}

TEST_F(Presence, TheFidgetTimerKeepsRearmingDuringAVisitButPlaysNothing) {
  auto random = std::make_shared<ScriptedRandomGenerator>(
      std::initializer_list<std::uint64_t>{after12s, after12s});
  build(random);
  peek();
  controller->performIfFree(visitAt(0, {1, 30, 1}), {});
  run(10.5);
  EXPECT_EQ(random->wordsUsed(), 2u) << "re-armed, no fidget chosen";
  EXPECT_FALSE(controller->lastFidget().has_value());
}

TEST_F(Presence, AFidgetOpensAnAnimationWindowOfAtLeastOnePointEightSeconds) {
  build();
  peek();
  controller->fidgetNow(IdleFidget::wave);
  EXPECT_EQ(controller->lastFidget(), IdleFidget(IdleFidget::wave));
  EXPECT_TRUE(driverRunning());
  EXPECT_EQ(controller->frameDriver()->interval(), FrameDriver::halfRateInterval)
      << "a small idle motion needs no more";
  EXPECT_TRUE(controller->frameDriver()->isSettling()) << "and less while it barely drifts";
  run(1.75);
  EXPECT_TRUE(controller->isAnimationWindowOpen());
  // A visit in the middle of a fidget plays at the full rate.
  controller->fidgetNow(IdleFidget::wave);
  controller->performIfFree(visitAt(0), {});
  EXPECT_EQ(controller->frameDriver()->interval(), FrameDriver::fullRateInterval);
  EXPECT_FALSE(controller->frameDriver()->isSettling());
  run(12);
  EXPECT_FALSE(controller->isPerformingVisit());

  run(3);
  controller->scene()->leave();  // away: the scene declines
  run(1);
  controller->fidgetNow(IdleFidget::kick);
  EXPECT_EQ(controller->lastFidget(), IdleFidget(IdleFidget::wave)) << "a declined one is not kept";
  run(1.75);
  EXPECT_TRUE(controller->isAnimationWindowOpen());
  run(0.1);
  EXPECT_FALSE(controller->isAnimationWindowOpen());
  EXPECT_FALSE(driverRunning());
}

TEST_F(Presence, HidingWhilePeekingClimbsAwayThenRemovesEverything) {
  build();
  peek();
  setMode(PresenceMode::hidden);
  controller->applyPresenceMode();
  EXPECT_NE(controller->window(), nullptr) << "climbing away first";
  EXPECT_FALSE(controller->isFidgetScheduled());
  run(0.6);
  EXPECT_EQ(controller->window(), nullptr);
  EXPECT_EQ(controller->frameDriver(), nullptr);
  EXPECT_FALSE(controller->isAnimationWindowOpen());
  controller->applyPresenceMode();  // already gone
  EXPECT_EQ(controller->window(), nullptr);
}

TEST_F(Presence, HidingDuringAVisitWaitsForTheVisitToEnd) {
  build();
  peek();
  int completions = 0;
  controller->performIfFree(visitAt(0), [&] { ++completions; });
  run(1);
  setMode(PresenceMode::hidden);
  controller->applyPresenceMode();
  EXPECT_EQ(controller->scene()->presenceMode(), PresenceMode::hidden);
  EXPECT_TRUE(controller->window()->isVisible());
  run(3);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(controller->window(), nullptr);
  EXPECT_FALSE(controller->isFidgetScheduled());
}

// Without a tray the monkey's right-click is the only way to the menu: "Only during visits"
// keeps it on show until a tray is there, and the stored choice is never rewritten.
TEST_F(Presence, OnlyDuringVisitsAppliesOnlyWithATray) {
  const struct {
    const char* name;
    PresenceMode stored;
    bool tray;
    bool onShow;
  } rows[] = {
      {"peeking with a tray", PresenceMode::peek, true, true},
      {"peeking without a tray", PresenceMode::peek, false, true},
      {"only during visits with a tray", PresenceMode::hidden, true, false},
      {"only during visits without a tray", PresenceMode::hidden, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    tray = row.tray;
    setMode(row.stored);
    build();
    peek();
    EXPECT_EQ(controller->presenceBetweenVisits(),
              row.onShow ? PresenceMode::peek : PresenceMode::hidden);
    ASSERT_EQ(controller->window() != nullptr, row.onShow);
    if (row.onShow) {
      EXPECT_TRUE(controller->window()->isVisible());
      EXPECT_EQ(controller->scene()->presenceState(), PresenceState::peeking);
      EXPECT_TRUE(controller->pointer().isWatchingPointer()) << "its right-click is live";
    }
    // A visit ends where the presence leaves it.
    controller->performIfFree(visitAt(0), {});
    run(12);
    ASSERT_FALSE(controller->isPerformingVisit());
    EXPECT_EQ(controller->window() != nullptr, row.onShow) << "after a visit";
    EXPECT_EQ(preferences->preferences().presenceMode, row.stored);
  }
}

// Told of a tray's coming, the monkey leaves at once; told of the last one's going, it comes
// back at once, not at the next visit.
TEST_F(Presence, OnlyDuringVisitsFollowsATrayAtOnce) {
  tray = false;
  setMode(PresenceMode::hidden);
  build();
  peek();
  ASSERT_NE(controller->window(), nullptr);
  EXPECT_THAT(lines(), ::testing::Contains(::testing::HasSubstr(
                           "no tray: the mascot stays on show between visits")));

  tray = true;
  controller->trayChanged();
  run(0.6);
  EXPECT_EQ(controller->window(), nullptr) << "it climbed away";
  controller->trayChanged();  // another kind of tray: nothing to change
  EXPECT_EQ(controller->window(), nullptr);

  tray = false;
  controller->trayChanged();
  ASSERT_NE(controller->window(), nullptr);
  run(1.7);
  EXPECT_EQ(controller->scene()->presenceState(), PresenceState::peeking);
  EXPECT_TRUE(controller->isFidgetScheduled());
  EXPECT_EQ(preferences->preferences().presenceMode, PresenceMode::hidden);

  // A tray that comes during a visit: the visit ends away and takes the scene with it.
  controller->performIfFree(visitAt(0), {});
  run(1);
  tray = true;
  controller->trayChanged();
  EXPECT_NE(controller->window(), nullptr) << "the visit goes on";
  run(12);
  EXPECT_FALSE(controller->isPerformingVisit());
  EXPECT_EQ(controller->window(), nullptr);
}

TEST_F(Presence, ClickThroughLeavesNoLiveArea) {
  build();
  peek();
  ASSERT_EQ(controller->window()->liveRects().size(), 1);
  const QRect live = controller->window()->liveRects().front();
  EXPECT_LT(live.top(), 120) << "the peeking character hangs at the top: " << live.top();
  Preferences p = preferences->preferences();
  p.mascotClickThrough = true;
  preferences->setPreferences(p);
  controller->applyPresenceMode();
  EXPECT_TRUE(controller->window()->liveRects().isEmpty());
}

// Each new input shape is a request to the X server and news for the window manager and the
// compositor: in a fidget the live area only widens to keep the swaying character covered,
// and is exact again once the scene settles.
TEST_F(Presence, AFidgetOnlyWidensTheLiveAreaAndItIsExactOnceSettled) {
  build();
  peek();
  run(3);
  const auto exact = [this] {
    const Rect r = controller->scene()->characterHitFrame();
    const double height = controller->scene()->size().height();
    return QRectF(r.x, height - r.maxY(), r.width, r.height).toAlignedRect();
  };
  ASSERT_EQ(controller->window()->liveRects().size(), 1);
  QRect live = controller->window()->liveRects().front();
  controller->fidgetNow(IdleFidget::swing);
  int changes = 0;
  int frames = 0;
  for (; controller->isAnimationWindowOpen() && frames < 600; ++frames) {
    run(1.0 / 60);
    if (!controller->isAnimationWindowOpen()) break;  // settled
    const QRect now = controller->window()->liveRects().front();
    EXPECT_TRUE(now.contains(exact())) << "frame " << frames;
    if (now == live) continue;
    EXPECT_TRUE(now.contains(live)) << "frame " << frames;
    live = now;
    ++changes;
  }
  EXPECT_GT(frames, 100);
  EXPECT_LT(changes, frames / 4);
  EXPECT_EQ(controller->window()->liveRects().front(), exact());
}

TEST_F(Presence, PlacementsAreStoredPerDisplayAndMoveAVisibleColumnWithAShortRedraw) {
  build();
  Preferences p = preferences->preferences();
  p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(1, 0.3));
  preferences->setPreferences(p);
  controller->setHorizontalPlacement(0.5);
  EXPECT_EQ(controller->window(), nullptr) << "hidden: only the setting changes";
  EXPECT_EQ(preferences->preferences().mascotPlacements.at("DP-1"), MascotPlacement(0.5, 0.3));

  peek();
  EXPECT_EQ(controller->window()->geometry(), QRect(430, 30, 340, 770));
  controller->resetPlacement();
  EXPECT_EQ(controller->window()->geometry(), QRect(860, 30, 340, 770));
  EXPECT_TRUE(driverRunning()) << "a short burst shows the change";
  run(0.1);
  EXPECT_FALSE(driverRunning());
}

// A user reaching for the mascot or its pills, or moving it, sees it hold still.
TEST_F(Presence, NoFidgetPlaysUnderThePointerOrDuringAMove) {
  const struct {
    const char* name;
    bool move;
  } rows[] = {{"hovering", false}, {"moving", true}};
  for (const auto& row : rows) {
    build();
    peek();
    if (row.move) {
      startMove({-40, 0});
      ASSERT_TRUE(controller->pointer().isMoving()) << row.name;
    } else {
      hover(character());
      ASSERT_TRUE(controller->pointer().isHovering()) << row.name;
    }
    controller->fidgetNow(IdleFidget::kick);
    EXPECT_FALSE(controller->lastFidget().has_value()) << row.name;
    run(43);  // the fidget timer fires at least once
    EXPECT_FALSE(controller->lastFidget().has_value()) << row.name;
    EXPECT_TRUE(controller->isFidgetScheduled()) << row.name << ": re-armed all the same";
  }
}

// Whatever ends while the pointer hovers or a move runs, the view keeps running: the idle
// sway goes on and a pill fading in does not freeze half way.
TEST_F(Presence, WhatEndsUnderThePointerOrDuringAMoveLeavesTheViewRunning) {
  enum class Ending { invitationTimeout, completionCleared, themeChange, placement };
  const struct {
    const char* name;
    Ending ending;
    bool move;
  } rows[] = {
      {"an invitation timing out under the pointer", Ending::invitationTimeout, false},
      {"a finished session cleared under the pointer", Ending::completionCleared, false},
      {"a theme change under the pointer", Ending::themeChange, false},
      {"a placement chosen under the pointer", Ending::placement, false},
      {"a finished session cleared during a move", Ending::completionCleared, true},
      {"a theme change during a move", Ending::themeChange, true},
  };
  const QPalette original = QGuiApplication::palette();
  for (const auto& row : rows) {
    build();
    peek();
    if (row.ending == Ending::invitationTimeout) {
      ASSERT_TRUE(controller->offerFocusInvitation(25, false)) << row.name;
    }
    if (row.ending == Ending::completionCleared) {
      controller->showCompletion(
          PomodoroSession::Completion{PomodoroSession::Kind::work, 1500, Date(), "", UUID()},
          "3:15 PM", "Finished just now", false);
      run(1);
    }
    if (row.move) {
      startMove({-40, 0});
    } else {
      hover(character());
    }
    run(1);
    switch (row.ending) {
      case Ending::invitationTimeout:
        run(6);
        break;
      case Ending::completionCleared:
        controller->showCompletion(std::nullopt, "", "", false);
        break;
      case Ending::themeChange: {
        QPalette dark = original;
        dark.setColor(QPalette::Window, QColor(20, 20, 20));
        QGuiApplication::setPalette(dark);
        QGuiApplication::setPalette(original);
        break;
      }
      case Ending::placement:
        controller->setPlacement(MascotPlacement(1, 0.2));
        break;
    }
    run(2);
    ASSERT_NE(controller->frameDriver(), nullptr) << row.name;
    EXPECT_FALSE(controller->frameDriver()->isPaused()) << row.name;
    if (!row.move) {
      EXPECT_FALSE(controller->scene()->isCalm()) << row.name;
    }
  }
}

TEST_F(Presence, ANewSceneOffersTheStoredWorkLength) {
  Preferences p = preferences->preferences();
  p.workMinutes = 50;
  preferences->setPreferences(p);
  build();
  peek();
  EXPECT_EQ(controller->scene()->workMinutes(), 50);
}

// A still redraw ending during the climb away used to stop the view: the monkey froze half
// way and, its climb never ending, the window stayed on screen in hidden mode.
TEST_F(Presence, AStillRedrawJustBeforeHidingDoesNotFreezeTheClimbAway) {
  build();
  peek();
  controller->setPlacement(MascotPlacement(1, 0.2));
  ASSERT_TRUE(driverRunning()) << "the short redraw";
  setMode(PresenceMode::hidden);
  run(0.6);
  EXPECT_EQ(controller->window(), nullptr);
}

}  // namespace
}  // namespace vorlane
