#include "core/motivation/encouragement_library.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/text.h"
#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

using Moment = Encouragement::Moment;
const std::set<Moment> idle{Moment::idle};
const std::set<Moment> onBreak{Moment::onBreak};
const std::set<Moment> both{Moment::idle, Moment::onBreak};

std::vector<std::string> candidateIDs(Moment moment) {
  std::vector<std::string> ids;
  for (const Encouragement& e : EncouragementLibrary::all()) {
    if (e.moments.contains(moment)) ids.push_back(e.id);
  }
  return ids;
}

TEST(EncouragementLibrary, HoldsFifteenQuotationsThenTheTips) {
  const auto& all = EncouragementLibrary::all();
  ASSERT_EQ(all.size(), 28u);
  std::set<std::string> ids;
  for (std::size_t i = 0; i < 15; ++i) {
    const Encouragement& q = all[i];
    SCOPED_TRACE(q.id);
    EXPECT_EQ(q.moments, i < 13 ? idle : both);
    ASSERT_TRUE(q.attribution);
    EXPECT_FALSE(q.attribution->empty());
    EXPECT_EQ(q.id.rfind("quote-", 0), 0u) << "keeps clear of the tip ids";
    for (char c : q.id) EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '-') << q.id;
    // The bubble adds the quotation marks; it has room for a short line only.
    for (const char* mark : {"\"", "\u201C", "\u201D", "'"}) {
      EXPECT_EQ(q.text.find(mark), std::string::npos) << mark;
    }
    EXPECT_LE(graphemeCount(q.text), 100u);
  }
  for (std::size_t i = 15; i < all.size(); ++i) {
    EXPECT_FALSE(all[i].attribution) << all[i].id;
    EXPECT_EQ(all[i].id.rfind("tip-", 0), 0u) << all[i].id;
  }
  EXPECT_EQ(all[17].text, "Close one tab you don\u2019t need right now.");
  EXPECT_EQ(all[26].moments, onBreak);
  EXPECT_EQ(all[27].moments, onBreak);
  for (const Encouragement& e : all) EXPECT_TRUE(ids.insert(e.id).second) << e.id;
  EXPECT_FALSE(ids.contains(std::string(EncouragementLibrary::progressID)));
  EXPECT_EQ(candidateIDs(Moment::idle).size(), 26u);
  EXPECT_EQ(candidateIDs(Moment::onBreak).size(), 8u);
}

TEST(Encouragement, BubbleQuotesOnlyAttributedLines) {
  const Encouragement tip{"t", "Sip some water.", std::nullopt, both};
  EXPECT_EQ(tip.bubbleText(), "Sip some water.");
  const Encouragement quote{"q", "Lost time is never found again.", "Benjamin Franklin", idle};
  EXPECT_EQ(quote.bubbleText(),
            "\u201CLost time is never found again.\u201D\n\u2014 Benjamin Franklin");
}

TEST(EncouragementLibrary, ScriptedDrawsChooseInTableOrder) {
  using S = ScriptedRandomGenerator;
  const auto& all = EncouragementLibrary::all();
  struct Row {
    const char* name;
    EncouragementContext context;
    std::vector<std::uint64_t> words;
    std::string expectedID;
  };
  const Row rows[] = {
      {"first idle candidate", {Moment::idle, 0}, {S::lowest}, all[0].id},
      {"last idle candidate", {Moment::idle, 1}, {S::highest}, "tip-eyes"},
      {"first break candidate", {Moment::onBreak, 0}, {S::lowest}, all[13].id},
      {"last break candidate", {Moment::onBreak, 0}, {S::highest}, "tip-break-screen"},
      {"progress line on a zero", {Moment::idle, 5}, {S::wordFor(0, 4)}, "progress-today"},
      {"no progress line on a one", {Moment::onBreak, 2}, {S::wordFor(1, 4), S::lowest},
       all[13].id},
      {"no progress line on a three", {Moment::idle, 3}, {S::highest, S::wordFor(21, 26)},
       "tip-doing-great"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    S words(row.words);
    EXPECT_EQ(EncouragementLibrary::pick(row.context, {}, words).id, row.expectedID);
    EXPECT_TRUE(words.allUsed()) << "draws made: " << words.wordsUsed();
  }
  S zero{S::wordFor(0, 4)};
  EXPECT_EQ(EncouragementLibrary::pick({Moment::onBreak, 5}, {}, zero),
            (Encouragement{"progress-today", "5 focus sessions today. You\u2019re doing great.",
                           std::nullopt, both}));
}

// Many seeds: how often each id comes out of `pick` for one context and exclusion set.
std::map<std::string, int> tally(const EncouragementContext& context,
                                 const std::set<std::string>& excluding, int draws = 3000) {
  std::map<std::string, int> seen;
  for (int seed = 0; seed < draws; ++seed) {
    SeededRandomGenerator generator(seed);
    ++seen[EncouragementLibrary::pick(context, excluding, generator).id];
  }
  return seen;
}

std::set<std::string> keys(const std::map<std::string, int>& seen) {
  std::set<std::string> result;
  for (const auto& [id, count] : seen) result.insert(id);
  return result;
}

TEST(EncouragementLibrary, PicksOnlyFromTheMomentsPoolAndRespectsExclusions) {
  const std::vector<std::string> breakIDs = candidateIDs(Moment::onBreak);
  const std::set<std::string> breakSet(breakIDs.begin(), breakIDs.end());
  const std::vector<std::string> idleIDs = candidateIDs(Moment::idle);

  // Every candidate of the moment turns up, nothing else does.
  EXPECT_EQ(keys(tally({Moment::onBreak, 1}, {})), breakSet);
  EXPECT_EQ(keys(tally({Moment::idle, 0}, {})),
            std::set<std::string>(idleIDs.begin(), idleIDs.end()));

  for (const std::string& left : breakIDs) {
    std::set<std::string> excluding(breakSet);
    excluding.erase(left);
    EXPECT_EQ(keys(tally({Moment::onBreak, 0}, excluding, 200)), std::set<std::string>{left});
  }
  // With every candidate excluded the exclusion is ignored.
  EXPECT_EQ(keys(tally({Moment::onBreak, 0}, breakSet)), breakSet);
}

TEST(EncouragementLibrary, ProgressLineOnlyAfterTwoSessionsAndNotWhenExcluded) {
  const std::string progress(EncouragementLibrary::progressID);
  for (int completed : {-1, 0, 1}) {
    EXPECT_FALSE(tally({Moment::idle, completed}, {}).contains(progress)) << completed;
  }
  EXPECT_FALSE(tally({Moment::onBreak, 12}, {progress}).contains(progress));
  for (Moment moment : {Moment::idle, Moment::onBreak}) {
    const int draws = 4000;
    const int count = tally({moment, 2}, {}, draws)[progress];
    EXPECT_NEAR(count, draws / 4, draws / 4 * 0.15) << "about one time in four";
  }
}

}  // namespace
}  // namespace vorlane
