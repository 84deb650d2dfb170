// The pure rules of the overlays: the confetti burst, the minute tick and the clock's place.
#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"
#include "ui/overlays/celebration_presenter.h"
#include "ui/overlays/clock_placement.h"
#include "ui/overlays/confetti_layout.h"
#include "ui/overlays/minute_tick.h"

namespace vorlane {
namespace {

// Each range's ends, drawn from scripted words; a seed repeats its burst.
TEST(ConfettiLayout, EveryRangeReachesBothEndsAndASeedRepeats) {
  SeededRandomGenerator random(7);
  const auto pieces = confettiLayout(random, 1000, 5);
  ASSERT_EQ(pieces.size(), 70u);
  for (std::size_t i = 0; i < pieces.size(); ++i) EXPECT_EQ(pieces[i].colorIndex, i % 5);
  EXPECT_DOUBLE_EQ(pieces.back().delay, 0.276);
  SeededRandomGenerator again(7);
  EXPECT_EQ(confettiLayout(again, 1000, 5), pieces);
  EXPECT_TRUE(confettiLayout(again, 1000, 0).empty());

  using S = ScriptedRandomGenerator;
  const auto drawAll = [](std::uint64_t intWord5, std::uint64_t intWord7, std::uint64_t real) {
    std::vector<std::uint64_t> words;
    for (std::size_t i = 0; i < confettiPieceCount; ++i) {
      words.insert(words.end(), {intWord5, intWord7, real, real, real, real, real, real});
    }
    return words;
  };
  constexpr std::uint64_t reals = (std::uint64_t{1} << 53) + 1;
  S low(drawAll(S::wordFor(0, 5), S::wordFor(0, 7), S::wordFor(0, reals)));
  S high(drawAll(S::wordFor(4, 5), S::wordFor(6, 7), S::wordFor(reals - 1, reals)));
  const ConfettiPiece a = confettiLayout(low, 200, 5).front();
  const ConfettiPiece b = confettiLayout(high, 200, 5).front();
  EXPECT_EQ(a, (ConfettiPiece{0, 5, 8, 0, 200 * -1.0 * 0.55, 60, 0.35, 1.3, -3, 0}));
  EXPECT_EQ(b,
            (ConfettiPiece{0, 9, 14, 2 * std::numbers::pi, 200 * 1.0 * 0.55, 260, 0.6, 2.0, 3, 0}));
  EXPECT_TRUE(low.allUsed());
  EXPECT_TRUE(high.allUsed());
}

TEST(MinuteTick, WaitsForTheNextWholeMinute) {
  struct Row {
    double unix;
    double expected;
  };
  const Row rows[] = {
      {1'700'000'000, 40},  // 22:13:20 UTC
      {1'700'000'040, 60},  // exactly on a minute: a full one ahead
      {1'700'000'099.5, 0.5},
      {-30, 30},  // before 1970 still counts to the wall clock's minute
      {std::numeric_limits<double>::quiet_NaN(), 60},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(secondsToNextMinute(Date::fromUnix(row.unix)), row.expected) << row.unix;
  }
}

const QSize panel{144, 38};
// A work area below a 30-pixel top panel, on a display right of another.
const QRect visible{1920, 30, 1280, 994};

TEST(ClockPlacement, StoredPlaceOrDefaultAlwaysOnScreen) {
  struct Row {
    const char* name;
    StoredData stored;
    QPoint expected;
  };
  const QPoint byDefault{1920 + 1280 - 160, 30 + 994 - 50};
  const Row rows[] = {
      {"nothing stored", StoredData::missing(), byDefault},
      {"unreadable", StoredData::unreadable("bad sector"), byDefault},
      {"not JSON", StoredData::value("[0.5,"), byDefault},
      {"three numbers", StoredData::value("[0.5,0.5,0.5]"), byDefault},
      {"a boolean", StoredData::value("[true,0.5]"), byDefault},
      {"a string", StoredData::value("[\"0.5\",0.5]"), byDefault},
      {"an object", StoredData::value("{\"x\":0.5,\"y\":0.5}"), byDefault},
      {"non-finite", StoredData::value("[1e999,0.5]"), byDefault},
      {"bottom left", StoredData::value("[0,0]"), {1920, 30 + 994 - 38}},
      {"top right", StoredData::value("[1,1]"), {1920 + 1280 - 144, 30}},
      {"middle", StoredData::value("[0.5,0.5]"), {1920 + 568, 30 + 478}},
      {"beyond the edges is clamped", StoredData::value("[-2,7]"), {1920, 30}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(clockOrigin(decodeClockFractions(row.stored), panel, visible), row.expected)
        << row.name;
  }
}

TEST(ClockPlacement, ClampingAndFractions) {
  struct Row {
    const char* name;
    QPoint origin;
    QRect frame;
    QPoint clamped;
    ClockFractions fractions;
  };
  const Row rows[] = {
      {"inside stays", {1920 + 568, 30 + 478}, visible, {1920 + 568, 30 + 478}, {0.5, 0.5}},
      {"off the right edge", {3300, 500}, visible, {3200 - 144, 500}, {1, (986.0 - 500) / 956}},
      {"above the top", {2000, -40}, visible, {2000, 30}, {80.0 / 1136, 1}},
      {"below and left", {0, 5000}, visible, {1920, 986}, {0, 0}},
      {"larger than the area: left and bottom edge", {50, 50}, {0, 0, 100, 20}, {0, -18}, {0, 0}},
  };
  for (const Row& row : rows) {
    const QPoint clamped = clampedClockOrigin(row.origin, panel, row.frame);
    EXPECT_EQ(clamped, row.clamped) << row.name;
    const ClockFractions f = clockFractions(clamped, panel, row.frame);
    EXPECT_DOUBLE_EQ(f.x, row.fractions.x) << row.name;
    EXPECT_DOUBLE_EQ(f.y, row.fractions.y) << row.name;
    // What is stored restores the same place.
    EXPECT_EQ(clockOrigin(decodeClockFractions(StoredData::value(encodeClockFractions(f))), panel,
                          row.frame),
              clamped)
        << row.name;
  }
  EXPECT_EQ(clockPositionKey("DP-1"), "floatingClock.position.DP-1");
  EXPECT_EQ(encodeClockFractions({0.25, 1}), "[0.25,1]");
}

TEST(CelebrationPresenter, GlobalPointBecomesAScenePointOfItsDisplay) {
  struct Row {
    QPointF global;
    QRect screen;
    QPointF expected;
  };
  const Row rows[] = {
      {{100, 700}, {0, 0, 1920, 1080}, {100, 380}},
      {{2000, 100}, {1920, 0, 1280, 1024}, {80, 924}},    // a display right of another
      {{300, -200}, {0, -1080, 1920, 1080}, {300, 200}},  // a display above the first
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CelebrationPresenter::scenePoint(row.global, row.screen), row.expected);
  }
}

}  // namespace
}  // namespace vorlane
