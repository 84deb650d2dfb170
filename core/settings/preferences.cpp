#include "core/settings/preferences.h"

#include <algorithm>
#include <tuple>
#include <type_traits>
#include <utility>

#include "foundation/text.h"

namespace vorlane {

namespace {

// How one field is written and read. A field whose type has no overload here does not build.
Json encodeValue(std::int64_t value) { return value; }
Json encodeValue(bool value) { return value; }
Json encodeValue(const std::string& value) { return value; }
Json encodeValue(float value) { return json::fromFloat(value); }
Json encodeValue(PresenceMode value) { return encode(value); }
Json encodeValue(const MascotAppearance& value) { return value.encode(); }
Json encodeValue(const std::map<std::string, MascotPlacement>& placements) {
  Json out = Json::object();
  for (const auto& [display, placement] : placements) {
    json::appendMember(out, display, placement.encode());  // map keys are distinct
  }
  return out;
}
Json encodeValue(const std::set<std::string>& values) {
  Json out = Json::array();
  for (const auto& value : values) out.push_back(value);
  return out;
}

void decodeValue(const JsonReader& r, std::int64_t& field) { field = r.asInt(); }
void decodeValue(const JsonReader& r, bool& field) { field = r.asBool(); }
void decodeValue(const JsonReader& r, std::string& field) { field = r.asString(); }
void decodeValue(const JsonReader& r, float& field) { field = r.asFloat(); }
void decodeValue(const JsonReader& r, PresenceMode& field) { field = decodePresenceMode(r); }
void decodeValue(const JsonReader& r, MascotAppearance& field) {
  field = MascotAppearance::decode(r);
}
// All or nothing: one bad entry empties the whole dictionary.
void decodeValue(const JsonReader& r, std::map<std::string, MascotPlacement>& field) {
  std::map<std::string, MascotPlacement> placements;
  for (const auto& [display, placement] : r.members()) {
    placements.insert_or_assign(display, MascotPlacement::decode(placement));
  }
  field = std::move(placements);
}
void decodeValue(const JsonReader& r, std::set<std::string>& field) {
  std::set<std::string> values;
  for (const auto& element : r.elements()) values.insert(element.asString());
  field = std::move(values);
}
// Anything but a string is none.
void decodeValue(const JsonReader& r, std::optional<std::string>& field) {
  field = r.isString() ? std::optional(r.asString()) : std::nullopt;
}

struct ByteEqual {
  template <typename T>
  bool operator()(const T& a, const T& b) const {
    return a == b;
  }
};
struct CharacterEqual {
  bool operator()(const std::string& a, const std::string& b) const { return sameCharacters(a, b); }
};

// One row of the field table: the stored key, the member, and how two values compare.
template <typename T, typename Equal = ByteEqual>
struct Field {
  std::string_view key;
  T PreferenceValues::*member;
  Equal equal = {};

  void encodeInto(Json& out, const PreferenceValues& p) const {
    const T& value = p.*member;
    if constexpr (requires { value.has_value(); }) {
      if (value) out[std::string(key)] = encodeValue(*value);  // absent optionals are left out
    } else {
      out[std::string(key)] = encodeValue(value);
    }
  }

  // A missing, null or malformed value leaves the field's default and costs nothing else.
  void decodeFrom(const JsonReader& object, PreferenceValues& p) const {
    const auto found = object.optional(key);
    if (!found) return;
    T value = p.*member;
    try {
      decodeValue(*found, value);
    } catch (const DecodingError&) {
      return;
    } catch (const Json::exception&) {
      return;
    }
    p.*member = std::move(value);
  }

  bool same(const PreferenceValues& a, const PreferenceValues& b) const {
    return equal(a.*member, b.*member);
  }
};

// Every field in field order, which is the order of the stored keys.
const auto fields = std::tuple{
    Field{"activeStartHour", &PreferenceValues::activeStartHour},
    Field{"activeEndHour", &PreferenceValues::activeEndHour},
    Field{"halfHourVisitsEnabled", &PreferenceValues::halfHourVisitsEnabled},
    Field{"presenceMode", &PreferenceValues::presenceMode},
    Field{"showCurrentTime", &PreferenceValues::showCurrentTime},
    Field{"idleFocusInvitationsEnabled", &PreferenceValues::idleFocusInvitationsEnabled},
    Field{"encouragementsEnabled", &PreferenceValues::encouragementsEnabled},
    Field{"mascotAppearance", &PreferenceValues::mascotAppearance},
    Field{"mascotPlacements", &PreferenceValues::mascotPlacements},
    Field{"mascotClickThrough", &PreferenceValues::mascotClickThrough},
    Field{"preferredScreenID", &PreferenceValues::preferredScreenID},
    Field{"celebrateSessions", &PreferenceValues::celebrateSessions},
    Field{"speechEnabled", &PreferenceValues::speechEnabled},
    Field{"voiceIdentifier", &PreferenceValues::voiceIdentifier},
    Field{"speechRate", &PreferenceValues::speechRate},
    Field{"phraseTemplate", &PreferenceValues::phraseTemplate, CharacterEqual{}},
    Field{"quietInFullscreen", &PreferenceValues::quietInFullscreen},
    Field{"blockedBundleIDs", &PreferenceValues::blockedAppIDs},
    Field{"workMinutes", &PreferenceValues::workMinutes},
    Field{"breakMinutes", &PreferenceValues::breakMinutes},
    Field{"launchAtLogin", &PreferenceValues::launchAtLogin},
    Field{"hasCompletedOnboarding", &PreferenceValues::hasCompletedOnboarding},
};

// One bit per row of the table.
static_assert(std::tuple_size_v<decltype(fields)> < 64);

}  // namespace

Preferences::Preferences() : Preferences(Params()) {}

Preferences::Preferences(const Params& params) : PreferenceValues(params) {
  mascotAppearance = mascotAppearance.sanitized();
}

std::int64_t Preferences::effectiveWorkMinutes() const {
  return std::clamp(workMinutes, shortestMinutes, longestWorkMinutes);
}

std::int64_t Preferences::effectiveBreakMinutes() const {
  return std::clamp(breakMinutes, shortestMinutes, longestBreakMinutes);
}

SuppressionPolicy Preferences::suppressionPolicy() const {
  return SuppressionPolicy(blockedAppIDs, quietInFullscreen);
}

bool Preferences::isWithinActiveHours(std::int64_t hour) const {
  if (activeStartHour <= activeEndHour) {
    return activeStartHour <= hour && hour <= activeEndHour;
  }
  return hour >= activeStartHour || hour <= activeEndHour;
}

Json Preferences::encode() const {
  Json out = Json::object();
  std::apply([&](const auto&... field) { (field.encodeInto(out, *this), ...); }, fields);
  return out;
}

Preferences Preferences::decode(const Json& json) {
  JsonReader object(json);
  if (!object.isObject()) {
    object.fail(DecodingError::Kind::typeMismatch, "Expected to decode a settings object.");
  }
  PreferenceValues values;
  std::apply([&](const auto&... field) { (field.decodeFrom(object, values), ...); }, fields);
  return Preferences(values);
}

bool Preferences::operator==(const Preferences& other) const {
  return std::apply([&](const auto&... field) { return (field.same(*this, other) && ...); },
                    fields);
}

bool Preferences::presenceDiffers(const Preferences& other) const {
  static const PreferenceFields presence(
      &PreferenceValues::presenceMode, &PreferenceValues::showCurrentTime,
      &PreferenceValues::mascotAppearance, &PreferenceValues::mascotClickThrough,
      &PreferenceValues::preferredScreenID);
  return presence.differ(*this, other);
}

template <typename T>
PreferenceFields::Rows PreferenceFields::row(T PreferenceValues::*member) {
  Rows found = 0;
  Rows bit = 1;
  const auto match = [&](const auto& field) {
    if constexpr (std::is_same_v<decltype(field.member), T PreferenceValues::*>) {
      if (field.member == member) found |= bit;
    }
    bit <<= 1;
  };
  std::apply([&](const auto&... field) { (match(field), ...); }, fields);
  return found;
}

// One instantiation per type of field: a field of a new type needs its line here.
template PreferenceFields::Rows PreferenceFields::row(std::int64_t PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(bool PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(float PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(std::string PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(
    std::optional<std::string> PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(std::set<std::string> PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(PresenceMode PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(MascotAppearance PreferenceValues::*);
template PreferenceFields::Rows PreferenceFields::row(
    std::map<std::string, MascotPlacement> PreferenceValues::*);

PreferenceFields::Rows PreferenceFields::everyRow() {
  return (Rows(1) << std::tuple_size_v<decltype(fields)>)-1;
}

bool PreferenceFields::differ(const Preferences& a, const Preferences& b) const {
  bool differs = false;
  Rows bit = 1;
  const auto compare = [&](const auto& field) {
    if ((rows_ & bit) != 0 && !field.same(a, b)) differs = true;
    bit <<= 1;
  };
  std::apply([&](const auto&... field) { (compare(field), ...); }, fields);
  return differs;
}

}  // namespace vorlane
