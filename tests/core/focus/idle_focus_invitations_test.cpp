#include "core/focus/idle_focus_invitations.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vorlane {
namespace {

const Date t0(800000000);

TEST(IdleFocusInvitations, SequencesAfterAReset) {
  struct Row {
    const char* name;
    // Seconds after the reset, and whether an invitation is offered then.
    std::vector<std::pair<double, bool>> calls;
  };
  const Row rows[] = {
      {"both on time",
       {{899, false},
        {900, true},
        {900, false},
        {4499, false},
        {4500, true},
        {4501, false},
        {90000, false}}},
      {"first a little late moves the second", {{920, true}, {4519, false}, {4520, true}}},
      {"first at the edge of on time", {{930, true}, {4529, false}, {4530, true}}},
      {"first missed keeps the second on its own schedule",
       {{1000, false}, {4499, false}, {4510, true}, {4600, false}, {9000, false}}},
      {"first just past on time", {{930.001, false}, {4500, true}}},
      {"first missed, second missed too", {{1000, false}, {4531, false}, {4600, false}}},
      {"both already too late in one call", {{5000, false}, {5001, false}, {99999, false}}},
      {"first missed, second taken in the same call", {{4500, true}, {4500, false}, {8100, false}}},
      {"before the reset", {{-1, false}, {900, true}}},
  };
  for (const Row& row : rows) {
    IdleFocusInvitations cadence;
    cadence.reset(t0);
    for (const auto& [after, offered] : row.calls) {
      EXPECT_EQ(cadence.takeDue(t0 + after), offered) << row.name << " at +" << after;
    }
  }
}

TEST(IdleFocusInvitations, NeverResetNeverFires) {
  IdleFocusInvitations cadence;
  const IdleFocusInvitations untouched;
  for (const double at : {0.0, 900.0, 4500.0, 1e9}) {
    EXPECT_FALSE(cadence.takeDue(Date(at)));
  }
  EXPECT_EQ(cadence, untouched);
}

TEST(IdleFocusInvitations, ResetStartsANewCadence) {
  IdleFocusInvitations cadence;
  cadence.reset(t0);
  ASSERT_FALSE(cadence.takeDue(t0 + 9000));  // both occasions used up
  cadence.reset(t0 + 9000);
  EXPECT_FALSE(cadence.takeDue(t0 + 9899));
  EXPECT_TRUE(cadence.takeDue(t0 + 9900));
  // A reset while the first occasion is still ahead moves it.
  cadence.reset(t0 + 10000);
  EXPECT_FALSE(cadence.takeDue(t0 + 10899));
  EXPECT_TRUE(cadence.takeDue(t0 + 10900));
  EXPECT_TRUE(cadence.takeDue(t0 + 14500));
  EXPECT_FALSE(cadence.takeDue(t0 + 18100));
}

}  // namespace
}  // namespace vorlane
