#include "core/settings/preferences.h"

#include <algorithm>

#include "foundation/text.h"

namespace vorlane {

Preferences::Preferences() : Preferences(Params()) {}

Preferences::Preferences(const Params& params)
    : activeStartHour(params.activeStartHour),
      activeEndHour(params.activeEndHour),
      halfHourVisitsEnabled(params.halfHourVisitsEnabled),
      presenceMode(params.presenceMode),
      showCurrentTime(params.showCurrentTime),
      idleFocusInvitationsEnabled(params.idleFocusInvitationsEnabled),
      encouragementsEnabled(params.encouragementsEnabled),
      mascotAppearance(params.mascotAppearance.sanitized()),
      mascotPlacements(params.mascotPlacements),
      mascotClickThrough(params.mascotClickThrough),
      preferredScreenID(params.preferredScreenID),
      celebrateSessions(params.celebrateSessions),
      speechEnabled(params.speechEnabled),
      voiceIdentifier(params.voiceIdentifier),
      speechRate(params.speechRate),
      phraseTemplate(params.phraseTemplate),
      quietInFullscreen(params.quietInFullscreen),
      blockedAppIds(params.blockedAppIds),
      workMinutes(params.workMinutes),
      breakMinutes(params.breakMinutes),
      launchAtLogin(params.launchAtLogin),
      hasCompletedOnboarding(params.hasCompletedOnboarding) {}

std::int64_t Preferences::effectiveWorkMinutes() const {
  return std::clamp(workMinutes, shortestMinutes, longestWorkMinutes);
}

std::int64_t Preferences::effectiveBreakMinutes() const {
  return std::clamp(breakMinutes, shortestMinutes, longestBreakMinutes);
}

SuppressionPolicy Preferences::suppressionPolicy() const {
  return SuppressionPolicy(blockedAppIds, quietInFullscreen);
}

bool Preferences::isWithinActiveHours(std::int64_t hour) const {
  if (activeStartHour <= activeEndHour) {
    return activeStartHour <= hour && hour <= activeEndHour;
  }
  return hour >= activeStartHour || hour <= activeEndHour;
}

Json Preferences::encode() const {
  Json out = Json::object();
  out["activeStartHour"] = activeStartHour;
  out["activeEndHour"] = activeEndHour;
  out["halfHourVisitsEnabled"] = halfHourVisitsEnabled;
  out["presenceMode"] = vorlane::encode(presenceMode);
  out["showCurrentTime"] = showCurrentTime;
  out["idleFocusInvitationsEnabled"] = idleFocusInvitationsEnabled;
  out["encouragementsEnabled"] = encouragementsEnabled;
  out["mascotAppearance"] = mascotAppearance.encode();
  Json placements = Json::object();
  for (const auto& [display, placement] : mascotPlacements) {
    json::appendMember(placements, display, placement.encode());  // map keys are distinct
  }
  out["mascotPlacements"] = std::move(placements);
  out["mascotClickThrough"] = mascotClickThrough;
  if (preferredScreenID) out["preferredScreenID"] = *preferredScreenID;
  out["celebrateSessions"] = celebrateSessions;
  out["speechEnabled"] = speechEnabled;
  if (voiceIdentifier) out["voiceIdentifier"] = *voiceIdentifier;
  out["speechRate"] = json::fromFloat(speechRate);
  out["phraseTemplate"] = phraseTemplate;
  out["quietInFullscreen"] = quietInFullscreen;
  Json blocked = Json::array();
  for (const auto& id : blockedAppIds) blocked.push_back(id);
  out["blockedBundleIDs"] = std::move(blocked);
  out["workMinutes"] = workMinutes;
  out["breakMinutes"] = breakMinutes;
  out["launchAtLogin"] = launchAtLogin;
  out["hasCompletedOnboarding"] = hasCompletedOnboarding;
  return out;
}

namespace {

// Sets `field` from the member `key` when it reads; a missing, null or malformed value
// leaves the field's default and costs nothing else.
template <typename T, typename Read>
void readInto(const JsonReader& object, std::string_view key, T& field, Read read) {
  auto member = object.optional(key);
  if (!member) return;
  try {
    field = read(*member);
  } catch (const DecodingError&) {
  } catch (const Json::exception&) {
  }
}

const auto asInt = [](const JsonReader& r) { return r.asInt(); };
const auto asBool = [](const JsonReader& r) { return r.asBool(); };
const auto asString = [](const JsonReader& r) { return r.asString(); };

std::optional<std::string> stringOrNone(const JsonReader& object, std::string_view key) {
  auto member = object.optional(key);
  if (!member || !member->isString()) return std::nullopt;
  return member->asString();
}

}  // namespace

Preferences Preferences::decode(const Json& json) {
  JsonReader object(json);
  if (!object.isObject()) {
    object.fail(DecodingError::Kind::typeMismatch, "Expected to decode a settings object.");
  }
  Preferences p;
  readInto(object, "activeStartHour", p.activeStartHour, asInt);
  readInto(object, "activeEndHour", p.activeEndHour, asInt);
  readInto(object, "halfHourVisitsEnabled", p.halfHourVisitsEnabled, asBool);
  readInto(object, "presenceMode", p.presenceMode, decodePresenceMode);
  readInto(object, "showCurrentTime", p.showCurrentTime, asBool);
  readInto(object, "idleFocusInvitationsEnabled", p.idleFocusInvitationsEnabled, asBool);
  readInto(object, "encouragementsEnabled", p.encouragementsEnabled, asBool);
  readInto(object, "mascotAppearance", p.mascotAppearance, MascotAppearance::decode);
  // All or nothing: one bad entry empties the whole dictionary.
  readInto(object, "mascotPlacements", p.mascotPlacements, [](const JsonReader& r) {
    std::map<std::string, MascotPlacement> placements;
    for (const auto& [display, placement] : r.members()) {
      placements.insert_or_assign(display, MascotPlacement::decode(placement));
    }
    return placements;
  });
  readInto(object, "mascotClickThrough", p.mascotClickThrough, asBool);
  p.preferredScreenID = stringOrNone(object, "preferredScreenID");
  readInto(object, "celebrateSessions", p.celebrateSessions, asBool);
  readInto(object, "speechEnabled", p.speechEnabled, asBool);
  p.voiceIdentifier = stringOrNone(object, "voiceIdentifier");
  readInto(object, "speechRate", p.speechRate, [](const JsonReader& r) { return r.asFloat(); });
  readInto(object, "phraseTemplate", p.phraseTemplate, asString);
  readInto(object, "quietInFullscreen", p.quietInFullscreen, asBool);
  readInto(object, "blockedBundleIDs", p.blockedAppIds, [](const JsonReader& r) {
    std::set<std::string> ids;
    for (const auto& element : r.elements()) ids.insert(element.asString());
    return ids;
  });
  readInto(object, "workMinutes", p.workMinutes, asInt);
  readInto(object, "breakMinutes", p.breakMinutes, asInt);
  readInto(object, "launchAtLogin", p.launchAtLogin, asBool);
  readInto(object, "hasCompletedOnboarding", p.hasCompletedOnboarding, asBool);
  return p;
}

bool Preferences::operator==(const Preferences& other) const {
  return activeStartHour == other.activeStartHour && activeEndHour == other.activeEndHour &&
         halfHourVisitsEnabled == other.halfHourVisitsEnabled &&
         presenceMode == other.presenceMode && showCurrentTime == other.showCurrentTime &&
         idleFocusInvitationsEnabled == other.idleFocusInvitationsEnabled &&
         encouragementsEnabled == other.encouragementsEnabled &&
         mascotAppearance == other.mascotAppearance && mascotPlacements == other.mascotPlacements &&
         mascotClickThrough == other.mascotClickThrough &&
         preferredScreenID == other.preferredScreenID &&
         celebrateSessions == other.celebrateSessions && speechEnabled == other.speechEnabled &&
         voiceIdentifier == other.voiceIdentifier && speechRate == other.speechRate &&
         sameCharacters(phraseTemplate, other.phraseTemplate) &&
         quietInFullscreen == other.quietInFullscreen && blockedAppIds == other.blockedAppIds &&
         workMinutes == other.workMinutes && breakMinutes == other.breakMinutes &&
         launchAtLogin == other.launchAtLogin &&
         hasCompletedOnboarding == other.hasCompletedOnboarding;
}

}  // namespace vorlane
