#include <gtest/gtest.h>

#include "platform/desktop/environment/environment_probe.h"
#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/hot_keys/global_hot_key.h"
#include "tests/support/log_capture.h"

namespace vorlane {
namespace {

TEST(WithoutX, HotKeyCreationFailsWithTheInstallErrorLineAndXQuestionsAnswerTheHarmlessSide) {
  LogCapture capture;
  EXPECT_EQ(GlobalHotKey::create(0x6d, Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier, 1,
                                 [] { ADD_FAILURE() << "called"; }),
            nullptr);
  const LogCapture::Line failed{LogLevel::error, "lifecycle",
                                "failed to install hotkey handler: -1"};
  EXPECT_EQ(capture.lines(), std::vector{failed});
  SystemEnvironment environment;  // no DISPLAY: every X question falls to the harmless side
  EnvironmentSources sources = environment.sources();
  const EnvironmentSnapshot snapshot =
      EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(0));
  EXPECT_EQ(snapshot.activeAppID, std::nullopt);
  EXPECT_FALSE(snapshot.isFullscreenOnTargetDisplay);
}

}  // namespace
}  // namespace vorlane
