#include "ui/preferences/window/preferences_section.h"

namespace vorlane {
namespace {

struct Entry {
  std::string_view raw;
  PreferencesSectionText text;
};

constexpr std::string_view workspace = "Workspace";
constexpr std::string_view behaviour = "Behavior & app";

// In the order of PreferencesSection.
constexpr std::array<Entry, 6> entries{{
    {"desktop",
     {workspace, "Desktop", "desktopcomputer",
      "Keep your companion close, without covering your work."}},
    {"appearance",
     {workspace, "Appearance", "paintpalette",
      "Your colors and opacity. Defaults are always one click away."}},
    {"focus",
     {workspace, "Focus", "timer", "Choose your rhythm and how a finished session feels."}},
    {"quiet",
     {behaviour, "Schedule & Quiet", "moon",
      "Choose when Vorlane visits\u2014and when it stays out of the way."}},
    {"voice",
     {behaviour, "Voice", "waveform", "Control what you hear, independently of the visuals."}},
    {"general",
     {behaviour, "General", "gearshape", "Open at login, and see where your data stays."}},
}};

const Entry& entry(PreferencesSection section) {
  return entries[static_cast<std::size_t>(section)];
}

}  // namespace

std::string_view rawValue(PreferencesSection section) { return entry(section).raw; }

std::optional<PreferencesSection> preferencesSectionFromRaw(std::string_view raw) {
  for (const PreferencesSection section : allPreferencesSections) {
    if (entry(section).raw == raw) return section;
  }
  return std::nullopt;
}

const PreferencesSectionText& sectionText(PreferencesSection section) {
  return entry(section).text;
}

}  // namespace vorlane
