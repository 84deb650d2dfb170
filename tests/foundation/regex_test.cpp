#include "foundation/regex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace vorlane {
namespace {

TEST(Regex, MatchesEndingOrStartingInsideACharacterCountAsNone) {
  // name, pattern, text, start of the match found (-1: none)
  const std::tuple<const char*, const char*, std::string, int32_t> rows[] = {
      // Regression: a cut first match used to be passed over for a later one.
      {"the e carrying an accent, never the next one", "e", "cafe\u0301 bike", -1},
      {"a letter whose mark follows is cut", "cafe", "cafe\u0301", -1},
      {"a lone combining mark starts inside", "\u0301", "cafe\u0301", -1},
      {"one person of a family emoji", "\U0001F468", "\U0001F468\u200D\U0001F469", -1},
      {"the whole family emoji", "\U0001F468\u200D\U0001F469", "hi \U0001F468\u200D\U0001F469", 3},
      {"CR of a CR LF pair", "\r", "a\r\nb", -1},
      {"digits cut by a keycap mark, never the whole ones after", R"(\d+)", "1\u20E3 at 42", -1},
      {"a whole first match", R"(\d+)", "at 42 1\u20E3", 3},
  };
  for (const auto& [name, pattern, text, start] : rows) {
    const std::optional<RegexMatch> match = Regex(pattern).firstMatch(MatchText(text));
    EXPECT_EQ(match ? match->whole.start : -1, start) << name;
  }
  const std::vector<RegexMatch> all = Regex("e").allMatches(MatchText("e\u0301e e"));
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].whole.start, 2);
  EXPECT_FALSE(Regex("e").firstMatch(MatchText("xe\u0301e"), 1));
  EXPECT_EQ(Regex("e").firstMatch(MatchText("xe\u0301e"), 3).value().whole.start, 3);
  const MatchText combined("e\u0301\U0001F600");  // UTF-16: e, U+0301, two surrogates
  for (int32_t offset = -1; offset < 6; ++offset) {
    EXPECT_EQ(combined.isBoundary(offset), offset == 0 || offset == 2 || offset == 4) << offset;
  }
}

TEST(Regex, GroupsOffsetsAndUnicodeAwareClasses) {
  const MatchText text("remind me at 9:30 to stretch at 10");
  const std::optional<RegexMatch> match =
      Regex(R"((?i)\bat\s+(\d{1,2})(?::(\d{2}))?\s*(am|pm)?)").firstMatch(text);
  ASSERT_TRUE(match);
  EXPECT_EQ(
      match->groupText(text, 0) + "|" + match->groupText(text, 1) + "|" + match->groupText(text, 2),
      "at 9:30 |9|30");
  EXPECT_FALSE(match->groupMatched(3));
  EXPECT_EQ(Regex(R"(\d+)").allMatches(text).size(), 3u);
  EXPECT_EQ(Regex(R"(\d+)").firstMatch(text, 17).value().whole.start, 32);
  EXPECT_FALSE(Regex(R"(\d+)").firstMatch(text, 99));
  EXPECT_EQ(Regex("x*").allMatches(MatchText("ab")).size(), 3u);  // empty matches do not loop
  EXPECT_TRUE(Regex(R"(^in\s25m$)").matches(MatchText("in\u00A025m")));
  EXPECT_TRUE(Regex(R"((?i)^s$)").matches(MatchText("\u017F")));  // long s folds to s
  EXPECT_FALSE(Regex(R"(^\bpm\b)").matches(MatchText("pm\u0301")));
  EXPECT_THROW(Regex("(unclosed"), std::invalid_argument);
}

TEST(Regex, NonAsciiDigitsMatchButYieldNoNumber) {
  // Arabic-Indic, fullwidth, Devanagari
  for (const char* digits : {"\u0663", "\uFF11\uFF12", "\u0967\u0966"}) {
    const MatchText text(std::string("in ") + digits + " min");
    const std::optional<RegexMatch> match = Regex(R"(in (\d+) min)").firstMatch(text);
    ASSERT_TRUE(match) << digits;
    EXPECT_FALSE(parseAsciiInteger(match->groupText(text, 1))) << digits;
  }
  EXPECT_EQ(parseAsciiInteger("-007"), -7);
  EXPECT_EQ(parseAsciiInteger("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(parseAsciiInteger("-9223372036854775808"), INT64_MIN);
  for (const char* text : {"9223372036854775808", "", "-", "+5", " 5", "1.5"})
    EXPECT_FALSE(parseAsciiInteger(text)) << text;
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

}  // namespace
}  // namespace vorlane
