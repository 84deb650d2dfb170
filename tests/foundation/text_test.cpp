#include "foundation/text.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
const std::string frenchFlag = "\U0001F1EB\U0001F1F7";
const std::string replacement = "\uFFFD";

TEST(Text, CountsUserPerceivedCharacters) {
  const std::pair<std::string, std::size_t> rows[] = {
      {"a\r\nb", 3},         // CR LF is one character
      {"caf\u00e9", 4},      // precomposed e acute
      {"cafe\u0301", 4},     // e plus combining acute
      {"a\u0301\u0323", 1},  // two combining marks on one letter
      {family, 1},
      {"\U0001F44D\U0001F3FD!", 2},  // skin-tone modifier
      {frenchFlag + frenchFlag, 2},
      {"a\xFF"
       "b",
       3},  // an invalid byte becomes one replacement
  };
  for (const auto& [text, expected] : rows) {
    EXPECT_EQ(graphemeCount(text), expected) << text;
    EXPECT_EQ(graphemeCount(toUnicode(text)), expected) << text;
  }
  EXPECT_EQ(graphemePrefix("cafe\u0301 au lait", 4), "cafe\u0301");
  EXPECT_EQ(graphemePrefix(family + "x", 1), family);
}

TEST(Text, OneLineKeepsAFixedLengthWithAnEllipsis) {
  const std::string arabic = "\u0627\u062C\u062A\u0645\u0627\u0639";  // six letters
  const struct {
    const char* name;
    std::string text;
    std::size_t count;
    std::string expected;
  } rows[] = {
      {"short stays", "Call Mo", 10, "Call Mo"},
      {"exactly the count stays", "abcde", 5, "abcde"},
      {"one over is cut", "abcdef", 5, "abcd\u2026"},
      {"line breaks become spaces", "buy\nmilk\r\n  now", 40, "buy milk now"},
      {"no space before the ellipsis", "ab cdef", 4, "ab\u2026"},
      {"an unbroken word is cut", std::string(5000, 'W'), 3, "WW\u2026"},
      {"right-to-left letters count once", arabic + arabic, 4, arabic.substr(0, 6) + "\u2026"},
      {"a family emoji is one character", family + family + family, 2, family + "\u2026"},
      {"nothing for no room", "abc", 0, ""},
  };
  for (const auto& row : rows) EXPECT_EQ(oneLine(row.text, row.count), row.expected) << row.name;
}

TEST(Text, IsolatedWrapsTheTextInFirstStrongIsolates) {
  EXPECT_EQ(isolated("\u0627\u062C PM"), "\u2068\u0627\u062C PM\u2069");
  EXPECT_EQ(isolated(""), "\u2068\u2069");
  // An invalid byte must not swallow the closing mark.
  EXPECT_EQ(isolated("a\xC3"), "\u2068a\uFFFD\u2069");
}

TEST(Text, WhiteSpaceIsTheUnicodeProperty) {
  for (char32_t in : {U'\t', U'\v', U' ', U'\u0085', U'\u00A0', U'\u1680', U'\u2000', U'\u200A',
                      U'\u2028', U'\u202F', U'\u205F', U'\u3000'})
    EXPECT_TRUE(isWhiteSpace(in)) << std::hex << unsigned(in);
  for (char32_t out : {U'a', U'\u200B', U'\u180E', U'\uFEFF', U'\u001C', U'\u00AD'})
    EXPECT_FALSE(isWhiteSpace(out)) << std::hex << unsigned(out);
}

TEST(Text, OnlyCharactersThatShowAreVisible) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string text;
    bool visible;
  } rows[] = {
      {"empty", "", false},
      {"NULs", "\0\0\0"s, false},
      {"controls and white space", "\x01\x1F\x7F \t\u0085\u3000", false},
      {"zero-width and format", "\u200B\u200C\u200D\u2060\uFEFF\u00AD\u2066", false},
      {"fillers and selectors", "\u3164\u115F\uFE0F\U000E0001", false},
      {"a letter among NULs", "\0a\0"s, true},
      {"a lone combining mark", "\u0301", true},
      {"an emoji", "\U0001F412", true},
      {"private use", "\uE000", true},
      {"unassigned", "\U00050000", true},
      {"invalid UTF-8 shows its replacement", "\xC3", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(hasVisibleCharacter(row.text), row.visible) << row.name;
    EXPECT_EQ(hasVisibleCharacter(toUnicode(row.text)), row.visible) << row.name;
  }
}

TEST(Text, TrimsSplitsAndCollapsesAtWhiteSpaceCharacters) {
  EXPECT_EQ(trimmed(" \t hello  \n world \r\n"), "hello  \n world");
  EXPECT_EQ(trimmed("\u00A0\u3000hi\u0085"), "hi");
  EXPECT_EQ(trimmed("\u200Bhi\u200B"), "\u200Bhi\u200B");  // zero-width space is not white space
  EXPECT_EQ(trimmed("hi \u0301"), "hi \u0301");            // a combining mark after a space stays
  EXPECT_EQ(trimmed(" \xC3 "), replacement);
  EXPECT_EQ(words("  one\n\ntwo\u00A0three\t"), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(words("a\u200Bb \u0301c"), (std::vector<std::string>{"a\u200Bb", "c"}));
  EXPECT_EQ(words(family + " " + frenchFlag), (std::vector<std::string>{family, frenchFlag}));
  EXPECT_EQ(words("\r\n \u3000"), std::vector<std::string>{});
  EXPECT_EQ(collapsedWhiteSpace("\u00A0caf\u00e9\u2029 au  lait "), "caf\u00e9 au lait");
}

TEST(Text, ComparesByCanonicalCharactersAndLowercasesWithoutLocaleRules) {
  EXPECT_TRUE(sameCharacters("caf\u00e9", "cafe\u0301"));
  EXPECT_TRUE(sameCharacters("a\u0301\u0323", "a\u0323\u0301"));  // mark order of distinct classes
  EXPECT_FALSE(sameCharacters("standup", "Standup"));
  EXPECT_FALSE(sameCharacters("\uFB01", "fi"));  // compatibility-only ligature
  EXPECT_EQ(lowercased("WEEKDAYS 9:30AM \u00C0 \u0391 I"),
            "weekdays 9:30am \u00E0 \u03B1 i");  // not Turkish
  EXPECT_EQ(lowercased("\u0130"), "i\u0307");    // capital I with dot, root rules
}

TEST(Text, ReplacesInvalidUtf8) {
  EXPECT_EQ(validUtf8("a\xFF"
                      "b"),
            "a" + replacement + "b");
  EXPECT_EQ(validUtf8("\xE2\x82"), replacement);  // a truncated sequence
  EXPECT_EQ(validUtf8("\xED\xA0\x80"), replacement + replacement + replacement);  // a surrogate
  EXPECT_EQ(validUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(toUtf8(icu::UnicodeString(static_cast<UChar>(0xD800))), replacement);
}

}  // namespace
}  // namespace vorlane
