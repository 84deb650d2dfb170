#include "core/scheduling/suppression_policy.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "core/scheduling/preferences.h"

namespace vorlane {
namespace {

const Date now(800000000);
const Date later = now + 600;

SuppressionPolicy defaultPolicy() { return SuppressionPolicy(Preferences()); }

TEST(SuppressionPolicy, EachReasonAloneAndTheOrderWhenSeveralHold) {
  using R = SuppressionReason;
  using D = SuppressionDecision;
  // One call per row: a table of snapshots trips a false maybe-uninitialized warning in GCC 12.
  auto row = [](const char* name, const EnvironmentSnapshot& snapshot, const D& expected) {
    EXPECT_EQ(defaultPolicy().evaluate(snapshot), expected) << name;
  };
  row("nothing", {.now = now}, D::allow());
  row("screen", {.now = now, .isScreenUnavailable = true}, D::suppress(R::screenUnavailable()));
  row("muted", {.now = now, .mutedUntil = later}, D::suppress(R::muted(later)));
  row("mute ending now is over", {.now = now, .mutedUntil = now}, D::allow());
  row("mute ended earlier", {.now = now, .mutedUntil = now - 1}, D::allow());
  row("mute a millisecond away", {.now = now, .mutedUntil = now + 0.001},
      D::suppress(R::muted(now + 0.001)));
  row("camera", {.now = now, .cameraInUse = true}, D::suppress(R::cameraInUse()));
  row("microphone", {.now = now, .microphoneInUse = true}, D::suppress(R::microphoneInUse()));
  row("blocked app", {.now = now, .frontmostBundleID = "com.microsoft.teams2"},
      D::suppress(R::presentationApp("com.microsoft.teams2")));
  row("app differing in case", {.now = now, .frontmostBundleID = "com.microsoft.PowerPoint"},
      D::allow());
  row("other app", {.now = now, .frontmostBundleID = "org.gnome.Terminal"}, D::allow());
  row("fullscreen", {.now = now, .isFullscreenOnTargetDisplay = true},
      D::suppress(R::fullscreen()));
  row("everything at once",
      {.now = now,
       .cameraInUse = true,
       .microphoneInUse = true,
       .frontmostBundleID = "us.zoom.xos",
       .isFullscreenOnTargetDisplay = true,
       .mutedUntil = later,
       .isScreenUnavailable = true},
      D::suppress(R::screenUnavailable()));
  row("mute before camera", {.now = now, .cameraInUse = true, .mutedUntil = later},
      D::suppress(R::muted(later)));
  row("expired mute lets camera decide", {.now = now, .cameraInUse = true, .mutedUntil = now},
      D::suppress(R::cameraInUse()));
  row("camera before microphone", {.now = now, .cameraInUse = true, .microphoneInUse = true},
      D::suppress(R::cameraInUse()));
  row("microphone before blocked app",
      {.now = now, .microphoneInUse = true, .frontmostBundleID = "us.zoom.xos"},
      D::suppress(R::microphoneInUse()));
  row("blocked app before fullscreen",
      {.now = now, .frontmostBundleID = "us.zoom.xos", .isFullscreenOnTargetDisplay = true},
      D::suppress(R::presentationApp("us.zoom.xos")));
}

TEST(SuppressionPolicy, TakesBothSwitchesFromTheSettings) {
  EnvironmentSnapshot zoomFullscreen{
      .now = now, .frontmostBundleID = "us.zoom.xos", .isFullscreenOnTargetDisplay = true};
  SuppressionPolicy own(Preferences({.quietInFullscreen = false, .blockedBundleIDs = {"org.x"}}));
  EXPECT_TRUE(own.evaluate(zoomFullscreen).isAllowed());
  EXPECT_EQ(own.evaluate({.now = now, .frontmostBundleID = "org.x"}).reason(),
            SuppressionReason::presentationApp("org.x"));
  EXPECT_TRUE(SuppressionPolicy({}, false).evaluate(zoomFullscreen).isAllowed());
}

TEST(SuppressionReason, Explanations) {
  const std::pair<SuppressionReason, const char*> rows[] = {
      {SuppressionReason::muted(later), "muted"},
      {SuppressionReason::presentationApp("com.microsoft.teams2"),
       "presenting in com.microsoft.teams2"},
      {SuppressionReason::cameraInUse(), "camera in use"},
      {SuppressionReason::microphoneInUse(), "microphone in use"},
      {SuppressionReason::fullscreen(), "fullscreen app on the target display"},
      {SuppressionReason::screenUnavailable(), "screen asleep or locked"},
  };
  for (const auto& [reason, text] : rows) EXPECT_EQ(reason.explanation(), text);
}

TEST(SuppressionReason, FallbackForEveryVisitKind) {
  using F = SuppressionFallback;
  const F notify = F::silentNotification;
  struct Row {
    Visit::Kind kind;
    F whenScreenUnavailable, otherwise;
  };
  const Row rows[] = {
      {Visit::Kind::reminder(UUID::random()), notify, notify},
      {Visit::Kind::hourly(), F::drop, notify},
      {Visit::Kind::manual(), F::drop, notify},
      {Visit::Kind::pomodoroStart(), notify, notify},
      {Visit::Kind::pomodoroComplete(), notify, notify},
      {Visit::Kind::breakComplete(), notify, notify},
      {Visit::Kind::encouragement(), F::drop, F::drop},
  };
  const SuppressionReason others[] = {
      SuppressionReason::muted(later), SuppressionReason::presentationApp("us.zoom.xos"),
      SuppressionReason::cameraInUse(), SuppressionReason::microphoneInUse(),
      SuppressionReason::fullscreen()};
  for (const auto& row : rows) {
    auto kind = static_cast<int>(row.kind.value());
    EXPECT_EQ(SuppressionReason::screenUnavailable().fallback(row.kind), row.whenScreenUnavailable)
        << "kind " << kind;
    for (const auto& reason : others) {
      EXPECT_EQ(reason.fallback(row.kind), row.otherwise)
          << "kind " << kind << ", " << reason.explanation();
    }
  }
}

TEST(SuppressionDecision, Accessors) {
  auto allow = SuppressionDecision::allow();
  EXPECT_TRUE(allow.isAllowed());
  EXPECT_FALSE(allow.reason().has_value());

  auto suppress = SuppressionDecision::suppress(SuppressionReason::fullscreen());
  EXPECT_FALSE(suppress.isAllowed());
  EXPECT_EQ(suppress.reason(), SuppressionReason::fullscreen());
}

}  // namespace
}  // namespace vorlane
