#include "platform/desktop/environment/environment_probe.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Answers every question from its fields and records the order in which it was asked. Its
// target is the preferred screen, and only a preferred HDMI-1 is full screen.
struct FakeSystem final : CameraUsage,
                          MicrophoneUsage,
                          ActiveApplication,
                          ScreenGeometry,
                          ScreenAvailability {
  bool camera = false, unavailable = false;
  std::vector<std::string> calls;
  template <typename T>
  T answer(const char* question, T value) {
    calls.push_back(question);
    return value;
  }
  bool isCameraInUse() override { return answer("camera", camera); }
  bool isMicrophoneInUse() override { return answer("microphone", true); }
  std::optional<std::string> activeAppID() override {
    return answer<std::optional<std::string>>("active application", "us.zoom.xos");
  }
  std::optional<ScreenFrame> targetScreen(const std::optional<std::string>& preferred) override {
    const ScreenFrame frame{preferred.value_or("DP-1"), 0, 0, 1920, 1080, 1};
    return answer<std::optional<ScreenFrame>>("target", frame);
  }
  bool isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) override {
    return answer("fullscreen", screen.value().identifier == "HDMI-1");  // only the preferred one
  }
  bool isScreenUnavailable() override { return answer("availability", unavailable); }
};

TEST(EnvironmentProbe, AsksEveryQuestionInOrderAndFillsTheSnapshotFromTheAnswersAndCopiesTheMute) {
  FakeSystem system;
  EnvironmentSources sources{system, system, system, system, system};
  EnvironmentSnapshot expected;
  expected.now = Date(1234.5);
  expected.microphoneInUse = true;
  expected.activeAppID = "us.zoom.xos";
  expected.isFullscreenOnTargetDisplay = true;
  expected.mutedUntil = Date(5000);
  EXPECT_EQ(EnvironmentProbe(Date(5000), std::string("HDMI-1"), sources).snapshot(Date(1234.5)),
            expected);
  // Every question is asked, even when the first answer would decide.
  system.calls.clear();
  system.camera = true;
  system.unavailable = true;
  EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(0));
  const std::vector<std::string> order{"camera", "microphone", "active application",
                                       "target", "fullscreen", "availability"};
  EXPECT_EQ(system.calls, order);
}

}  // namespace
}  // namespace vorlane
