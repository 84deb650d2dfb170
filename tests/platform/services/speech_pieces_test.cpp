#include "platform/services/speech_pieces.h"

#include <gtest/gtest.h>

#include "foundation/text.h"

namespace vorlane {
namespace {

using Pieces = std::vector<std::string>;

TEST(SpeechPieces, SplitsSentencesThenLongSentencesBetweenWordsThenLongWords) {
  struct Row {
    const char* name;
    std::string text;
    std::size_t maxBytes;
    Pieces expected;
  };
  const Row rows[] = {
      {"one short sentence", "Water the plants", 40, {"Water the plants"}},
      {"sentences apart",
       "Stand up. Drink water! Why not?  ",
       40,
       {"Stand up.", "Drink water!", "Why not?"}},
      {"blank", " \n\t ", 40, {}},
      {"nothing", "", 40, {}},
      {"a long sentence between words",
       "one two three four five six",
       10,
       {"one two", "three four", "five six"}},
      {"a word exactly at the limit", "abcdefghij klm", 10, {"abcdefghij", "klm"}},
      {"a word over the limit", "abcdefghijkl mn", 5, {"abcde", "fghij", "kl mn"}},
      // Never through a character: "é" is two bytes.
      {"a long word of two-byte characters", "ééééé", 3, {"é", "é", "é", "é", "é"}},
      {"each line its own piece", "remind me\nto call\nmum", 40, {"remind me", "to call", "mum"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(speechPieces(row.text, row.maxBytes), row.expected) << row.name;
  }
}

// The typed reminder that froze the program: thousands of characters without a full stop.
TEST(SpeechPieces, AVeryLongTextKeepsEveryWordInOrderInSmallPieces) {
  std::string text = "remind me in 1m ";
  for (int i = 0; text.size() < 5000; ++i) text += "word" + std::to_string(i) + " ";
  const Pieces pieces = speechPieces(text);
  ASSERT_GT(pieces.size(), 20u);
  std::string joined;
  for (const std::string& piece : pieces) {
    EXPECT_LE(piece.size(), 240u);
    EXPECT_FALSE(piece.empty());
    joined += (joined.empty() ? "" : " ") + piece;
  }
  EXPECT_EQ(joined, collapsedWhiteSpace(text));
}

}  // namespace
}  // namespace vorlane
