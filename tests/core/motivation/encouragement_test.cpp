#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "core/motivation/encouragement_cadence.h"
#include "core/motivation/encouragement_library.h"
#include "foundation/text.h"
#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"

namespace vorlane {
namespace {

using S = ScriptedRandomGenerator;
using Moment = Encouragement::Moment;
const std::set<Moment> both{Moment::idle, Moment::onBreak};
const Date start(800000000.0);

TEST(EncouragementLibrary, HoldsFifteenQuotationsThenTheTipsAsWritten) {
  const std::vector<Encouragement>& all = EncouragementLibrary::all();
  ASSERT_EQ(all.size(), 28u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].attribution.has_value(), i < 15) << all[i].id;
    EXPECT_TRUE(i >= 15 || all[i].moments == (i < 13 ? std::set<Moment>{Moment::idle} : both))
        << all[i].id;
    for (const char* mark : {"\"", "\u201C", "\u201D"})
      EXPECT_EQ(all[i].text.find(mark), std::string::npos);
    EXPECT_LE(graphemeCount(all[i].text), 100u) << all[i].id;
  }
  EXPECT_EQ(all[17].text, "Close one tab you don\u2019t need right now.");
  EXPECT_EQ((Encouragement{"q", "Lost time is never found again.", "Benjamin Franklin", both})
                .bubbleText(),
            "\u201CLost time is never found again.\u201D\n\u2014 Benjamin Franklin");
}

TEST(EncouragementLibrary, ScriptedDrawsChooseInTableOrderAndTheProgressLineOnAZero) {
  S words{S::lowest,        S::highest,         S::highest,
          S::wordFor(1, 4), S::wordFor(21, 26), S::wordFor(0, 4)};
  EXPECT_EQ(EncouragementLibrary::pick({Moment::idle, 0}, {}, words).id,
            EncouragementLibrary::all()[0].id);
  EXPECT_EQ(EncouragementLibrary::pick({Moment::idle, 1}, {}, words).id, "tip-eyes");
  EXPECT_EQ(EncouragementLibrary::pick({Moment::onBreak, 0}, {}, words).id, "tip-break-screen");
  EXPECT_EQ(EncouragementLibrary::pick({Moment::idle, 3}, {}, words).id,
            "tip-doing-great");  // not on a one
  EXPECT_EQ(EncouragementLibrary::pick({Moment::onBreak, 5}, {}, words),
            (Encouragement{"progress-today", "5 focus sessions today. You\u2019re doing great.",
                           std::nullopt, both}));
  EXPECT_TRUE(words.allUsed());
}

std::multiset<std::string> tally(const EncouragementContext& context,
                                 const std::set<std::string>& excluding) {
  std::multiset<std::string> seen;
  for (int seed = 0; seed < 4000; ++seed) {
    SeededRandomGenerator generator(seed);
    seen.insert(EncouragementLibrary::pick(context, excluding, generator).id);
  }
  return seen;
}
std::set<std::string> distinct(const std::multiset<std::string>& seen) {
  return {seen.begin(), seen.end()};
}

TEST(EncouragementLibrary,
     OverManySeedsPicksKeepToThePoolAndExclusionsAndProgressComesOneTimeInFour) {
  std::map<Moment, std::set<std::string>> pool;
  for (const Encouragement& e : EncouragementLibrary::all())
    for (Moment moment : e.moments) pool[moment].insert(e.id);
  EXPECT_EQ(pool[Moment::idle].size(), 26u);
  EXPECT_EQ(pool[Moment::onBreak].size(), 8u);
  EXPECT_EQ(distinct(tally({Moment::idle, 0}, {})), pool[Moment::idle]);
  // All excluded: the exclusion is ignored.
  EXPECT_EQ(distinct(tally({Moment::onBreak, 0}, pool[Moment::onBreak])), pool[Moment::onBreak]);
  for (const std::string& left : pool[Moment::onBreak]) {
    std::set<std::string> excluding = pool[Moment::onBreak];
    excluding.erase(left);
    EXPECT_EQ(distinct(tally({Moment::onBreak, 0}, excluding)), std::set<std::string>{left});
  }
  const std::string progress(EncouragementLibrary::progressID);
  EXPECT_FALSE(tally({Moment::idle, 1}, {}).contains(progress));
  EXPECT_FALSE(tally({Moment::onBreak, 12}, {progress}).contains(progress));
  EXPECT_NEAR(tally({Moment::idle, 2}, {}).count(progress), 1000, 150) << "about one time in four";
}

TEST(EncouragementCadence,
     SchedulesFiftyToHundredTenMinutesAheadAndHandsOutOnlyUpToFiveMinutesLate) {
  S words{S::lowest, S::highest, S::lowest, S::highest};
  EncouragementCadence cadence;
  EXPECT_FALSE(cadence.takeDue(start, {Moment::idle, 0}, words));  // the first call only schedules
  EXPECT_EQ(cadence.nextDue, start + 3000.0);
  EXPECT_FALSE(
      cadence.takeDue(start + 2999.999, {Moment::idle, 0}, words));  // early: no change, no draw
  // 300 s late: the next interval is drawn first (the longest), then the pick (the first entry).
  EXPECT_EQ(cadence.takeDue(start + 3300.0, {Moment::idle, 0}, words),
            EncouragementLibrary::all().front());
  EXPECT_EQ(cadence.nextDue, start + 9900.0);
  EXPECT_FALSE(
      cadence.takeDue(start + 10201.0, {Moment::idle, 0}, words));  // 301 s late: rescheduled only
  EXPECT_EQ(cadence.nextDue, start + 16801.0);
  EXPECT_EQ(cadence.recent(), std::deque<std::string>{EncouragementLibrary::all().front().id});
  EXPECT_TRUE(words.allUsed());
}

// Hands out `count` on-time encouragements, checking each avoids the recent ids while another is
// left.
std::vector<std::string> handOut(EncouragementCadence& cadence, RandomGenerator& generator,
                                 const EncouragementContext& context, int count) {
  std::vector<std::string> ids;
  for (cadence.reset(start, generator); int(ids.size()) < count;) {
    const std::deque<std::string> recent = cadence.recent();
    const bool freshLeft =
        std::ranges::any_of(EncouragementLibrary::all(), [&](const Encouragement& e) {
          return e.moments.contains(context.moment) && !std::ranges::count(recent, e.id);
        });
    ids.push_back(cadence.takeDue(*cadence.nextDue, context, generator).value().id);
    EXPECT_FALSE(freshLeft && std::ranges::count(recent, ids.back())) << ids.back();
  }
  return ids;
}

TEST(EncouragementCadence, RecentKeepsTheSixteenNewestAndPicksAvoidThemWhileAnotherIsLeft) {
  int repeats = 0;
  for (int seed = 0; seed < 200; ++seed) {
    SeededRandomGenerator generator(seed);
    EncouragementCadence cadence;
    const std::vector<std::string> ids = handOut(cadence, generator, {Moment::idle, 0}, 18);
    EXPECT_EQ(cadence.recent(), std::deque<std::string>(ids.begin() + 2, ids.end()));
    repeats += ids.back() == ids.front();  // the oldest has left `recent`, so it may come again
    EncouragementCadence onBreak;  // only eight candidates: once all are recent, any may come again
    handOut(onBreak, generator, {Moment::onBreak, 3}, 40);
    EXPECT_EQ(onBreak.recent().size(), 16u);
  }
  EXPECT_GT(repeats, 0);
}

}  // namespace
}  // namespace vorlane
