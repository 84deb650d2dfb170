#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "foundation/json.h"

namespace vorlane {

// How the mascot shows itself between visits: the user's setting.
enum class PresenceMode { peek, hidden };

// Every case in the settings picker's order.
inline constexpr std::array<PresenceMode, 2> allPresenceModes{PresenceMode::peek,
                                                              PresenceMode::hidden};

// "peek" or "hidden", the stored form.
std::string_view rawValue(PresenceMode mode);
// The picker's label: "Always peeking" or "Only during visits".
std::string_view displayName(PresenceMode mode);
// Exact and case-sensitive: "Peek" gives none.
std::optional<PresenceMode> presenceModeFromRaw(std::string_view raw);

// The raw value as one JSON string.
Json encode(PresenceMode mode);
// A string naming a case; anything else throws DecodingError.
PresenceMode decodePresenceMode(const JsonReader& reader);

}  // namespace vorlane
