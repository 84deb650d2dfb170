#include "core/motivation/encouragement_cadence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/motivation/encouragement_library.h"
#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

using S = ScriptedRandomGenerator;
using Moment = Encouragement::Moment;
const Date start(800000000.0);

TEST(EncouragementCadence, FirstCallOnlySchedulesAndEarlyCallsChangeNothing) {
  for (int seed = 0; seed < 500; ++seed) {
    SeededRandomGenerator generator(seed);
    EncouragementCadence cadence;
    EXPECT_FALSE(cadence.takeDue(start, {Moment::idle, 0}, generator));
    ASSERT_TRUE(cadence.nextDue);
    EXPECT_TRUE(EncouragementCadence::interval.contains(*cadence.nextDue - start));
    const EncouragementCadence before = cadence;
    EXPECT_FALSE(cadence.takeDue(*cadence.nextDue - 0.001, {Moment::idle, 0}, generator));
    EXPECT_EQ(cadence, before);
  }
  S ends{S::lowest, S::highest};
  EncouragementCadence cadence;
  cadence.reset(start, ends);
  EXPECT_EQ(cadence.nextDue, start + 3000.0);
  cadence.reset(start, ends);
  EXPECT_EQ(cadence.nextDue, start + 6600.0);
}

TEST(EncouragementCadence, DueCallReschedulesFirstThenTakesOrDropsByLateness) {
  struct Row {
    const char* name;
    double late;
    bool handsOut;
  };
  const Row rows[] = {
      {"on time", 0.0, true},
      {"at the tolerance", 300.0, true},
      {"past the tolerance", 301.0, false},
      {"hours late", 7200.0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EncouragementCadence cadence;
    cadence.nextDue = start;
    const Date now = start + row.late;
    // The new interval is drawn before the pick.
    S words = row.handsOut ? S{S::highest, S::lowest} : S{S::highest};
    const auto got = cadence.takeDue(now, {Moment::idle, 0}, words);
    EXPECT_EQ(cadence.nextDue, now + 6600.0);
    EXPECT_TRUE(words.allUsed());
    if (row.handsOut) {
      ASSERT_TRUE(got);
      EXPECT_EQ(*got, EncouragementLibrary::all().front());
      EXPECT_EQ(cadence.recent(), std::deque<std::string>{got->id});
    } else {
      EXPECT_FALSE(got);
      EXPECT_TRUE(cadence.recent().empty());
    }
  }
}

// Runs `count` on-time occasions and returns the ids handed out, checking on the way that
// no pick repeats a recent id while the moment has another candidate left.
std::vector<std::string> handOut(EncouragementCadence& cadence, RandomGenerator& generator,
                                 const EncouragementContext& context, int count) {
  std::set<std::string> candidates;
  for (const Encouragement& e : EncouragementLibrary::all()) {
    if (e.moments.contains(context.moment)) candidates.insert(e.id);
  }
  std::vector<std::string> ids;
  Date now = start;
  cadence.reset(now, generator);
  while (static_cast<int>(ids.size()) < count) {
    now = *cadence.nextDue;
    const std::deque<std::string> recent = cadence.recent();
    const bool freshLeft = std::any_of(candidates.begin(), candidates.end(), [&](auto& id) {
      return std::find(recent.begin(), recent.end(), id) == recent.end();
    });
    const auto got = cadence.takeDue(now, context, generator);
    if (!got) {
      ADD_FAILURE() << "an on-time occasion gave nothing";
      break;
    }
    if (freshLeft) {
      EXPECT_EQ(std::find(recent.begin(), recent.end(), got->id), recent.end()) << got->id;
    }
    ids.push_back(got->id);
  }
  return ids;
}

TEST(EncouragementCadence, RecentKeepsTheSixteenNewestAndSteersPicks) {
  for (int seed = 0; seed < 40; ++seed) {
    SCOPED_TRACE(seed);
    SeededRandomGenerator generator(seed);
    EncouragementCadence cadence;
    const auto ids = handOut(cadence, generator, {Moment::idle, 0}, 17);
    ASSERT_EQ(ids.size(), 17u);
    EXPECT_EQ(cadence.recent(), std::deque<std::string>(ids.begin() + 1, ids.end()));
    EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 17u);
  }
  // The oldest id has left `recent`, so an 18th pick may fall on it again.
  int repeats = 0;
  for (int seed = 0; seed < 200; ++seed) {
    SeededRandomGenerator generator(seed);
    EncouragementCadence cadence;
    const auto ids = handOut(cadence, generator, {Moment::idle, 0}, 18);
    repeats += ids.size() == 18u && ids.back() == ids.front();
  }
  EXPECT_GT(repeats, 0);
  // Only eight candidates on a break: once all are recent, any may come again.
  for (int seed = 0; seed < 40; ++seed) {
    SeededRandomGenerator generator(seed);
    EncouragementCadence cadence;
    const auto ids = handOut(cadence, generator, {Moment::onBreak, 3}, 40);
    EXPECT_EQ(cadence.recent().size(), 16u);
  }
}

}  // namespace
}  // namespace vorlane
