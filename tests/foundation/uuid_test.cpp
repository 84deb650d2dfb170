#include "foundation/uuid.h"

#include <cctype>
#include <unordered_set>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(UUID, FreshIdsAreVersionFourAndDistinct) {
  std::unordered_set<UUID> seen;
  for (int i = 0; i < 1000; ++i) {
    const UUID id = UUID::random();
    EXPECT_EQ(id.bytes()[6] >> 4, 4);
    EXPECT_EQ(id.bytes()[8] >> 6, 2);
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(UUID, WritesUpperCaseAndReadsEitherCase) {
  const UUID id = *UUID::fromString("f47ac10b-58cc-4372-a567-0e02b2c3d479");
  EXPECT_EQ(id.toString(), "F47AC10B-58CC-4372-A567-0E02B2C3D479");
  EXPECT_EQ(UUID::fromString("F47AC10B-58CC-4372-A567-0E02B2C3D479"), id);
  EXPECT_EQ(UUID::fromString("F47ac10B-58Cc-4372-a567-0E02b2c3d479"), id);
  EXPECT_EQ(id.bytes()[0], 0xF4);
  EXPECT_EQ(id.bytes()[15], 0x79);

  const UUID fresh = UUID::random();
  EXPECT_EQ(UUID::fromString(fresh.toString()), fresh);
  for (char c : fresh.toString()) EXPECT_FALSE(std::islower(static_cast<unsigned char>(c)));
}

TEST(UUID, RejectsAnythingButTheHyphenatedForm) {
  for (const char* text : {"", "f47ac10b58cc4372a5670e02b2c3d479", "f47ac10b-58cc-4372-a567-0e02b2c3d47",
                           "f47ac10b-58cc-4372-a567-0e02b2c3d4799", "{f47ac10b-58cc-4372-a567-0e02b2c3d479}",
                           "f47ac10b-58cc-4372-a567_0e02b2c3d479", "f47ac10-b58cc-4372-a567-0e02b2c3d479",
                           "g47ac10b-58cc-4372-a567-0e02b2c3d479", " f47ac10b-58cc-4372-a567-0e02b2c3d47"}) {
    EXPECT_FALSE(UUID::fromString(text)) << text;
  }
}

TEST(UUID, NilOrderAndHash) {
  EXPECT_TRUE(UUID().isNil());
  EXPECT_EQ(UUID().toString(), "00000000-0000-0000-0000-000000000000");
  EXPECT_FALSE(UUID::random().isNil());

  UUID::Bytes low{};
  UUID::Bytes high{};
  high[0] = 1;
  EXPECT_LT(UUID(low), UUID(high));
  EXPECT_EQ(std::hash<UUID>()(UUID(high)), std::hash<UUID>()(*UUID::fromString(UUID(high).toString())));

  // Ids differing in one byte of either half hash apart.
  std::unordered_set<std::size_t> hashes;
  for (std::size_t position : {0u, 7u, 8u, 15u}) {
    for (int value = 1; value < 256; ++value) {
      UUID::Bytes bytes{};
      bytes[position] = static_cast<std::uint8_t>(value);
      hashes.insert(std::hash<UUID>()(UUID(bytes)));
    }
  }
  EXPECT_EQ(hashes.size(), 4u * 255u);
}

}  // namespace
}  // namespace vorlane
