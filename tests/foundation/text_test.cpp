#include <gtest/gtest.h>

#include <string>

#include "foundation/text.h"

namespace vorlane {
namespace {

TEST(Text, LowercasesEachCodePointWithoutContextOrLocale) {
  struct Row {
    const char* name;
    std::string text;
    std::string lower;
  };
  const Row rows[] = {
      {"ascii", "Write REPORT", "write report"},
      // Whole-string lower-casing would give a final sigma (U+03C2).
      {"final sigma", "\u039F\u0394\u039F\u03A3", "\u03BF\u03B4\u03BF\u03C3"},
      // The full mapping of capital I with dot: i and a combining dot, not Turkish i.
      {"dotted capital i", "\u0130", "i\u0307"},
      {"invalid byte", "A\xFF", "a\uFFFD"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(lowercased(row.text), row.lower);
  }
}

TEST(Text, ComposedGivesOneFormForTheSameCharacters) {
  EXPECT_EQ(composed("Cafe\u0301"), "Caf\u00E9");
  EXPECT_EQ(composed("Caf\u00E9"), "Caf\u00E9");
  EXPECT_EQ(composed("plain"), "plain");
}

}  // namespace
}  // namespace vorlane
