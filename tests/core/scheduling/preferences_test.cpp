#include "core/scheduling/preferences.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::vector<std::string> fieldOrder = {
    "activeStartHour", "activeEndHour", "halfHourVisitsEnabled", "presenceMode",
    "showCurrentTime", "idleFocusInvitationsEnabled", "encouragementsEnabled",
    "mascotAppearance", "mascotPlacements", "mascotClickThrough", "preferredScreenID",
    "celebrateSessions", "speechEnabled", "voiceIdentifier", "speechRate", "phraseTemplate",
    "quietInFullscreen", "blockedBundleIDs", "workMinutes", "breakMinutes", "launchAtLogin",
    "hasCompletedOnboarding"};

// Every field away from its default, so a field that is lost or not compared shows.
Preferences everyFieldChanged() {
  return Preferences({
      .activeStartHour = 22, .activeEndHour = 6, .halfHourVisitsEnabled = true,
      .presenceMode = PresenceMode::hidden, .showCurrentTime = true,
      .idleFocusInvitationsEnabled = false, .encouragementsEnabled = false,
      .mascotAppearance = {.monkeyOpacity = 0.5, .ropeOpacity = 0.25, .bannerOpacity = 0.75,
                           .ropeWidth = 6, .monkeyColor = MascotColor(1, 0.5, 0),
                           .ropeColor = std::nullopt, .bannerColor = MascotColor(0, 0, 1)},
      .mascotPlacements = {{"DP-1", MascotPlacement(0.25, 0.5)}, {"HDMI-1", MascotPlacement(0, 1)}},
      .mascotClickThrough = true, .preferredScreenID = "DP-1", .celebrateSessions = false,
      .speechEnabled = false, .voiceIdentifier = "flite:slt", .speechRate = 0.7f,
      .phraseTemplate = "{hour} {ampm}", .quietInFullscreen = false,
      .blockedBundleIDs = {"org.example.slides", "us.zoom.xos"}, .workMinutes = 50,
      .breakMinutes = -5,  // out of range, kept as given
      .launchAtLogin = true, .hasCompletedOnboarding = true,
  });
}

Preferences decodeText(const std::string& text) { return Preferences::decode(Json::parse(text)); }

TEST(Preferences, DefaultRecordIsWrittenInFieldOrder) {
  EXPECT_EQ(json::dump(Preferences().encode()),
            R"({"activeStartHour":9,"activeEndHour":21,"halfHourVisitsEnabled":false,)"
            R"("presenceMode":"peek","showCurrentTime":false,"idleFocusInvitationsEnabled":true,)"
            R"("encouragementsEnabled":true,"mascotAppearance":{"monkeyOpacity":1,)"
            R"("ropeOpacity":1,"bannerOpacity":1,"ropeWidth":4},"mascotPlacements":{},)"
            R"("mascotClickThrough":false,"celebrateSessions":true,"speechEnabled":true,)"
            R"("speechRate":0.5,"phraseTemplate":"It's {time}","quietInFullscreen":true,)"
            R"("blockedBundleIDs":["com.apple.QuickTimePlayer","com.apple.iWork.Keynote",)"
            R"("com.cisco.webexmeetingsapp",)"
            R"("com.google.Chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan",)"
            R"("com.microsoft.Powerpoint","com.microsoft.teams","com.microsoft.teams2",)"
            R"("com.webex.meetingmanager","us.zoom.xos"],"workMinutes":25,"breakMinutes":5,)"
            R"("launchAtLogin":false,"hasCompletedOnboarding":false})");
  std::vector<std::string> keys;
  const Json full = everyFieldChanged().encode();
  for (const auto& item : full.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, fieldOrder);
}

TEST(Preferences, RoundTripsThroughStoredText) {
  for (const Preferences& p : {Preferences(), everyFieldChanged()}) {
    EXPECT_EQ(Preferences::decode(json::parse(json::dump(p.encode()))), p);
  }
}

TEST(Preferences, SanitisesTheAppearanceOnlyWhenBuilt) {
  MascotAppearance wild{.monkeyOpacity = 1.7, .ropeOpacity = NAN, .ropeWidth = 20};
  EXPECT_EQ(Preferences({.mascotAppearance = wild}).mascotAppearance, wild.sanitized());
  Preferences assigned;
  assigned.mascotAppearance = wild;
  EXPECT_EQ(assigned.mascotAppearance.ropeWidth, 20);
  // An unsanitised non-finite value cannot be written, nor can a non-finite rate.
  EXPECT_THROW(assigned.encode(), EncodingError);
  Preferences rate;
  rate.speechRate = INFINITY;
  EXPECT_THROW(rate.encode(), EncodingError);
}

TEST(Preferences, ActiveHours) {
  struct Row {
    std::int64_t start, end;
    std::vector<std::int64_t> active, inactive;
  };
  const Row rows[] = {
      {9, 21, {9, 15, 21}, {0, 8, 22}},
      {22, 6, {22, 23, 0, 6}, {7, 12, 21}},
      {9, 9, {9}, {8, 10}},
      {30, 21, {0, 21}, {22, 23}},  // an out-of-range start wraps
  };
  for (const auto& row : rows) {
    Preferences p({.activeStartHour = row.start, .activeEndHour = row.end});
    for (auto h : row.active) EXPECT_TRUE(p.isWithinActiveHours(h)) << row.start << " " << h;
    for (auto h : row.inactive) EXPECT_FALSE(p.isWithinActiveHours(h)) << row.start << " " << h;
  }
}

TEST(Preferences, OnlyANonObjectFailsToDecode) {
  for (const char* text : {"[]", R"("preferences")", "null"}) {
    EXPECT_THROW(decodeText(text), DecodingError) << text;
  }
  EXPECT_EQ(decodeText(R"({"unknownKey": [1, 2]})"), Preferences());
}

// A missing or bad value costs only its own field: the rest of a fully changed record stays.
TEST(Preferences, OneBadKeyKeepsEveryOtherField) {
  const Json good = everyFieldChanged().encode();
  const Json defaults = Preferences().encode();
  // Each is wrong for every field: null, an object, a number beyond every integer and float.
  const Json badValues[] = {Json(nullptr), Json::parse(R"({"bad": true})"), Json(1e300),
                            Json::parse("[1.5]")};
  for (const auto& key : fieldOrder) {
    Json expected = good;
    expected.erase(key);
    if (defaults.contains(key)) expected[key] = defaults[key];
    Json missing = good;
    missing.erase(key);
    EXPECT_EQ(Preferences::decode(missing), Preferences::decode(expected)) << "no " << key;
    for (const auto& bad : badValues) {
      Json corrupted = good;
      corrupted[key] = bad;
      EXPECT_EQ(Preferences::decode(corrupted), Preferences::decode(expected))
          << key << " = " << bad.dump();
    }
  }
}

// Reads that the generic bad values above do not reach.
TEST(Preferences, TolerantFieldReads) {
  auto with = [](auto change) {
    Preferences p;
    change(p);
    return p;
  };
  const std::pair<const char*, Preferences> rows[] = {
      {R"({"workMinutes": 40.0, "breakMinutes": 7.5})", with([](auto& p) { p.workMinutes = 40; })},
      {R"({"presenceMode": "Hidden", "showCurrentTime": true})",
       with([](auto& p) { p.showCurrentTime = true; })},
      {R"({"speechRate": 1})", with([](auto& p) { p.speechRate = 1.0f; })},
      {R"({"blockedBundleIDs": []})", with([](auto& p) { p.blockedBundleIDs.clear(); })},
      {R"({"blockedBundleIDs": ["a", "b", "a"]})",
       with([](auto& p) { p.blockedBundleIDs = {"a", "b"}; })},
      {R"({"mascotPlacements": {"DP-1": {"horizontal": 0.5}, "HDMI-1": 3}})", Preferences()},
      {R"({"mascotPlacements": {"DP-1": {}, "HDMI-1": {"horizontal": -2, "vertical": 0.25}}})",
       with([](auto& p) {
         p.mascotPlacements = {{"DP-1", MascotPlacement(1, 0)},
                               {"HDMI-1", MascotPlacement(0, 0.25)}};
       })},
      {R"({"mascotAppearance": {"ropeWidth": 20, "monkeyColor": {"red": 1, "green": 0}}})",
       with([](auto& p) { p.mascotAppearance.ropeWidth = 8; })},
  };
  for (const auto& [text, expected] : rows) EXPECT_EQ(decodeText(text), expected) << text;
}

TEST(Preferences, EqualityComparesEveryField) {
  const Json changed = everyFieldChanged().encode();
  for (const auto& key : fieldOrder) {
    Json oneChanged = Preferences().encode();
    oneChanged[key] = changed[key];
    EXPECT_NE(Preferences::decode(oneChanged), Preferences()) << key;
  }
  // The template compares by characters, not code points.
  EXPECT_EQ(Preferences({.phraseTemplate = "caf\u00e9"}),
            Preferences({.phraseTemplate = "cafe\u0301"}));
}

}  // namespace
}  // namespace vorlane
