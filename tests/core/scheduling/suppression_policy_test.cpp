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

TEST(SuppressionPolicy, DefaultBlockedList) {
  const auto& ids = SuppressionPolicy::defaultBlockedBundleIDs();
  EXPECT_EQ(ids.size(), 9u);
  EXPECT_EQ(&ids, &SuppressionPolicy::defaultBlockedBundleIDs());
  for (const char* id : {"us.zoom.xos", "com.microsoft.teams2", "com.microsoft.Powerpoint",
                         "com.google.Chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan"}) {
    EXPECT_TRUE(ids.contains(id)) << id;
  }
}

TEST(SuppressionPolicy, EachReasonAloneAndTheOrderWhenSeveralHold) {
  struct Row {
    const char* name;
    EnvironmentSnapshot snapshot;
    SuppressionDecision expected;
  };
  using R = SuppressionReason;
  using D = SuppressionDecision;
  const Row rows[] = {
      {"nothing", {.now = now}, D::allow()},
      {"screen", {.now = now, .isScreenUnavailable = true}, D::suppress(R::screenUnavailable())},
      {"muted", {.now = now, .mutedUntil = later}, D::suppress(R::muted(later))},
      {"mute ending now is over", {.now = now, .mutedUntil = now}, D::allow()},
      {"mute ended earlier", {.now = now, .mutedUntil = now - 1}, D::allow()},
      {"mute a millisecond away", {.now = now, .mutedUntil = now + 0.001},
       D::suppress(R::muted(now + 0.001))},
      {"camera", {.now = now, .cameraInUse = true}, D::suppress(R::cameraInUse())},
      {"microphone", {.now = now, .microphoneInUse = true}, D::suppress(R::microphoneInUse())},
      {"blocked app", {.now = now, .frontmostBundleID = "com.microsoft.teams2"},
       D::suppress(R::presentationApp("com.microsoft.teams2"))},
      {"app differing in case", {.now = now, .frontmostBundleID = "com.microsoft.PowerPoint"},
       D::allow()},
      {"other app", {.now = now, .frontmostBundleID = "org.gnome.Terminal"}, D::allow()},
      {"fullscreen", {.now = now, .isFullscreenOnTargetDisplay = true},
       D::suppress(R::fullscreen())},
      {"everything at once",
       {.now = now,
        .cameraInUse = true,
        .microphoneInUse = true,
        .frontmostBundleID = "us.zoom.xos",
        .isFullscreenOnTargetDisplay = true,
        .mutedUntil = later,
        .isScreenUnavailable = true},
       D::suppress(R::screenUnavailable())},
      {"mute before camera", {.now = now, .cameraInUse = true, .mutedUntil = later},
       D::suppress(R::muted(later))},
      {"expired mute lets camera decide", {.now = now, .cameraInUse = true, .mutedUntil = now},
       D::suppress(R::cameraInUse())},
      {"camera before microphone", {.now = now, .cameraInUse = true, .microphoneInUse = true},
       D::suppress(R::cameraInUse())},
      {"microphone before blocked app",
       {.now = now, .microphoneInUse = true, .frontmostBundleID = "us.zoom.xos"},
       D::suppress(R::microphoneInUse())},
      {"blocked app before fullscreen",
       {.now = now, .frontmostBundleID = "us.zoom.xos", .isFullscreenOnTargetDisplay = true},
       D::suppress(R::presentationApp("us.zoom.xos"))},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(defaultPolicy().evaluate(row.snapshot), row.expected) << row.name;
  }
}

TEST(SuppressionPolicy, FullscreenOnlyWhenQuietInFullscreen) {
  EnvironmentSnapshot snapshot{.now = now, .isFullscreenOnTargetDisplay = true};
  EXPECT_TRUE(SuppressionPolicy({}, false).evaluate(snapshot).isAllowed());
  EXPECT_EQ(SuppressionPolicy({}, true).evaluate(snapshot).reason(), SuppressionReason::fullscreen());
  EXPECT_TRUE(SuppressionPolicy({}, true).evaluate({.now = now}).isAllowed());
}

TEST(SuppressionPolicy, TakesBothSwitchesFromTheSettings) {
  EnvironmentSnapshot zoomFullscreen{
      .now = now, .frontmostBundleID = "us.zoom.xos", .isFullscreenOnTargetDisplay = true};
  Preferences none({.quietInFullscreen = false, .blockedBundleIDs = {}});
  EXPECT_TRUE(SuppressionPolicy(none).evaluate(zoomFullscreen).isAllowed());

  Preferences own({.quietInFullscreen = false, .blockedBundleIDs = {"org.example.slides"}});
  SuppressionPolicy policy(own);
  EXPECT_TRUE(policy.evaluate(zoomFullscreen).isAllowed());
  EXPECT_EQ(policy.evaluate({.now = now, .frontmostBundleID = "org.example.slides"}).reason(),
            SuppressionReason::presentationApp("org.example.slides"));
  EXPECT_TRUE(policy.evaluate({.now = now, .frontmostBundleID = std::nullopt}).isAllowed());
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
  struct Row {
    const char* name;
    Visit::Kind kind;
    F whenScreenUnavailable;
    F otherwise;
  };
  const Row rows[] = {
      {"reminder", Visit::Kind::reminder(UUID::random()), F::silentNotification,
       F::silentNotification},
      {"hourly", Visit::Kind::hourly(), F::drop, F::silentNotification},
      {"manual", Visit::Kind::manual(), F::drop, F::silentNotification},
      {"pomodoroStart", Visit::Kind::pomodoroStart(), F::silentNotification,
       F::silentNotification},
      {"pomodoroComplete", Visit::Kind::pomodoroComplete(), F::silentNotification,
       F::silentNotification},
      {"breakComplete", Visit::Kind::breakComplete(), F::silentNotification,
       F::silentNotification},
      {"encouragement", Visit::Kind::encouragement(), F::drop, F::drop},
  };
  const SuppressionReason others[] = {
      SuppressionReason::muted(later), SuppressionReason::presentationApp("us.zoom.xos"),
      SuppressionReason::cameraInUse(), SuppressionReason::microphoneInUse(),
      SuppressionReason::fullscreen()};
  for (const auto& row : rows) {
    EXPECT_EQ(SuppressionReason::screenUnavailable().fallback(row.kind), row.whenScreenUnavailable)
        << row.name;
    for (const auto& reason : others) {
      EXPECT_EQ(reason.fallback(row.kind), row.otherwise)
          << row.name << " / " << reason.explanation();
    }
  }
}

TEST(SuppressionReason, EqualityIncludesThePayload) {
  EXPECT_EQ(SuppressionReason::muted(later), SuppressionReason::muted(later));
  EXPECT_NE(SuppressionReason::muted(later), SuppressionReason::muted(later + 1));
  EXPECT_NE(SuppressionReason::presentationApp("a"), SuppressionReason::presentationApp("b"));
  EXPECT_NE(SuppressionReason::cameraInUse(), SuppressionReason::microphoneInUse());
  EXPECT_EQ(SuppressionReason::muted(later).mutedUntil(), later);
  EXPECT_EQ(SuppressionReason::presentationApp("a").bundleID(), "a");
}

TEST(SuppressionDecision, Accessors) {
  auto allow = SuppressionDecision::allow();
  EXPECT_TRUE(allow.isAllowed());
  EXPECT_FALSE(allow.reason().has_value());

  auto suppress = SuppressionDecision::suppress(SuppressionReason::fullscreen());
  EXPECT_FALSE(suppress.isAllowed());
  EXPECT_EQ(suppress.reason(), SuppressionReason::fullscreen());
  EXPECT_NE(suppress, allow);
  EXPECT_NE(suppress, SuppressionDecision::suppress(SuppressionReason::cameraInUse()));
}

}  // namespace
}  // namespace vorlane
