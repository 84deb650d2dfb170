#include "app/desktop/environment_probe.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Answers every question from its fields and records the order in which it was asked.
struct FakeSystem final : CameraUsage,
                          MicrophoneUsage,
                          FrontmostApplication,
                          ScreenGeometry,
                          ScreenAvailability {
  bool camera = false;
  bool microphone = false;
  std::optional<std::string> frontmost;
  std::vector<ScreenFrame> screens;
  std::optional<std::string> fullscreenOn;  // identifier of the screen a window fills
  bool unavailable = false;

  std::vector<std::string> calls;
  std::optional<std::string> askedPreferred;
  std::optional<ScreenFrame> askedFullscreen;

  bool isCameraInUse() override {
    calls.push_back("camera");
    return camera;
  }
  bool isMicrophoneInUse() override {
    calls.push_back("microphone");
    return microphone;
  }
  std::optional<std::string> frontmostBundleID() override {
    calls.push_back("frontmost");
    return frontmost;
  }
  std::optional<ScreenFrame> targetScreen(const std::optional<std::string>& preferred) override {
    calls.push_back("target");
    askedPreferred = preferred;
    for (const ScreenFrame& s : screens) {
      if (preferred && s.identifier == *preferred) return s;
    }
    if (screens.empty()) return std::nullopt;
    return screens.front();
  }
  bool isFullscreenOnScreen(const std::optional<ScreenFrame>& screen) override {
    calls.push_back("fullscreen");
    askedFullscreen = screen;
    return screen && fullscreenOn == screen->identifier;
  }
  bool isScreenUnavailable() override {
    calls.push_back("availability");
    return unavailable;
  }

  EnvironmentSources sources() { return {*this, *this, *this, *this, *this}; }
};

TEST(EnvironmentProbe, AsksEveryQuestionInOrderEvenWhenTheFirstAnswerWouldDecide) {
  FakeSystem system;
  system.camera = true;
  system.microphone = true;
  system.unavailable = true;
  EnvironmentSources sources = system.sources();
  EnvironmentProbe probe(std::nullopt, std::nullopt, sources);

  probe.snapshot(Date(0));

  EXPECT_EQ(system.calls, (std::vector<std::string>{"camera", "microphone", "frontmost", "target",
                                                    "fullscreen", "availability"}));
}

TEST(EnvironmentProbe, FillsTheSnapshotFromTheAnswersAndCopiesTheMute) {
  FakeSystem system;
  system.microphone = true;
  system.frontmost = "us.zoom.xos";
  system.screens = {{"DP-1", 0, 0, 1920, 1080, 1}, {"HDMI-1", 1920, 0, 1920, 1080, 1}};
  system.fullscreenOn = "HDMI-1";
  EnvironmentSources sources = system.sources();
  EnvironmentProbe probe(Date(5000), std::string("HDMI-1"), sources);

  const EnvironmentSnapshot snapshot = probe.snapshot(Date(1234.5));

  EnvironmentSnapshot expected;
  expected.now = Date(1234.5);
  expected.microphoneInUse = true;
  expected.frontmostBundleID = "us.zoom.xos";
  expected.isFullscreenOnTargetDisplay = true;
  expected.mutedUntil = Date(5000);
  EXPECT_EQ(snapshot, expected);
  EXPECT_EQ(system.askedPreferred, std::optional<std::string>("HDMI-1"));
  ASSERT_TRUE(system.askedFullscreen.has_value());
  EXPECT_EQ(system.askedFullscreen->identifier, "HDMI-1");
}

}  // namespace
}  // namespace vorlane
