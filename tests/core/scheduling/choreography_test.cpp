#include "core/scheduling/choreography.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/text_samples.h"

namespace vorlane {
namespace {

using Celebration = Choreography::Celebration;

TEST(Choreography, PresetsHoldTheirValues) {
  EXPECT_EQ(Choreography::standard(), (Choreography{1.6, 3.8, 1.6, Celebration::none}));
  EXPECT_EQ(Choreography::celebratory(), (Choreography{1.6, 5.5, 1.6, Celebration::jumpAndShout}));
  EXPECT_EQ(Choreography::triumphant(), (Choreography{1.3, 6.5, 1.6, Celebration::triumph}));
  EXPECT_EQ(Choreography::brief(), (Choreography{1.2, 2.0, 1.2, Celebration::none}));
  EXPECT_EQ(Choreography::triumphant().total(), 9.4);
}

TEST(Choreography, ReadingHoldsLongEnoughForTheCharacters) {
  struct Row {
    const char* name;
    std::string text;
    double hold;
  };
  const Row rows[] = {
      {"35 characters", std::string(35, 'a'), 3.8},
      {"36 characters", std::string(36, 'a'), 3.84},
      {"115 characters", std::string(115, 'a'), 8.975},
      {"116 characters", std::string(116, 'a'), 9.0},
      {"far longer", std::string(5000, 'a'), 9.0},
      {"36 family emoji", repeated(familyEmoji, 36), 3.84},
      {"36 letters with combining accents", repeated("e\u0301", 36), 3.84},
      {"36 CR LF pairs", repeated("\r\n", 36), 3.84},
  };
  for (const Row& row : rows) {
    EXPECT_NEAR(Choreography::reading(row.text).hold, row.hold, 1e-9) << row.name;
  }
  EXPECT_EQ(Choreography::reading(""), Choreography::standard());
}

}  // namespace
}  // namespace vorlane
