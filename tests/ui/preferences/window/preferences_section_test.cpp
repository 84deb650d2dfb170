#include "ui/preferences/window/preferences_section.h"

#include <gtest/gtest.h>

#include "ui/preferences/window/preferences_navigation.h"

namespace vorlane {
namespace {

TEST(PreferencesSection, RawValuesRoundTripAndOnlyExactNamesGiveASection) {
  for (const PreferencesSection section : allPreferencesSections) {
    EXPECT_EQ(preferencesSectionFromRaw(rawValue(section)), section) << rawValue(section);
  }
  const struct {
    const char* name;
    const char* raw;
    std::optional<PreferencesSection> expected;
  } rows[] = {
      {"exact", "quiet", PreferencesSection::quiet},  {"capitalised", "Quiet", std::nullopt},
      {"the title's word", "schedule", std::nullopt}, {"empty", "", std::nullopt},
      {"trailing blank", "voice ", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(preferencesSectionFromRaw(row.raw), row.expected) << row.name;
  }
  EXPECT_EQ(sectionText(PreferencesSection::quiet).subtitle,
            "Choose when Vorlane visits\u2014and when it stays out of the way.");
  EXPECT_EQ(sectionText(PreferencesSection::voice).group, "Behavior & app");
  EXPECT_EQ(sectionText(PreferencesSection::focus).group, "Workspace");
}

TEST(PreferencesNavigation, StartsOnDesktopAndTellsOnlyOfARealChange) {
  PreferencesNavigation navigation;
  EXPECT_EQ(navigation.selection(), PreferencesSection::desktop);
  std::vector<std::optional<PreferencesSection>> heard;
  auto subscription = navigation.changes().subscribe(
      [&](const std::optional<PreferencesSection>& s) { heard.push_back(s); });
  navigation.setSelection(PreferencesSection::desktop);
  navigation.setSelection(PreferencesSection::voice);
  navigation.setSelection(PreferencesSection::voice);
  navigation.setSelection(std::nullopt);
  EXPECT_EQ(heard, (std::vector<std::optional<PreferencesSection>>{PreferencesSection::voice,
                                                                   std::nullopt}));
  // No selection shows Desktop.
  EXPECT_EQ(navigation.shownSection(), PreferencesSection::desktop);
}

}  // namespace
}  // namespace vorlane
