#include "core/suppression/suppression_policy.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/settings/preferences.h"

namespace vorlane {
namespace {

using R = SuppressionReason;
using D = SuppressionDecision;

const Date now(800000000);
const Date later = now + 600;

TEST(SuppressionPolicy, EachReasonTheOrderWhenSeveralHoldAndTheSwitchesFromTheSettings) {
  // One call per row: a table of snapshots trips a false maybe-uninitialized warning in GCC 12.
  auto row = [](const EnvironmentSnapshot& snapshot, const D& expected) {
    EXPECT_EQ(Preferences().suppressionPolicy().evaluate(snapshot), expected);
  };
  row({.now = now, .cameraInUse = true, .mutedUntil = now},  // a mute ending now is over
      D::suppress(R::cameraInUse()));
  row({.now = now, .mutedUntil = now + 0.001}, D::suppress(R::muted(now + 0.001)));
  row({.now = now, .activeAppID = "com.microsoft.PowerPoint"}, D::allow());  // case counts
  row({.now = now, .isFullscreenOnTargetDisplay = true}, D::suppress(R::fullscreen()));
  row({.now = now,
       .cameraInUse = true,
       .microphoneInUse = true,
       .activeAppID = "us.zoom.xos",
       .isFullscreenOnTargetDisplay = true,
       .mutedUntil = later,
       .isScreenUnavailable = true},
      D::suppress(R::screenUnavailable()));
  row({.now = now, .cameraInUse = true, .mutedUntil = later}, D::suppress(R::muted(later)));
  row({.now = now, .cameraInUse = true, .microphoneInUse = true}, D::suppress(R::cameraInUse()));
  row({.now = now, .microphoneInUse = true, .activeAppID = "us.zoom.xos"},
      D::suppress(R::microphoneInUse()));
  row({.now = now, .activeAppID = "com.microsoft.teams2", .isFullscreenOnTargetDisplay = true},
      D::suppress(R::presentationApp("com.microsoft.teams2")));
  const SuppressionPolicy own =
      Preferences({.quietInFullscreen = false, .blockedAppIDs = {"org.x"}}).suppressionPolicy();
  EXPECT_TRUE(
      own.evaluate({.now = now, .activeAppID = "us.zoom.xos", .isFullscreenOnTargetDisplay = true})
          .isAllowed());
  EXPECT_EQ(own.evaluate({.now = now, .activeAppID = "org.x"}).reason(),
            R::presentationApp("org.x"));
}

TEST(SuppressionReason, ExplanationsAndTheFallbackForEveryVisitKind) {
  using F = SuppressionFallback;
  const F notify = F::silentNotification;
  const std::pair<R, const char*> reasons[] = {
      {R::muted(later), "muted"},
      {R::presentationApp("us.zoom.xos"), "presenting in us.zoom.xos"},
      {R::cameraInUse(), "camera in use"},
      {R::microphoneInUse(), "microphone in use"},
      {R::fullscreen(), "fullscreen app on the target display"},
  };
  EXPECT_EQ(R::screenUnavailable().explanation(), "screen asleep or locked");
  // Each kind, what it falls back to when the screen is unavailable and for any other reason.
  const std::tuple<Visit::Kind, F, F> rows[] = {
      {Visit::Kind::reminder(UUID::random()), notify, notify},
      {Visit::Kind::hourly(), F::drop, notify},
      {Visit::Kind::manual(), F::drop, notify},
      {Visit::Kind::pomodoroStart(), notify, notify},
      {Visit::Kind::pomodoroComplete(), notify, notify},
      {Visit::Kind::breakComplete(), notify, notify},
      {Visit::Kind::encouragement(), F::drop, F::drop},
  };
  for (const auto& [kind, whenScreenUnavailable, otherwise] : rows) {
    EXPECT_EQ(R::screenUnavailable().fallback(kind), whenScreenUnavailable) << int(kind.value());
    for (const auto& [reason, text] : reasons) {
      EXPECT_EQ(reason.explanation(), text);
      EXPECT_EQ(reason.fallback(kind), otherwise) << int(kind.value()) << ", " << text;
    }
  }
}

}  // namespace
}  // namespace vorlane
