#include "core/scheduling/choreography.h"

#include <string>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Celebration = Choreography::Celebration;

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(Choreography, PresetsHoldTheirValues) {
  struct Row {
    const char* name;
    Choreography preset;
    Choreography expected;
    double total;
  };
  const Row rows[] = {
      {"standard", Choreography::standard(), {1.6, 3.8, 1.6, Celebration::none}, 7.0},
      {"celebratory", Choreography::celebratory(), {1.6, 5.5, 1.6, Celebration::jumpAndShout}, 8.7},
      {"triumphant", Choreography::triumphant(), {1.3, 6.5, 1.6, Celebration::triumph}, 9.4},
      {"brief", Choreography::brief(), {1.2, 2.0, 1.2, Celebration::none}, 4.4},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.preset, row.expected) << row.name;
    EXPECT_EQ(row.preset.total(), row.total) << row.name;
  }
}

TEST(Choreography, ChangingACopyLeavesThePresetAlone) {
  Choreography copy = Choreography::standard();
  copy.hold = 99;
  copy.celebration = Celebration::triumph;
  EXPECT_EQ(Choreography::standard(), (Choreography{1.6, 3.8, 1.6, Celebration::none}));
  EXPECT_NE(copy, Choreography::standard());
}

TEST(Choreography, ReadingHoldsLongEnoughForTheCharacters) {
  const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
  struct Row {
    const char* name;
    std::string text;
    double hold;
  };
  const Row rows[] = {
      {"empty", "", 3.8},
      {"35 characters", std::string(35, 'a'), 3.8},
      {"36 characters", std::string(36, 'a'), 3.84},
      {"115 characters", std::string(115, 'a'), 8.975},
      {"116 characters", std::string(116, 'a'), 9.0},
      {"far longer", std::string(5000, 'a'), 9.0},
      {"36 family emoji", repeated(family, 36), 3.84},
      {"36 letters with combining accents", repeated("e\u0301", 36), 3.84},
      {"36 CR LF pairs", repeated("\r\n", 36), 3.84},
  };
  for (const Row& row : rows) {
    const Choreography reading = Choreography::reading(row.text);
    EXPECT_NEAR(reading.hold, row.hold, 1e-9) << row.name;
    EXPECT_EQ(reading.descend, 1.6) << row.name;
    EXPECT_EQ(reading.ascend, 1.6) << row.name;
    EXPECT_EQ(reading.celebration, Celebration::none) << row.name;
  }
  EXPECT_EQ(Choreography::reading("").total(), 7.0);
  EXPECT_EQ(Choreography::reading(std::string(116, 'a')).total(), 1.6 + 9.0 + 1.6);
}

}  // namespace
}  // namespace vorlane
