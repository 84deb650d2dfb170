#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "core/desktop/mascot_appearance.h"
#include "core/desktop/mascot_placement.h"
#include "core/settings/phrase_template.h"
#include "core/settings/presence_mode.h"
#include "core/suppression/suppression_policy.h"
#include "foundation/json.h"

namespace vorlane {

// The fields of the user's settings, in field order, each with its default. Adding a setting
// takes its member here, its row in the field table (preferences.cpp) and its test.
struct PreferenceValues {
  std::int64_t activeStartHour = 9;  // first hour of the active window
  std::int64_t activeEndHour = 21;   // last hour of the active window, inclusive
  bool halfHourVisitsEnabled = false;
  PresenceMode presenceMode = PresenceMode::peek;
  bool showCurrentTime = false;  // floating clock
  bool idleFocusInvitationsEnabled = true;
  bool encouragementsEnabled = true;
  MascotAppearance mascotAppearance = MascotAppearance();
  // Keyed by display identifier.
  std::map<std::string, MascotPlacement> mascotPlacements = {};
  bool mascotClickThrough = false;
  // Display the mascot lives on; none, or one not connected, means the main display.
  std::optional<std::string> preferredScreenID = std::nullopt;
  bool celebrateSessions = true;
  bool speechEnabled = true;
  // Interpreted by the speech service; "vorlane.bundled" selects the recorded hour clips.
  std::optional<std::string> voiceIdentifier = std::nullopt;
  float speechRate = 0.5f;
  std::string phraseTemplate = std::string(defaultPhraseTemplate);
  bool quietInFullscreen = true;
  std::set<std::string> blockedAppIDs = SuppressionPolicy::defaultBlockedAppIDs();
  std::int64_t workMinutes = 25;
  std::int64_t breakMinutes = 5;
  bool launchAtLogin = false;
  bool hasCompletedOnboarding = false;
};

// The user's settings. A plain value: no ranges are enforced (hours outside 0...23 or a zero
// work length are kept as given; consumers clamp what they use). The only normalisation is
// of `mascotAppearance`, sanitised when the record is built or decoded, never on assignment.
struct Preferences : PreferenceValues {
  // Fill it with designated initialisers: Preferences({.workMinutes = 50, .launchAtLogin = true}).
  using Params = PreferenceValues;

  // The default record.
  Preferences();
  // Stores every value as given, except the appearance, which is stored sanitised.
  explicit Preferences(const Params& params);

  // A focus runs 1 to 90 minutes and a break 1 to 30, whatever the record holds.
  static constexpr std::int64_t shortestMinutes = 1;
  static constexpr std::int64_t longestWorkMinutes = 90;
  static constexpr std::int64_t longestBreakMinutes = 30;
  // The stored lengths clamped to those ranges: what a session actually uses.
  std::int64_t effectiveWorkMinutes() const;
  std::int64_t effectiveBreakMinutes() const;

  // Whether `hour` lies in the active window, both ends inclusive. A start after the end
  // wraps past midnight (22 to 6 holds 23 and 0); equal ends make a one-hour window.
  bool isWithinActiveHours(std::int64_t hour) const;
  // The policy built from the blocked identifiers and the full-screen switch, nothing else.
  SuppressionPolicy suppressionPolicy() const;

  // One object, keys in field order; absent optionals are left out, the set and the map are
  // written sorted. Throws EncodingError for a non-finite speech rate or appearance value.
  Json encode() const;
  // Tolerant: throws DecodingError only when `json` is not an object. A missing, null or
  // malformed value costs only its own field, which takes its default (or none).
  static Preferences decode(const Json& json);

  // All fields equal; the phrase template compares character for character, identifiers
  // byte for byte.
  bool operator==(const Preferences& other) const;

  // Whether a field the mascot's presence reads differs: the presence mode, the floating
  // clock, the appearance, click-through or the display. Re-applying the presence is not
  // free (it takes down an idle invitation on show), so other changes leave it alone.
  bool presenceDiffers(const Preferences& other) const;
};

// Some of the settings' fields, each named by its member: the ones one follower reads, so
// that a change of the others leaves it alone.
//   PreferenceFields(&PreferenceValues::launchAtLogin)
class PreferenceFields {
 public:
  template <typename... T>
  explicit PreferenceFields(T PreferenceValues::*... members) : rows_((row(members) | ... | 0)) {}

  // Every field but the ones named.
  template <typename... T>
  static PreferenceFields allBut(T PreferenceValues::*... members) {
    PreferenceFields fields;
    fields.rows_ = everyRow() & ~(row(members) | ... | 0);
    return fields;
  }

  // Whether one of these fields differs between the two records, each compared as
  // Preferences::operator== compares it.
  bool differ(const Preferences& a, const Preferences& b) const;

 private:
  using Rows = std::uint64_t;
  // The member's row in the field table, as a bit (preferences.cpp).
  template <typename T>
  static Rows row(T PreferenceValues::*member);
  static Rows everyRow();

  Rows rows_ = 0;
};

}  // namespace vorlane
