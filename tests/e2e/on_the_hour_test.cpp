// The hour is said on the hour: the program started 13 s past a half minute still sees the
// hour within moments of it, not at its own first tick after it.
#include <unistd.h>

#include <chrono>

#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

// Slow enough that a faked second is a tenth of a real one, which the log can be timed to.
constexpr int timingSpeed = 10;

TEST_F(Scenario, TheHourIsSaidWithinTwoSecondsOfItWhateverTheLaunchSecond) {
  startDesktop();
  seedPreferences();
  const std::time_t start = at("09:58:13");
  // Taken before the program starts, so its clock can only be behind this reckoning: the
  // lateness measured is never less than the real one.
  const auto launched = std::chrono::steady_clock::now();
  launch(start, timingSpeed);
  const std::string line = visitLine(at("10:00:00"));
  const auto limit = launched + program->real(5 * 60);
  while (program->count(line) == 0 && std::chrono::steady_clock::now() < limit) usleep(2'000);
  const std::chrono::duration<double> real = std::chrono::steady_clock::now() - launched;
  ASSERT_EQ(program->count(line), 1u) << "no visit at ten";
  const double late = double(start) + real.count() * timingSpeed - double(at("10:00:00"));
  EXPECT_LT(late, 2.0) << "the hour was said " << late << " s after it";
  EXPECT_EQ(program->count("performing visit scheduled for"), 1u);
}

}  // namespace
}  // namespace vorlane::e2e
