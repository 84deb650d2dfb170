#include "foundation/text.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
const std::string thumbsUpMediumSkin = "\U0001F44D\U0001F3FD";
const std::string frenchFlag = "\U0001F1EB\U0001F1F7";
const std::string replacement = "\uFFFD";

TEST(Text, CountsUserPerceivedCharacters) {
  struct Row {
    const char* name;
    std::string text;
    std::size_t expected;
  };
  const Row rows[] = {
      {"empty", "", 0},
      {"ascii", "Stand up", 8},
      {"CR LF is one character", "a\r\nb", 3},
      {"lone CR and LF are two", "\n\r", 2},
      {"precomposed e acute", "caf\u00e9", 4},
      {"e plus combining acute", "cafe\u0301", 4},
      {"two combining marks on one letter", "a\u0301\u0323", 1},
      {"family emoji", family, 1},
      {"skin-tone modifier", thumbsUpMediumSkin + "!", 2},
      {"flag", frenchFlag + frenchFlag, 2},
      {"Hangul jamo syllable", "\u1100\u1161\u11A8", 1},
      {"invalid byte becomes one replacement", "a\xFF" "b", 3},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(graphemeCount(row.text), row.expected) << row.name;
    EXPECT_EQ(graphemeCount(toUnicode(row.text)), row.expected) << row.name;
  }
}

TEST(Text, PrefixNeverSplitsACharacter) {
  EXPECT_EQ(graphemePrefix("cafe\u0301 au lait", 4), "cafe\u0301");
  EXPECT_EQ(graphemePrefix(family + "x", 1), family);
  EXPECT_EQ(graphemePrefix("a\r\nb", 2), "a\r\n");
  EXPECT_EQ(graphemePrefix("abc", 0), "");
  EXPECT_EQ(graphemePrefix("ab" + frenchFlag, 10), "ab" + frenchFlag);
}

TEST(Text, WhiteSpaceIsTheUnicodeProperty) {
  for (char32_t in : {U'\t', U'\n', U'\v', U'\f', U'\r', U' ', U'\u0085', U'\u00A0', U'\u1680',
                      U'\u2000', U'\u200A', U'\u2028', U'\u2029', U'\u202F', U'\u205F', U'\u3000'}) {
    EXPECT_TRUE(isWhiteSpace(in)) << std::hex << static_cast<unsigned>(in);
  }
  for (char32_t out : {U'a', U'\u200B', U'\u180E', U'\uFEFF', U'\u001C', U'\u0000', U'\u00AD'}) {
    EXPECT_FALSE(isWhiteSpace(out)) << std::hex << static_cast<unsigned>(out);
  }
}

TEST(Text, TrimsWhiteSpaceFromBothEndsOnly) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  };
  const Row rows[] = {
      {"ascii", " \t hello world \r\n", "hello world"},
      {"no-break and ideographic spaces", "\u00A0\u3000hi\u0085", "hi"},
      {"zero-width space is not white space", "\u200Bhi\u200B", "\u200Bhi\u200B"},
      {"inner spacing kept", "a  \n b", "a  \n b"},
      {"only white space", " \u2028\t", ""},
      {"combining mark after a space stays", "hi \u0301", "hi \u0301"},
      {"invalid bytes replaced", " \xC3 ", replacement},
  };
  for (const Row& row : rows) EXPECT_EQ(trimmed(row.text), row.expected) << row.name;
}

TEST(Text, SplitsWordsAtWhiteSpaceCharacters) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"runs and ends", "  one\n\ntwo   three\t", {"one", "two", "three"}},
      {"no-break space separates", "in\u00A025m", {"in", "25m"}},
      {"zero-width space joins", "a\u200Bb c", {"a\u200Bb", "c"}},
      {"a space carrying a mark is one white-space character", "a \u0301b", {"a", "b"}},
      {"emoji words", family + " " + frenchFlag, {family, frenchFlag}},
      {"only white space", "\r\n \u3000", {}},
      {"empty", "", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(words(row.text), row.expected) << row.name;
  EXPECT_EQ(collapsedWhiteSpace("  one\n\ntwo   three\t"), "one two three");
  EXPECT_EQ(collapsedWhiteSpace("\u00A0caf\u00e9\u2029 au  lait "), "caf\u00e9 au lait");
  EXPECT_EQ(collapsedWhiteSpace(" \t\n"), "");
}

TEST(Text, ComparesByCanonicalCharacters) {
  struct Row {
    const char* name;
    std::string a;
    std::string b;
    bool same;
  };
  const Row rows[] = {
      {"precomposed and combining", "caf\u00e9", "cafe\u0301", true},
      {"angstrom sign and A ring", "\u212B", "\u00C5", true},
      {"mark order of distinct classes", "a\u0301\u0323", "a\u0323\u0301", true},
      {"ascii equal", "standup", "standup", true},
      {"ascii differs", "standup", "Standup", false},
      {"accent differs", "cafe", "caf\u00e9", false},
      {"compatibility-only ligature", "\uFB01", "fi", false},
  };
  for (const Row& row : rows) EXPECT_EQ(sameCharacters(row.a, row.b), row.same) << row.name;
}

TEST(Text, LowercasesWithoutLocaleRules) {
  EXPECT_EQ(lowercased("WEEKDAYS 9:30AM"), "weekdays 9:30am");
  EXPECT_EQ(lowercased("\u00C0BC \u0391"), "\u00E0bc \u03B1");
  EXPECT_EQ(lowercased("I"), "i");                    // not Turkish dotless i
  EXPECT_EQ(lowercased("\u0130"), "i\u0307");          // capital I with dot, root rules
}

TEST(Text, ReplacesInvalidUtf8) {
  EXPECT_EQ(validUtf8("plain caf\u00e9"), "plain caf\u00e9");
  EXPECT_EQ(validUtf8("a\xFF" "b"), "a" + replacement + "b");
  EXPECT_EQ(validUtf8("\xE2\x82"), replacement);  // a truncated sequence
  EXPECT_EQ(validUtf8("\xED\xA0\x80"), replacement + replacement + replacement);  // a surrogate
  EXPECT_EQ(validUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(toUtf8(icu::UnicodeString(static_cast<UChar>(0xD800))), replacement);
  EXPECT_EQ(toUtf8(toUnicode("caf\u00e9 \U0001F600")), "caf\u00e9 \U0001F600");
}

}  // namespace
}  // namespace vorlane
