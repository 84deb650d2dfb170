#include "core/scheduling/presence_mode.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PresenceMode, RawValuesNamesAndJson) {
  EXPECT_EQ(allPresenceModes[0], PresenceMode::peek);
  EXPECT_EQ(displayName(PresenceMode::peek), "Always peeking");
  EXPECT_EQ(displayName(PresenceMode::hidden), "Only during visits");
  for (PresenceMode mode : allPresenceModes) {
    Json written = encode(mode);
    EXPECT_EQ(written, Json(std::string(rawValue(mode))));
    EXPECT_EQ(decodePresenceMode(JsonReader(written)), mode);
  }
  // Only the exact raw values read.
  EXPECT_EQ(presenceModeFromRaw("hidden"), PresenceMode::hidden);
  for (Json bad : {Json("Peek"), Json("HIDDEN"), Json(""), Json(0)}) {
    if (bad.is_string()) {
      EXPECT_EQ(presenceModeFromRaw(bad.get<std::string>()), std::nullopt);
    }
    EXPECT_THROW(decodePresenceMode(JsonReader(bad)), DecodingError) << bad.dump();
  }
}

}  // namespace
}  // namespace vorlane
