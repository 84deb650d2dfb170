#include "core/focus/focus_input.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/text_samples.h"

namespace vorlane {
namespace {

// A goal typed now needs something to see; a goal or title read back from disk only needs
// to be there and fit, so what an earlier version kept keeps loading.
TEST(FocusInput, ATypedGoalNeedsAVisibleCharacterAStoredOneOnlyText) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::string goal;
    bool typed;
    bool stored;
  } rows[] = {
      {"empty", "", false, false},
      {"only spaces", "  \t\n\u00A0\u3000", false, false},
      {"NUL", "\0"s, false, true},
      {"NULs around a space", "\0 \0"s, false, true},
      {"control characters", "\x01\x1B\x7F"s, false, true},
      {"zero-width spaces", "\u200B\u200B", false, true},
      {"joiners and a word joiner", "\u200C\u200D\u2060", false, true},
      {"a byte order mark", "\uFEFF", false, true},
      {"soft hyphen and bidi marks", "\u00AD\u200E\u200F", false, true},
      {"a letter among them", "\u200Bx\u200B", true, true},
      {"a lone combining mark", "\u0301", true, true},
      {"an emoji", "\U0001F4DD", true, true},
      {"invalid UTF-8 shows a replacement", "\xFF", true, true},
      {"121 zero-width spaces", repeated("\u200B", 121), false, false},
      {"120 letters", std::string(120, 'x'), true, true},
      {"121 letters", std::string(121, 'x'), false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FocusInput::isValidGoal(row.goal), row.typed);
    EXPECT_EQ(FocusInput::isStoredGoal(row.goal), row.stored);
    // Cleaning first, as every caller does, judges the same.
    EXPECT_EQ(FocusInput::isValidGoal(FocusInput::cleaned(row.goal)), row.typed);
  }
}

}  // namespace
}  // namespace vorlane
