#include "core/settings/presence_mode.h"

#include <string>

namespace vorlane {

std::string_view rawValue(PresenceMode mode) {
  switch (mode) {
    case PresenceMode::peek:
      return "peek";
    case PresenceMode::hidden:
      return "hidden";
  }
  return "peek";
}

std::string_view displayName(PresenceMode mode) {
  switch (mode) {
    case PresenceMode::peek:
      return "Always peeking";
    case PresenceMode::hidden:
      return "Only during visits";
  }
  return "Always peeking";
}

std::optional<PresenceMode> presenceModeFromRaw(std::string_view raw) {
  for (PresenceMode mode : allPresenceModes) {
    if (rawValue(mode) == raw) return mode;
  }
  return std::nullopt;
}

Json encode(PresenceMode mode) { return Json(std::string(rawValue(mode))); }

PresenceMode decodePresenceMode(const JsonReader& reader) {
  std::string raw = reader.asString();
  if (auto mode = presenceModeFromRaw(raw)) return *mode;
  reader.fail(DecodingError::Kind::dataCorrupted,
              "Cannot initialize PresenceMode from invalid String value " + raw);
}

}  // namespace vorlane
