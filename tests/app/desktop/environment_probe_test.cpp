#include "app/desktop/environment_probe.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Answers every question from its fields and records the order in which it was asked. Its
// target is the preferred screen, and only a preferred HDMI-1 is full screen.
struct FakeSystem final : CameraUsage, MicrophoneUsage, FrontmostApplication, ScreenGeometry, ScreenAvailability {
  bool camera = false, unavailable = false;
  std::vector<std::string> calls;
  bool isCameraInUse() override { return calls.push_back("camera"), camera; }
  bool isMicrophoneInUse() override { return calls.push_back("microphone"), true; }
  std::optional<std::string> frontmostBundleID() override { return calls.push_back("frontmost"), "us.zoom.xos"; }
  std::optional<ScreenFrame> targetScreen(const std::optional<std::string>& preferred) override {
    return calls.push_back("target"), ScreenFrame{preferred.value_or("DP-1"), 0, 0, 1920, 1080, 1};
  }
  bool isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) override {
    return calls.push_back("fullscreen"), screen.value().identifier == "HDMI-1";  // only the preferred screen
  }
  bool isScreenUnavailable() override { return calls.push_back("availability"), unavailable; }
};

TEST(EnvironmentProbe, AsksEveryQuestionInOrderAndFillsTheSnapshotFromTheAnswersAndCopiesTheMute) {
  FakeSystem system;
  EnvironmentSources sources{system, system, system, system, system};
  EnvironmentSnapshot expected;
  expected.now = Date(1234.5), expected.microphoneInUse = true, expected.frontmostBundleID = "us.zoom.xos";
  expected.isFullscreenOnTargetDisplay = true, expected.mutedUntil = Date(5000);
  EXPECT_EQ(EnvironmentProbe(Date(5000), std::string("HDMI-1"), sources).snapshot(Date(1234.5)), expected);
  system.calls.clear(), system.camera = true, system.unavailable = true;  // even when the first answer would decide
  EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(0));
  EXPECT_EQ(system.calls, (std::vector<std::string>{"camera", "microphone", "frontmost", "target", "fullscreen", "availability"}));
}

}  // namespace
}  // namespace vorlane
