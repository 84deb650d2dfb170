#include "core/scheduling/presence_mode.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PresenceMode, CasesRawValuesAndNamesInPickerOrder) {
  ASSERT_EQ(allPresenceModes.size(), 2u);
  EXPECT_EQ(allPresenceModes[0], PresenceMode::peek);
  EXPECT_EQ(allPresenceModes[1], PresenceMode::hidden);
  EXPECT_EQ(rawValue(PresenceMode::peek), "peek");
  EXPECT_EQ(rawValue(PresenceMode::hidden), "hidden");
  EXPECT_EQ(displayName(PresenceMode::peek), "Always peeking");
  EXPECT_EQ(displayName(PresenceMode::hidden), "Only during visits");
}

TEST(PresenceMode, FromRawIsExact) {
  EXPECT_EQ(presenceModeFromRaw("peek"), PresenceMode::peek);
  EXPECT_EQ(presenceModeFromRaw("hidden"), PresenceMode::hidden);
  for (const char* raw : {"Peek", "HIDDEN", "", "peek ", " hidden", "peeking"}) {
    EXPECT_EQ(presenceModeFromRaw(raw), std::nullopt) << '"' << raw << '"';
  }
}

TEST(PresenceMode, JsonIsTheRawString) {
  for (PresenceMode mode : allPresenceModes) {
    Json written = encode(mode);
    ASSERT_TRUE(written.is_string());
    EXPECT_EQ(written.get<std::string>(), rawValue(mode));
    EXPECT_EQ(decodePresenceMode(JsonReader(written)), mode);
  }
  for (const char* bad : {R"("Peek")", R"("")", "0", "null", "[\"peek\"]", R"({"peek":1})"}) {
    Json value = Json::parse(bad);
    EXPECT_THROW(decodePresenceMode(JsonReader(value)), DecodingError) << bad;
  }
}

}  // namespace
}  // namespace vorlane
