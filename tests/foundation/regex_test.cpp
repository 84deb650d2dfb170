#include "foundation/regex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace vorlane {
namespace {

TEST(Regex, MatchesEndingOrStartingInsideACharacterCountAsNone) {
  struct Row {
    const char* name;
    const char* pattern;
    std::string text;
    int32_t expectedStart;  // -1: no match
  };
  const Row rows[] = {
      {"skips the e carrying an accent, finds the next", "e", "cafe\u0301 bike", 9},
      {"a letter whose mark follows is cut", "cafe", "cafe\u0301", -1},
      {"a lone combining mark starts inside", "\u0301", "cafe\u0301", -1},
      {"one person of a family emoji", "\U0001F468", "\U0001F468\u200D\U0001F469", -1},
      {"the whole family emoji", "\U0001F468\u200D\U0001F469", "hi \U0001F468\u200D\U0001F469", 3},
      {"CR of a CR LF pair", "\r", "a\r\nb", -1},
      {"the CR LF pair", "\r\n", "a\r\nb", 1},
      {"digits cut by a keycap mark, then whole ones", R"(\d+)", "1\u20E3 at 42", 6},
  };
  for (const Row& row : rows) {
    const MatchText text(row.text);
    const std::optional<RegexMatch> match = Regex(row.pattern).firstMatch(text);
    EXPECT_EQ(match ? match->whole.start : -1, row.expectedStart) << row.name;
  }
}

TEST(Regex, BoundariesOfPlainAndCombinedText) {
  const MatchText ascii("ab c");
  for (int32_t offset = 0; offset <= ascii.length(); ++offset) EXPECT_TRUE(ascii.isBoundary(offset));
  EXPECT_FALSE(ascii.isBoundary(-1));
  EXPECT_FALSE(ascii.isBoundary(5));

  const MatchText combined("e\u0301\U0001F600");  // UTF-16: e, U+0301, two surrogates
  const bool expected[] = {true, false, true, false, true};
  for (int32_t offset = 0; offset < 5; ++offset) {
    EXPECT_EQ(combined.isBoundary(offset), expected[offset]) << offset;
  }
  EXPECT_EQ(combined.utf8(0, 2), "e\u0301");
  EXPECT_EQ(combined.utf8(-3, 99), "e\u0301\U0001F600");
}

TEST(Regex, GroupsReportTheirRangesAndText) {
  const MatchText text("remind me at 9:30 to stretch");
  const std::optional<RegexMatch> match =
      Regex(R"((?i)\bat\s+(\d{1,2})(?::(\d{2}))?\s*(am|pm)?)").firstMatch(text);
  ASSERT_TRUE(match);
  EXPECT_EQ(match->groups.size(), 3u);
  EXPECT_EQ(match->groupText(text, 1), "9");
  EXPECT_EQ(match->groupText(text, 2), "30");
  EXPECT_TRUE(match->groupOnBoundaries(text, 2));
  EXPECT_FALSE(match->groupMatched(3));
  EXPECT_FALSE(match->groupOnBoundaries(text, 3));
  EXPECT_EQ(match->groupText(text, 3), "");
  EXPECT_FALSE(match->groupMatched(4));
  EXPECT_EQ(match->groupText(text, 0), "at 9:30 ");
}

TEST(Regex, UnicodeAwareClassesAndCaseFolding) {
  EXPECT_TRUE(Regex(R"(^in\s25m$)").matches(MatchText("in\u00A025m")));
  EXPECT_TRUE(Regex(R"((?i)^PM$)").matches(MatchText("pm")));
  EXPECT_TRUE(Regex(R"((?i)^s$)").matches(MatchText("\u017F")));  // long s folds to s
  EXPECT_FALSE(Regex(R"(^\bpm\b)").matches(MatchText("pm\u0301")));
}

TEST(Regex, NonAsciiDigitsMatchButYieldNoNumber) {
  for (const char* digits : {"\u0663", "\uFF11\uFF12", "\u0967\u0966"}) {  // Arabic-Indic, fullwidth, Devanagari
    const MatchText text(std::string("in ") + digits + " min");
    const std::optional<RegexMatch> match = Regex(R"(in (\d+) min)").firstMatch(text);
    ASSERT_TRUE(match) << digits;
    EXPECT_FALSE(parseAsciiInteger(match->groupText(text, 1))) << digits;
  }
}

TEST(Regex, AllMatchesInOrderWithoutLoopingOnEmptyOnes) {
  const MatchText text("1 22 333");
  std::vector<std::string> found;
  for (const RegexMatch& match : Regex(R"(\d+)").allMatches(text)) {
    found.push_back(match.groupText(text, 0));
  }
  EXPECT_EQ(found, (std::vector<std::string>{"1", "22", "333"}));
  EXPECT_EQ(Regex("x*").allMatches(MatchText("ab")).size(), 3u);
  EXPECT_EQ(Regex("e").allMatches(MatchText("e\u0301e")).size(), 1u);
}

TEST(Regex, SearchStartsAtTheGivenOffset) {
  const MatchText text("9 and 10");
  const Regex digits(R"(\d+)");
  EXPECT_EQ(digits.firstMatch(text, 1)->whole.start, 6);
  EXPECT_FALSE(digits.firstMatch(text, 9));
  EXPECT_FALSE(digits.firstMatch(text, -1));
}

TEST(Regex, PrefixMatchTreatsTheOffsetAsTheTextStart) {
  const Regex filler(R"((?i)^(at|to)\b\s*)");
  struct Row {
    const char* name;
    std::string text;
    int32_t from;
    int32_t expectedEnd;  // -1: no match
  };
  const Row rows[] = {
      {"at the start", "at 4pm", 0, 3},
      {"further on, ^ holds at the offset", "say to mom", 4, 7},
      {"nothing before the offset is seen by \\b", "xto mom", 1, 4},
      {"not at the offset itself", "say to mom", 3, -1},
      {"a word going on is no match", "tomorrow", 0, -1},
      {"the end inside a character", "to\u00A0\u0301x", 0, -1},
      {"past the end", "to", 3, -1},
      {"before the start", "to", -1, -1},
  };
  for (const Row& row : rows) {
    const MatchText text(row.text);
    const std::optional<RegexMatch> match = filler.prefixMatch(text, row.from);
    EXPECT_EQ(match ? match->whole.end : -1, row.expectedEnd) << row.name;
  }
}

TEST(Regex, OneCompiledPatternServesManyTextsAndThreads) {
  const Regex time(R"(\b(\d{1,2}):(\d{2})\b)");
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        const std::string hour = std::to_string((t * 7 + i) % 24);
        const MatchText text("call at " + hour + ":05 today");
        const std::optional<RegexMatch> match = time.firstMatch(text);
        if (!match || match->groupText(text, 1) != hour || time.firstMatch(MatchText("none"))) {
          ++wrong;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(Regex, BadPatternsThrowAndMovedRegexesStillMatch) {
  EXPECT_THROW(Regex("(unclosed"), std::invalid_argument);
  EXPECT_THROW(Regex(R"(\)"), std::invalid_argument);
  Regex moved = Regex("b+");
  Regex target("x");
  target = std::move(moved);
  EXPECT_TRUE(target.matches(MatchText("abba")));
}

TEST(Regex, ParsesAsciiIntegersOnly) {
  struct Row {
    const char* text;
    std::optional<std::int64_t> expected;
  };
  const Row rows[] = {
      {"42", 42},          {"-7", -7},           {"007", 7},
      {"9223372036854775807", INT64_MAX},        {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", std::nullopt},     {"", std::nullopt},
      {"-", std::nullopt}, {"+5", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt},
      {"1.5", std::nullopt}, {"0x10", std::nullopt}, {"\u0663", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(parseAsciiInteger(row.text), row.expected) << row.text;
}

}  // namespace
}  // namespace vorlane
