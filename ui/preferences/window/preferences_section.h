#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vorlane {

// The six panels of the preferences window, in sidebar order.
enum class PreferencesSection { desktop, appearance, focus, quiet, voice, general };

inline constexpr std::array<PreferencesSection, 6> allPreferencesSections{
    PreferencesSection::desktop, PreferencesSection::appearance, PreferencesSection::focus,
    PreferencesSection::quiet,   PreferencesSection::voice,      PreferencesSection::general,
};

// The case name, which is also the section's identity ("quiet").
std::string_view rawValue(PreferencesSection section);
// The section whose raw value is exactly `raw` (case-sensitive); none for any other text.
std::optional<PreferencesSection> preferencesSectionFromRaw(std::string_view raw);

// What the window shows for a section.
struct PreferencesSectionText {
  std::string_view group;     // sidebar group header
  std::string_view title;     // sidebar row and panel header
  std::string_view symbol;    // sidebar symbol name
  std::string_view subtitle;  // the header's second line
};
const PreferencesSectionText& sectionText(PreferencesSection section);

}  // namespace vorlane
