// The fields a follower reads, and the store's announcement to such a follower.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/settings/preferences.h"
#include "tests/support/in_memory_preferences_store.h"

namespace vorlane {
namespace {

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

// Every field, each with a value away from its default.
const Preferences away({
    .activeStartHour = 22,
    .activeEndHour = 6,
    .halfHourVisitsEnabled = true,
    .presenceMode = PresenceMode::hidden,
    .showCurrentTime = true,
    .idleFocusInvitationsEnabled = false,
    .encouragementsEnabled = false,
    .mascotAppearance = {.monkeyOpacity = 0.5},
    .mascotPlacements = {{"DP-1", MascotPlacement(0.25, 0.5)}},
    .mascotClickThrough = true,
    .preferredScreenID = "DP-1",
    .celebrateSessions = false,
    .speechEnabled = false,
    .voiceIdentifier = "flite:slt",
    .speechRate = 0.7f,
    .phraseTemplate = "{hour} {ampm}",
    .quietInFullscreen = false,
    .blockedAppIDs = {"org.example.slides"},
    .workMinutes = 50,
    .breakMinutes = 10,
    .launchAtLogin = true,
    .hasCompletedOnboarding = true,
});

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
    changedRow.copy(changed, away);
    ASSERT_FALSE(changed == original);
    for (const FieldRow& row : rows) {
      const bool own = &row == &changedRow;
      EXPECT_EQ(row.only().differ(original, changed), own) << row.name;
      EXPECT_EQ(row.allBut().differ(original, changed), !own) << row.name;
    }
  }
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
