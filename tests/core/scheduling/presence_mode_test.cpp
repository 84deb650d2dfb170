#include "core/scheduling/presence_mode.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PresenceMode, RawValuesNamesAndJson) {
  EXPECT_EQ(allPresenceModes[0], PresenceMode::peek);
  EXPECT_EQ(displayName(PresenceMode::peek), "Always peeking");
  EXPECT_EQ(displayName(PresenceMode::hidden), "Only during visits");
  for (PresenceMode mode : allPresenceModes) {
    EXPECT_EQ(presenceModeFromRaw(rawValue(mode)), mode);
    Json written = encode(mode);
    EXPECT_EQ(written, Json(std::string(rawValue(mode))));
    EXPECT_EQ(decodePresenceMode(JsonReader(written)), mode);
  }
  EXPECT_EQ(rawValue(PresenceMode::hidden), "hidden");
}

TEST(PresenceMode, OnlyTheExactRawValuesRead) {
  for (const char* raw : {"Peek", "HIDDEN", "", "peek "}) {
    EXPECT_EQ(presenceModeFromRaw(raw), std::nullopt) << raw;
    Json value(raw);
    EXPECT_THROW(decodePresenceMode(JsonReader(value)), DecodingError) << raw;
  }
  Json number(0);
  EXPECT_THROW(decodePresenceMode(JsonReader(number)), DecodingError);
}

}  // namespace
}  // namespace vorlane
