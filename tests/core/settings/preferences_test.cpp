#include "core/settings/preferences.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/in_memory_preferences_store.h"

namespace vorlane {
namespace {

// Every field away from its default, so a field that is lost or not compared shows.
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
      .mascotPlacements = {{"DP-1", MascotPlacement(0.25, 0.5)}, {"HDMI-1", MascotPlacement(0, 1)}},
      .mascotClickThrough = true,
      .preferredScreenID = "DP-1",
      .celebrateSessions = false,
      .speechEnabled = false,
      .voiceIdentifier = "flite:slt",
      .speechRate = 0.7f,
      .phraseTemplate = "{hour} {ampm}",
      .quietInFullscreen = false,
      .blockedAppIDs = {"org.example.slides", "us.zoom.xos"},
      .workMinutes = 50,
      .breakMinutes = -5,  // out of range, kept as given
      .launchAtLogin = true,
      .hasCompletedOnboarding = true,
  });
}

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
}

// A missing or bad value costs only its own field: the rest of a fully changed record stays.
TEST(Preferences, OneBadKeyKeepsEveryOtherField) {
  const Json good = everyFieldChanged().encode();
  EXPECT_EQ(Preferences::decode(json::parse(json::dump(good))), everyFieldChanged());
  EXPECT_THROW(Preferences::decode(Json::parse("[]")), DecodingError);  // only a non-object fails
  const Json recordStore = Preferences().encode();
  // Each is wrong for every field: null, an object, a number beyond every integer and float.
  const Json badValues[] = {Json(nullptr), Json::parse(R"({"bad": true})"), Json(1e300),
                            Json::parse("[1.5]")};
  ASSERT_EQ(good.size(), 22u);  // every field written
  for (const auto& item : good.items()) {
    const std::string& key = item.key();
    Json expected = good;
    expected.erase(key);
    if (recordStore.contains(key)) expected[key] = recordStore[key];
    Json missing = good;
    missing.erase(key);
    EXPECT_EQ(Preferences::decode(missing), Preferences::decode(expected)) << "no " << key;
    EXPECT_NE(Preferences::decode(expected), everyFieldChanged()) << key;  // each field compared
    for (const auto& bad : badValues) {
      Json corrupted = good;
      corrupted[key] = bad;
      EXPECT_EQ(Preferences::decode(corrupted), Preferences::decode(expected))
          << key << " = " << bad.dump();
    }
  }
}

TEST(Preferences, EffectiveLengthsClampToWhatASessionCanRun) {
  const struct {
    const char* name;
    std::int64_t work, rest, effectiveWork, effectiveRest;
  } rows[] = {
      {"defaults", 25, 5, 25, 5},         {"zero", 0, 0, 1, 1},
      {"negative", -3, -1, 1, 1},         {"at the ends", 90, 30, 90, 30},
      {"past the ends", 500, 45, 90, 30},
  };
  for (const auto& row : rows) {
    const Preferences p({.workMinutes = row.work, .breakMinutes = row.rest});
    EXPECT_EQ(p.effectiveWorkMinutes(), row.effectiveWork) << row.name;
    EXPECT_EQ(p.effectiveBreakMinutes(), row.effectiveRest) << row.name;
    EXPECT_EQ(p.workMinutes, row.work) << "the record keeps what was stored";
  }
}

TEST(Preferences, ActiveHoursIncludingWrappingOnes) {
  // Start, end, then hours that are active and hours that are not.
  using Hours = std::vector<std::int64_t>;
  const std::tuple<std::int64_t, std::int64_t, Hours, Hours> rows[] = {
      {9, 21, {9, 21}, {8, 22}},
      {22, 6, {22, 23, 0, 6}, {7, 21}},
      {9, 9, {9}, {8, 10}},
      {30, 21, {0, 21}, {22, 23}},  // an out-of-range start wraps
  };
  for (const auto& [start, end, active, inactive] : rows) {
    const Preferences p({.activeStartHour = start, .activeEndHour = end});
    for (auto h : active) EXPECT_TRUE(p.isWithinActiveHours(h)) << start << " " << h;
    for (auto h : inactive) EXPECT_FALSE(p.isWithinActiveHours(h)) << start << " " << h;
  }
}

// Each field's comparison is its own: the phrase template by character, so a composed and a
// decomposed accent are one text; identifiers byte for byte.
TEST(Preferences, ThePhraseComparesByCharacterAndIdentifiersByByte) {
  const std::string composed = "Caf\u00e9 {time}", decomposed = "Cafe\u0301 {time}";
  struct Row {
    const char* name;
    Preferences a, b;
    bool equal;
  };
  const Row rows[] = {
      {"phrase", Preferences({.phraseTemplate = composed}),
       Preferences({.phraseTemplate = decomposed}), true},
      {"voice", Preferences({.voiceIdentifier = composed}),
       Preferences({.voiceIdentifier = decomposed}), false},
      {"blocked apps", Preferences({.blockedAppIDs = {composed}}),
       Preferences({.blockedAppIDs = {decomposed}}), false},
      {"display", Preferences({.preferredScreenID = "DP-1"}),
       Preferences({.preferredScreenID = {}}), false},
  };
  for (const Row& row : rows) EXPECT_EQ(row.a == row.b, row.equal) << row.name;
}

// The appearance is sanitised however the record is made; assignment keeps what it is given.
TEST(Preferences, TheAppearanceIsSanitisedWhenBuiltOrDecoded) {
  const Preferences built({.mascotAppearance = {.monkeyOpacity = 5, .ropeWidth = 40}});
  const Preferences decoded = Preferences::decode(
      json::parse(R"({"mascotAppearance":{"monkeyOpacity":5,"ropeWidth":40}})"));
  for (const Preferences& p : {built, decoded}) {
    EXPECT_EQ(p.mascotAppearance.monkeyOpacity, 1);
    EXPECT_EQ(p.mascotAppearance.ropeWidth, 8);
  }
  Preferences assigned;
  assigned.mascotAppearance.monkeyOpacity = 5;
  EXPECT_EQ(assigned.mascotAppearance.monkeyOpacity, 5);
}

// Only the fields the mascot's presence reads count as a presence change.
TEST(Preferences, OnlyThePresenceFieldsMakeAPresenceChange) {
  const Preferences other = everyFieldChanged();
  using Copy = void (*)(Preferences&, const Preferences&);
  const struct Row {
    const char* name;
    Copy copy;
    bool differs;
  } rows[] = {
      {"presence mode",
       [](Preferences& p, const Preferences& o) { p.presenceMode = o.presenceMode; }, true},
      {"clock", [](Preferences& p, const Preferences& o) { p.showCurrentTime = o.showCurrentTime; },
       true},
      {"appearance",
       [](Preferences& p, const Preferences& o) { p.mascotAppearance = o.mascotAppearance; }, true},
      {"click-through",
       [](Preferences& p, const Preferences& o) { p.mascotClickThrough = o.mascotClickThrough; },
       true},
      {"display",
       [](Preferences& p, const Preferences& o) { p.preferredScreenID = o.preferredScreenID; },
       true},
      {"speech rate", [](Preferences& p, const Preferences& o) { p.speechRate = o.speechRate; },
       false},
      {"work length", [](Preferences& p, const Preferences& o) { p.workMinutes = o.workMinutes; },
       false},
      {"invitations",
       [](Preferences& p, const Preferences& o) {
         p.idleFocusInvitationsEnabled = o.idleFocusInvitationsEnabled;
       },
       false},
      {"placements",
       [](Preferences& p, const Preferences& o) { p.mascotPlacements = o.mascotPlacements; },
       false},
      {"active hours",
       [](Preferences& p, const Preferences& o) { p.activeStartHour = o.activeStartHour; }, false},
  };
  for (const Row& row : rows) {
    Preferences changed;
    row.copy(changed, other);
    EXPECT_EQ(changed.presenceDiffers(Preferences()), row.differs) << row.name;
    EXPECT_EQ(Preferences().presenceDiffers(changed), row.differs) << row.name;
  }
  EXPECT_FALSE(other.presenceDiffers(other));
}

// One field, as the tests name it: the set of it alone, the set of all but it, and a copy of
// its value from one record into another.
struct FieldRow {
  const char* name;
  PreferenceFields (*only)();
  PreferenceFields (*allBut)();
  void (*copy)(Preferences& into, const Preferences& from);
};

template <auto member>
FieldRow field(const char* name) {
  return {name, [] { return PreferenceFields(member); },
          [] { return PreferenceFields::allBut(member); },
          [](Preferences& into, const Preferences& from) { into.*member = from.*member; }};
}

// Each field is found in the field table under its own member: a set sees a change of its
// own field only, and "all but" it sees everything else.
TEST(PreferenceFields, EachSetSeesItsOwnFieldsAndNoOther) {
  const FieldRow rows[] = {
      field<&PreferenceValues::activeStartHour>("active start"),
      field<&PreferenceValues::activeEndHour>("active end"),
      field<&PreferenceValues::halfHourVisitsEnabled>("half hours"),
      field<&PreferenceValues::presenceMode>("presence mode"),
      field<&PreferenceValues::showCurrentTime>("clock"),
      field<&PreferenceValues::idleFocusInvitationsEnabled>("invitations"),
      field<&PreferenceValues::encouragementsEnabled>("encouragements"),
      field<&PreferenceValues::mascotAppearance>("appearance"),
      field<&PreferenceValues::mascotPlacements>("placements"),
      field<&PreferenceValues::mascotClickThrough>("click-through"),
      field<&PreferenceValues::preferredScreenID>("display"),
      field<&PreferenceValues::celebrateSessions>("celebrations"),
      field<&PreferenceValues::speechEnabled>("speech"),
      field<&PreferenceValues::voiceIdentifier>("voice"),
      field<&PreferenceValues::speechRate>("speech rate"),
      field<&PreferenceValues::phraseTemplate>("phrase"),
      field<&PreferenceValues::quietInFullscreen>("full screen"),
      field<&PreferenceValues::blockedAppIDs>("blocked apps"),
      field<&PreferenceValues::workMinutes>("work length"),
      field<&PreferenceValues::breakMinutes>("break length"),
      field<&PreferenceValues::launchAtLogin>("login item"),
      field<&PreferenceValues::hasCompletedOnboarding>("welcome"),
  };
  const Preferences original;
  for (const FieldRow& changedRow : rows) {
    SCOPED_TRACE(changedRow.name);
    Preferences changed;
    changedRow.copy(changed, everyFieldChanged());
    ASSERT_FALSE(changed == original);
    for (const FieldRow& row : rows) {
      const bool own = &row == &changedRow;
      EXPECT_EQ(row.only().differ(original, changed), own) << row.name;
      EXPECT_EQ(row.allBut().differ(original, changed), !own) << row.name;
    }
  }
  const Preferences away = everyFieldChanged();
  EXPECT_FALSE(PreferenceFields::allBut().differ(away, away));
  EXPECT_TRUE(PreferenceFields::allBut().differ(original, away));
  EXPECT_FALSE(PreferenceFields().differ(original, away));
}

// A field compares as the record compares it: the phrase by character.
TEST(PreferenceFields, ThePhraseComparesByCharacter) {
  const Preferences composed({.phraseTemplate = "Caf\u00e9 {time}"});
  const Preferences decomposed({.phraseTemplate = "Cafe\u0301 {time}"});
  EXPECT_FALSE(PreferenceFields(&PreferenceValues::phraseTemplate).differ(composed, decomposed));
  EXPECT_TRUE(PreferenceFields(&PreferenceValues::phraseTemplate)
                  .differ(composed, Preferences({.phraseTemplate = "Cafe {time}"})));
}

// A follower hears once of each change of its own fields, with the record it last heard of,
// and nothing of the other fields, however often they change in between.
TEST(PreferencesStoreFollow, AFollowerHearsOnceOfEachChangeOfItsOwnFieldsOnly) {
  InMemoryPreferencesStore store(Preferences({.workMinutes = 30}));
  std::vector<std::pair<std::int64_t, std::int64_t>> heard;
  const auto subscription = store.follow(
      PreferenceFields(&PreferenceValues::workMinutes, &PreferenceValues::breakMinutes),
      [&](const Preferences& before, const Preferences& now) {
        heard.emplace_back(before.workMinutes, now.workMinutes);
      });

  store.modify(
      [](Preferences& p) { p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0.5, 0)); });
  store.modify([](Preferences& p) { p.launchAtLogin = true; });
  EXPECT_TRUE(heard.empty());

  store.modify([](Preferences& p) { p.workMinutes = 40; });
  store.modify([](Preferences& p) { p.speechRate = 0.9f; });
  store.modify([](Preferences& p) { p.breakMinutes = 10; });
  store.modify([](Preferences& p) { p.workMinutes = 50; });
  EXPECT_EQ(heard,
            (std::vector<std::pair<std::int64_t, std::int64_t>>{{30, 40}, {40, 40}, {40, 50}}));
}

}  // namespace
}  // namespace vorlane
