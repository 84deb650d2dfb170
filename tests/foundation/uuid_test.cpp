#include "foundation/uuid.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace vorlane {
namespace {

TEST(UUID, FreshIDsAreVersionFourDistinctAndReadBack) {
  std::unordered_set<UUID> seen;
  for (int i = 0; i < 1000; ++i) {
    const UUID id = UUID::random();
    EXPECT_EQ(std::make_pair(id.bytes()[6] >> 4, id.bytes()[8] >> 6), std::make_pair(4, 2));
    EXPECT_EQ(UUID::fromString(id.toString()), id);
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(UUID, WritesUpperCaseAndReadsEitherCaseButOnlyTheHyphenatedForm) {
  const UUID id = *UUID::fromString("f47ac10b-58cc-4372-a567-0e02b2c3d479");
  EXPECT_EQ(id.toString(), "F47AC10B-58CC-4372-A567-0E02B2C3D479");
  EXPECT_EQ(UUID::fromString("F47ac10B-58Cc-4372-a567-0E02b2c3d479"), id);
  EXPECT_EQ(id.bytes()[0] * 256 + id.bytes()[15], 0xF479);
  for (const char* text :
       {"", "f47ac10b58cc4372a5670e02b2c3d479", "f47ac10b-58cc-4372-a567-0e02b2c3d47",
        "{f47ac10b-58cc-4372-a567-0e02b2c3d479}", "f47ac10-b58cc-4372-a567-0e02b2c3d479",
        "g47ac10b-58cc-4372-a567-0e02b2c3d479", " f47ac10b-58cc-4372-a567-0e02b2c3d47"}) {
    EXPECT_FALSE(UUID::fromString(text)) << text;
  }
  EXPECT_EQ(UUID().toString(), "00000000-0000-0000-0000-000000000000");
}

}  // namespace
}  // namespace vorlane
