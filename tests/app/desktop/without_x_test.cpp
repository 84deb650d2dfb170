#include "app/desktop/global_hot_key.h"

#include <gtest/gtest.h>

#include "app/desktop/environment_probe.h"
#include "app/desktop/system_environment.h"
#include "app/logging/log_capture.h"

namespace vorlane {
namespace {

TEST(WithoutX, HotKeyCreationFailsWithTheInstallErrorLineAndXQuestionsAnswerTheHarmlessSide) {
  LogCapture capture;
  int calls = 0;
  EXPECT_EQ(GlobalHotKey::create(46, 0x1900, 1, [&] { ++calls; }), nullptr);
  EXPECT_EQ(capture.lines(), (std::vector<LogCapture::Line>{{LogLevel::error, "lifecycle", "failed to install hotkey handler: -1"}}));
  EXPECT_EQ(calls, 0);
  SystemEnvironment environment;
  EnvironmentSources sources = environment.sources();
  const EnvironmentSnapshot snapshot = EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(0));
  EXPECT_EQ(snapshot.frontmostBundleID, std::nullopt);
  EXPECT_FALSE(snapshot.isFullscreenOnTargetDisplay);
}

}  // namespace
}  // namespace vorlane
