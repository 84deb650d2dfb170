#include "core/scheduling/preferences.h"

#include <cmath>
#include <limits>
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

// Every field away from its default, so a field that fails to round-trip or to compare shows.
Preferences everyFieldChanged() {
  return Preferences({
      .activeStartHour = 22,
      .activeEndHour = 6,
      .halfHourVisitsEnabled = true,
      .presenceMode = PresenceMode::hidden,
      .showCurrentTime = true,
      .idleFocusInvitationsEnabled = false,
      .encouragementsEnabled = false,
      .mascotAppearance = {.monkeyOpacity = 0.5,
                           .ropeOpacity = 0.25,
                           .bannerOpacity = 0.75,
                           .ropeWidth = 6,
                           .monkeyColor = MascotColor(1, 0.5, 0),
                           .ropeColor = std::nullopt,
                           .bannerColor = MascotColor(0, 0, 1)},
      .mascotPlacements = {{"DP-1", MascotPlacement(0.25, 0.5)},
                           {"HDMI-1", MascotPlacement(0, 1)}},
      .mascotClickThrough = true,
      .preferredScreenID = "DP-1",
      .celebrateSessions = false,
      .speechEnabled = false,
      .voiceIdentifier = "flite:slt",
      .speechRate = 0.7f,
      .phraseTemplate = "{hour} {ampm}",
      .quietInFullscreen = false,
      .blockedBundleIDs = {"org.example.slides", "us.zoom.xos"},
      .workMinutes = 50,
      .breakMinutes = 10,
      .launchAtLogin = true,
      .hasCompletedOnboarding = true,
  });
}

Preferences decodeText(const std::string& text) { return Preferences::decode(Json::parse(text)); }

std::vector<std::string> keysOf(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& item : object.items()) keys.push_back(item.key());
  return keys;
}

TEST(Preferences, DefaultRecord) {
  Preferences p;
  EXPECT_EQ(p, Preferences(Preferences::Params{}));
  EXPECT_EQ(p.activeStartHour, 9);
  EXPECT_EQ(p.activeEndHour, 21);
  EXPECT_EQ(p.presenceMode, PresenceMode::peek);
  EXPECT_EQ(p.mascotAppearance, MascotAppearance());
  EXPECT_TRUE(p.mascotPlacements.empty());
  EXPECT_EQ(p.speechRate, 0.5f);
  EXPECT_EQ(p.phraseTemplate, "It's {time}");
  EXPECT_EQ(p.blockedBundleIDs, SuppressionPolicy::defaultBlockedBundleIDs());
  EXPECT_EQ(p.workMinutes, 25);
  EXPECT_EQ(p.breakMinutes, 5);
  EXPECT_FALSE(p.preferredScreenID.has_value());
  EXPECT_FALSE(p.voiceIdentifier.has_value());
}

TEST(Preferences, SanitisesTheAppearanceOnlyWhenBuilt) {
  MascotAppearance wild{.monkeyOpacity = 1.7, .ropeOpacity = NAN, .ropeWidth = 20};
  Preferences built({.mascotAppearance = wild});
  EXPECT_EQ(built.mascotAppearance, wild.sanitized());

  Preferences assigned;
  assigned.mascotAppearance = wild;
  EXPECT_EQ(assigned.mascotAppearance.monkeyOpacity, 1.7);
  EXPECT_TRUE(std::isnan(assigned.mascotAppearance.ropeOpacity));
  EXPECT_EQ(assigned.mascotAppearance.ropeWidth, 20);
}

TEST(Preferences, KeepsOutOfRangeNumbers) {
  Preferences p({.activeStartHour = 30, .speechRate = -3, .workMinutes = 0, .breakMinutes = -5});
  Preferences read = Preferences::decode(p.encode());
  EXPECT_EQ(read.activeStartHour, 30);
  EXPECT_EQ(read.speechRate, -3.0f);
  EXPECT_EQ(read.workMinutes, 0);
  EXPECT_EQ(read.breakMinutes, -5);
}

TEST(Preferences, ActiveHours) {
  struct Row {
    std::int64_t start;
    std::int64_t end;
    std::vector<std::int64_t> active;
    std::vector<std::int64_t> inactive;
  };
  const Row rows[] = {
      {9, 21, {9, 15, 21}, {0, 8, 22, 23}},
      {22, 6, {22, 23, 0, 3, 6}, {7, 12, 21}},
      {9, 9, {9}, {8, 10, 0, 23}},
      {0, 23, {0, 12, 23}, {}},
      // An out-of-range start wraps: only 0...21 stay active.
      {30, 21, {0, 21}, {22, 23}},
  };
  for (const auto& row : rows) {
    Preferences p({.activeStartHour = row.start, .activeEndHour = row.end});
    for (auto hour : row.active) {
      EXPECT_TRUE(p.isWithinActiveHours(hour)) << row.start << "-" << row.end << " at " << hour;
    }
    for (auto hour : row.inactive) {
      EXPECT_FALSE(p.isWithinActiveHours(hour)) << row.start << "-" << row.end << " at " << hour;
    }
  }
}

TEST(Preferences, EncodesKeysInFieldOrder) {
  Json full = everyFieldChanged().encode();
  EXPECT_EQ(keysOf(full), fieldOrder);

  std::vector<std::string> withoutOptionals;
  for (const auto& key : fieldOrder) {
    if (key != "preferredScreenID" && key != "voiceIdentifier") withoutOptionals.push_back(key);
  }
  EXPECT_EQ(keysOf(Preferences().encode()), withoutOptionals);
}

TEST(Preferences, EncodesNaturalJsonValues) {
  Json json = everyFieldChanged().encode();
  EXPECT_EQ(json["presenceMode"], "hidden");
  EXPECT_EQ(json::dump(json["speechRate"]), "0.7");
  EXPECT_EQ(json["blockedBundleIDs"], Json::parse(R"(["org.example.slides","us.zoom.xos"])"));
  EXPECT_EQ(json["mascotPlacements"],
            Json::parse(R"({"DP-1":{"horizontal":0.25,"vertical":0.5},)"
                        R"("HDMI-1":{"horizontal":0,"vertical":1}})"));
  EXPECT_EQ(json["mascotAppearance"]["monkeyColor"],
            Json::parse(R"({"red":1,"green":0.5,"blue":0})"));
  EXPECT_EQ(json["activeStartHour"], 22);
  EXPECT_EQ(json["launchAtLogin"], true);
}

TEST(Preferences, RoundTripsThroughStoredText) {
  for (const Preferences& p : {Preferences(), everyFieldChanged()}) {
    Preferences read = Preferences::decode(json::parse(json::dump(p.encode())));
    EXPECT_EQ(read, p);
  }
}

TEST(Preferences, EncodingANonFiniteNumberThrows) {
  Preferences rate;
  rate.speechRate = std::numeric_limits<float>::infinity();
  EXPECT_THROW(rate.encode(), EncodingError);

  Preferences appearance;
  appearance.mascotAppearance.ropeWidth = NAN;
  EXPECT_THROW(appearance.encode(), EncodingError);
}

TEST(Preferences, OnlyANonObjectFailsToDecode) {
  for (const char* text : {"[]", R"("preferences")", "42", "null", "true"}) {
    EXPECT_THROW(decodeText(text), DecodingError) << text;
  }
  EXPECT_EQ(decodeText("{}"), Preferences());
  EXPECT_EQ(decodeText(R"({"unknownKey": [1, 2], "another": null})"), Preferences());
}

// One bad key costs only its own field: every other field of a fully changed record survives.
TEST(Preferences, OneBadKeyKeepsEveryOtherField) {
  const Json good = everyFieldChanged().encode();
  const Json defaults = Preferences().encode();
  // Each is wrong for every field: null, an object, a number beyond every integer and float.
  const Json badValues[] = {Json(nullptr), Json::parse(R"({"bad": true})"), Json(1e300),
                            Json::parse("[1.5]")};
  for (const auto& key : fieldOrder) {
    Json expected = good;
    if (defaults.contains(key)) {
      expected[key] = defaults[key];
    } else {
      expected.erase(key);
    }
    Json missing = good;
    missing.erase(key);
    EXPECT_EQ(Preferences::decode(missing), Preferences::decode(expected)) << "missing " << key;
    for (const auto& bad : badValues) {
      Json corrupted = good;
      corrupted[key] = bad;
      EXPECT_EQ(Preferences::decode(corrupted), Preferences::decode(expected))
          << key << " = " << bad.dump();
    }
  }
}

TEST(Preferences, TolerantFieldReads) {
  struct Row {
    const char* name;
    const char* json;
    Preferences expected;
  };
  auto with = [](auto change) {
    Preferences p;
    change(p);
    return p;
  };
  const Row rows[] = {
      {"bad start hour alone falls back", R"({"activeStartHour": "9", "workMinutes": 50})",
       with([](Preferences& p) { p.workMinutes = 50; })},
      {"integral float is an integer", R"({"workMinutes": 40.0})",
       with([](Preferences& p) { p.workMinutes = 40; })},
      {"fractional integer falls back", R"({"workMinutes": 40.5, "breakMinutes": 7})",
       with([](Preferences& p) { p.breakMinutes = 7; })},
      {"integer out of range falls back", R"({"activeEndHour": 1e20})", Preferences()},
      {"a number is not a bool", R"({"launchAtLogin": 1, "hasCompletedOnboarding": true})",
       with([](Preferences& p) { p.hasCompletedOnboarding = true; })},
      {"unknown presence mode", R"({"presenceMode": "Hidden", "showCurrentTime": true})",
       with([](Preferences& p) { p.showCurrentTime = true; })},
      {"known presence mode", R"({"presenceMode": "hidden"})",
       with([](Preferences& p) { p.presenceMode = PresenceMode::hidden; })},
      {"integer speech rate", R"({"speechRate": 1})",
       with([](Preferences& p) { p.speechRate = 1.0f; })},
      {"speech rate beyond float range", R"({"speechRate": 1e39})", Preferences()},
      {"non-string voice", R"({"voiceIdentifier": 42})", Preferences()},
      {"null voice", R"({"voiceIdentifier": null})", Preferences()},
      {"string voice", R"({"voiceIdentifier": "vorlane.bundled"})",
       with([](Preferences& p) { p.voiceIdentifier = "vorlane.bundled"; })},
      {"empty screen id is a value", R"({"preferredScreenID": ""})",
       with([](Preferences& p) { p.preferredScreenID = ""; })},
      {"empty blocked list is empty", R"({"blockedBundleIDs": []})",
       with([](Preferences& p) { p.blockedBundleIDs.clear(); })},
      {"blocked string instead of list", R"({"blockedBundleIDs": "us.zoom.xos"})",
       Preferences()},
      {"blocked list with a non-string", R"({"blockedBundleIDs": ["us.zoom.xos", 3]})",
       Preferences()},
      {"blocked duplicates collapse", R"({"blockedBundleIDs": ["a", "b", "a"]})",
       with([](Preferences& p) { p.blockedBundleIDs = {"a", "b"}; })},
      {"placement entry not an object empties all",
       R"({"mascotPlacements": {"DP-1": {"horizontal": 0.5}, "HDMI-1": 3}})", Preferences()},
      {"empty placement entry takes defaults", R"({"mascotPlacements": {"DP-1": {}}})",
       with([](Preferences& p) { p.mascotPlacements.emplace("DP-1", MascotPlacement(1, 0)); })},
      {"placement values clamped",
       R"({"mascotPlacements": {"DP-1": {"horizontal": -2, "vertical": 0.25}}})",
       with([](Preferences& p) { p.mascotPlacements.emplace("DP-1", MascotPlacement(0, 0.25)); })},
      {"appearance decoded tolerantly and sanitised",
       R"({"mascotAppearance": {"ropeWidth": 20, "monkeyColor": {"red": 1, "green": 0}}})",
       with([](Preferences& p) { p.mascotAppearance.ropeWidth = 8; })},
      {"non-string template", R"({"phraseTemplate": 5, "speechEnabled": false})",
       with([](Preferences& p) { p.speechEnabled = false; })},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(decodeText(row.json), row.expected) << row.name;
  }
}

TEST(Preferences, EqualityComparesEveryField) {
  const Json changed = everyFieldChanged().encode();
  for (const auto& key : fieldOrder) {
    Json oneChanged = Preferences().encode();
    oneChanged[key] = changed[key];
    EXPECT_NE(Preferences::decode(oneChanged), Preferences()) << key;
  }
  // Same characters, different code points.
  Preferences composed({.phraseTemplate = "caf\u00e9 {time}"});
  Preferences decomposed({.phraseTemplate = "cafe\u0301 {time}"});
  EXPECT_EQ(composed, decomposed);
}

}  // namespace
}  // namespace vorlane
