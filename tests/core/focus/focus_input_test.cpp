#include "core/focus/focus_input.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// A woman with a skin-tone modifier, ZWJ, laptop: one character, 15 bytes.
const std::string technologist = "\U0001F469\U0001F3FD\u200D\U0001F4BB";

TEST(FocusInput, CleanedCollapsesWhiteSpace) {
  struct Row {
    const char* name;
    std::string input;
    std::string expected;
  };
  const Row rows[] = {
      {"plain", "write report", "write report"},
      {"mixed runs", "  write\n\nthe   report\t", "write the report"},
      {"only white space", " \t\r\n\u00A0\u3000", ""},
      {"empty", "", ""},
      {"crlf is one separator", "a\r\nb", "a b"},
      {"no-break space and ideographic space separate", "a\u00A0b\u3000c", "a b c"},
      {"line, paragraph separators and next line separate", "a\u2028b\u2029c\u0085d", "a b c d"},
      {"zero-width space does not separate", "a\u200Bb", "a\u200Bb"},
      {"byte order mark does not separate", "a\uFEFFb", "a\uFEFFb"},
      {"blank carrying a combining mark goes whole", "a \u0301b", "a b"},
      {"combining mark on a letter stays", " e\u0301 ", "e\u0301"},
      {"vertical tab and form feed", "\va\fb\v", "a b"},
      {"invalid utf-8 replaced", "a\xFF b", "a\uFFFD b"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FocusInput::cleaned(row.input), row.expected) << row.name;
  }
}

TEST(FocusInput, GoalLengthCountsCharactersNotBytes) {
  const std::string emoji120 = repeated(technologist, 120);
  ASSERT_EQ(emoji120.size(), 1800u);
  struct Row {
    const char* name;
    std::string input;
    bool valid;
  };
  const Row rows[] = {
      {"empty", "", false},
      {"white space only", " \n\t\u00A0", false},
      {"one character", "x", true},
      {"120 letters", std::string(120, 'a'), true},
      {"121 letters", std::string(121, 'a'), false},
      {"120 emoji with modifiers", emoji120, true},
      {"121 emoji with modifiers", emoji120 + technologist, false},
      {"120 letters with combining marks", repeated("e\u0301", 120), true},
      {"121 letters with combining marks", repeated("e\u0301", 121), false},
      {"120 flags", repeated("\U0001F1EB\U0001F1F7", 120), true},
      // 40 words, 120 characters once cleaned, 80 white-space characters more before it.
      {"120 after cleaning with 80 surplus blanks",
       std::string(20, ' ') + repeated("ab\n\n", 39) + "abc" + std::string(21, '\t'), true},
      {"121 after cleaning", repeated("ab  ", 40) + "a", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FocusInput::isValidGoal(row.input), row.valid) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
