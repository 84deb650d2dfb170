#include "ui/scene/settle_rate.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlane {
namespace {

struct Frame {
  double seconds;
  double pixels;
};

constexpr int lively = SettleRate::livelyInterval;
constexpr int settled = SettleRate::settledInterval;

TEST(SettleRate, DropsToFifteenFramesOnlyAfterAFifthOfASecondOfDriftAndComesBackAtOnce) {
  const Frame still30{0.033, 0.3};
  const Frame still15{0.066, 0.6};  // the same drift as still30, over a frame twice as long
  const Frame moving30{0.033, 1.0};
  struct Row {
    const char* name;
    std::vector<Frame> frames;
    std::vector<int> expected;  // the interval after each frame
  };
  const Row rows[] = {
      {"a moving part keeps 30 frames", {moving30, moving30, moving30}, {lively, lively, lively}},
      {"six drifting frames are under 200 ms", std::vector<Frame>(6, still30),
       std::vector<int>(6, lively)},
      {"the seventh reaches it",
       std::vector<Frame>(7, still30),
       {lively, lively, lively, lively, lively, lively, settled}},
      {"one lively frame starts the count again",
       {still30, still30, still30, still30, moving30, still30, still30, still30, still30, still30,
        still30, still30},
       {lively, lively, lively, lively, lively, lively, lively, lively, lively, lively, lively,
        settled}},
      {"motion ends the slow pace in its first frame",
       {{0.2, 0.1}, {0.066, 5.0}},
       {settled, lively}},
      {"a drift is read per 30-Hz frame, so longer frames stay slow",
       {{0.2, 0.1}, still15, still15, still15},
       {settled, settled, settled, settled}},
      {"just under the threshold is still", {{0.2, 0}, {1.0 / 30, 0.69}}, {settled, settled}},
      {"just over it moves", {{0.2, 0}, {1.0 / 30, 0.71}}, {settled, lively}},
      {"a frame of no length changes nothing", {{0.2, 0.1}, {0, 50}}, {settled, settled}},
  };
  for (const Row& row : rows) {
    SettleRate rate;
    std::vector<int> got;
    for (const Frame& f : row.frames) got.push_back(rate.frame(f.seconds, f.pixels));
    EXPECT_EQ(got, row.expected) << row.name;
  }
}

TEST(SettleRate, ResetStartsLively) {
  SettleRate rate;
  EXPECT_EQ(rate.frame(0.5, 0), settled);
  rate.reset();
  EXPECT_EQ(rate.interval(), lively);
  EXPECT_EQ(rate.frame(0.1, 0), lively);
}

}  // namespace
}  // namespace vorlane
