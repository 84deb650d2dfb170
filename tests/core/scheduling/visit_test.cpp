#include "core/scheduling/visit.h"

#include <functional>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const UUID reminderA = *UUID::fromString("11111111-1111-4111-8111-111111111111");
const UUID reminderB = *UUID::fromString("22222222-2222-4222-8222-222222222222");

Visit sample() {
  return Visit{.id = *UUID::fromString("33333333-3333-4333-8333-333333333333"),
               .kind = Visit::Kind::reminder(reminderA),
               .scheduledFor = Date(794000000),
               .spokenPhrase = "Time for caf\u00e9",
               .bubbleText = "Caf\u00e9",
               .showsBubble = true,
               .bubbleStyle = Visit::BubbleStyle::headline,
               .choreography = Choreography::standard(),
               .isClickable = false};
}

TEST(Visit, EqualOnlyWhenEveryFieldIs) {
  EXPECT_EQ(sample(), sample());
  struct Row {
    const char* name;
    std::function<void(Visit&)> change;
  };
  const Row rows[] = {
      {"id", [](Visit& v) { v.id = UUID::random(); }},
      {"kind", [](Visit& v) { v.kind = Visit::Kind::hourly(); }},
      {"scheduledFor", [](Visit& v) { v.scheduledFor = v.scheduledFor + 0.001; }},
      {"spokenPhrase", [](Visit& v) { v.spokenPhrase = "Time for cafe"; }},
      {"bubbleText", [](Visit& v) { v.bubbleText += " "; }},
      {"showsBubble", [](Visit& v) { v.showsBubble = false; }},
      {"bubbleStyle", [](Visit& v) { v.bubbleStyle = Visit::BubbleStyle::note; }},
      {"choreography", [](Visit& v) { v.choreography.ascend = 1.7; }},
      {"isClickable", [](Visit& v) { v.isClickable = true; }},
  };
  for (const Row& row : rows) {
    Visit changed = sample();
    row.change(changed);
    EXPECT_NE(changed, sample()) << row.name;
  }
}

TEST(Visit, TextsCompareByCharacters) {
  Visit decomposed = sample();
  decomposed.spokenPhrase = "Time for cafe\u0301";
  decomposed.bubbleText = "Cafe\u0301";
  EXPECT_EQ(decomposed, sample());
}

TEST(Visit, KindsCompareByCaseAndReminderId) {
  using Kind = Visit::Kind;
  EXPECT_EQ(Kind::reminder(reminderA), Kind::reminder(reminderA));
  EXPECT_NE(Kind::reminder(reminderA), Kind::reminder(reminderB));
  EXPECT_NE(Kind::reminder(UUID()), Kind::hourly());
  const Kind cases[] = {Kind::hourly(), Kind::manual(), Kind::pomodoroStart(), Kind::pomodoroComplete(),
                        Kind::breakComplete(), Kind::encouragement(), Kind::reminder(reminderA)};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    for (std::size_t j = 0; j < std::size(cases); ++j) {
      EXPECT_EQ(cases[i] == cases[j], i == j) << i << " vs " << j;
    }
  }
  EXPECT_EQ(Kind::reminder(reminderB).reminderId(), reminderB);
  EXPECT_TRUE(Kind::encouragement().reminderId().isNil());
}

}  // namespace
}  // namespace vorlane
