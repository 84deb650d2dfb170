#include "app/desktop/environment_probe.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Answers every question from its fields and records the order in which it was asked.
struct FakeSystem final : CameraUsage, MicrophoneUsage, FrontmostApplication, ScreenGeometry, ScreenAvailability {
  bool camera = false, microphone = true, unavailable = false;
  std::vector<ScreenFrame> screens{{"DP-1", 0, 0, 1920, 1080, 1}, {"HDMI-1", 1920, 0, 1920, 1080, 1}};
  std::vector<std::string> calls;
  std::optional<std::string> askedPreferred, askedFullscreen;

  bool isCameraInUse() override { return calls.push_back("camera"), camera; }
  bool isMicrophoneInUse() override { return calls.push_back("microphone"), microphone; }
  std::optional<std::string> frontmostBundleID() override { return calls.push_back("frontmost"), "us.zoom.xos"; }
  std::optional<ScreenFrame> targetScreen(const std::optional<std::string>& preferred) override {
    calls.push_back("target"), askedPreferred = preferred;
    return preferred == "HDMI-1" ? screens[1] : screens[0];
  }
  bool isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) override {
    calls.push_back("fullscreen"), askedFullscreen = screen.value().identifier;
    return screen->identifier == "HDMI-1";
  }
  bool isScreenUnavailable() override { return calls.push_back("availability"), unavailable; }
};

TEST(EnvironmentProbe, AsksEveryQuestionInOrderAndFillsTheSnapshotFromTheAnswersAndCopiesTheMute) {
  FakeSystem system;
  EnvironmentSources sources{system, system, system, system, system};
  const EnvironmentSnapshot snapshot = EnvironmentProbe(Date(5000), std::string("HDMI-1"), sources).snapshot(Date(1234.5));
  EnvironmentSnapshot expected;
  expected.now = Date(1234.5), expected.microphoneInUse = true, expected.frontmostBundleID = "us.zoom.xos";
  expected.isFullscreenOnTargetDisplay = true, expected.mutedUntil = Date(5000);
  EXPECT_EQ(snapshot, expected);
  EXPECT_EQ(system.askedPreferred, "HDMI-1");
  EXPECT_EQ(system.askedFullscreen, "HDMI-1");
  // Every question is asked, even when the first answer would decide.
  system.calls.clear(), system.camera = true, system.unavailable = true;
  EnvironmentProbe(std::nullopt, std::nullopt, sources).snapshot(Date(0));
  EXPECT_EQ(system.calls, (std::vector<std::string>{"camera", "microphone", "frontmost", "target", "fullscreen", "availability"}));
}

}  // namespace
}  // namespace vorlane
