#include "core/productivity/quick_command.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace vorlane {

namespace {

using Q = QuickCommand;
using E = QuickCommand::Error::Case;

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// The command a line gives, or the error it is refused with.
std::variant<Q, E> outcome(const std::string& line) {
  try {
    return Q::parse(line);
  } catch (const Q::Error& error) {
    return error.value();
  }
}

TEST(QuickCommand, ParsesEachLineOrRefusesItWithTheRightError) {
  const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";  // one character
  struct Row {
    const char* name;
    std::string line;
    std::variant<Q, E> expected;
  };
  const Row rows[] = {
      {"pause in capitals, padded", "  PAUSE \n", Q::pause()},
      {"stop", "Stop", Q::stop()},
      {"resume between tabs", "\tresume\t", Q::resume()},
      {"pause with a rest", "pause now", E::help},
      {"empty line", "", E::help},
      {"blank line", " \u3000\n", E::help},
      {"focus alone", "focus", E::help},
      {"remind alone", "remind", E::help},
      {"unknown keyword", "hello there", E::help},
      {"no white space, only a zero-width space", "focus\u200Bplan", E::help},
      {"trailing blank with a combining mark", "focus \u0301", E::help},

      {"goal without length", "focus write report", Q::focus(std::nullopt, "write report")},
      {"length and goal ignore keyword case", "FOCUS 25M Write   report",
       Q::focus(25, "Write report")},
      {"longest length", "focus 90m x", Q::focus(90, "x")},
      {"shortest length", "focus 1m x", Q::focus(1, "x")},
      {"leading zero", "focus 025m x", Q::focus(25, "x")},
      {"zero minutes", "focus 0m x", E::duration},
      {"too many minutes", "focus 91m x", E::duration},
      {"negative minutes", "focus -5m x", E::duration},
      {"sign only", "focus -m x", E::duration},
      {"overflowing number", "focus 99999999999999999999m x", E::duration},
      {"number without m", "focus 25 x", E::duration},
      {"min instead of m", "focus 25min x", E::duration},
      {"ordinal", "focus 2nd chapter", E::duration},
      {"bad length and no goal", "focus 0m", E::duration},
      {"Arabic-Indic digits", "focus \u0665\u0660m x", E::duration},
      {"CJK numeral", "focus \u4E09\u6708 plan", E::duration},
      {"vulgar fraction", "focus \u00BDm x", E::duration},
      {"digits after a letter stay in the goal", "focus x25m", Q::focus(std::nullopt, "x25m")},
      {"plus sign stays in the goal", "focus +25m x", Q::focus(std::nullopt, "+25m x")},
      {"minus sign U+2212 stays in the goal", "focus \u221225m x",
       Q::focus(std::nullopt, "\u221225m x")},
      {"length without goal", "focus 25m", E::goal},
      {"120 characters", "focus 5m " + repeated("a", 120), Q::focus(5, repeated("a", 120))},
      {"121 characters", "focus 5m " + repeated("a", 121), E::goal},
      {"120 wide characters", "focus " + repeated(family, 120),
       Q::focus(std::nullopt, repeated(family, 120))},
      {"121 wide characters", "focus " + repeated(family, 121), E::goal},
      {"odd white space between words", "focus\u2003write\u00A0\u2028report",
       Q::focus(std::nullopt, "write report")},
      {"CR LF and tab", "focus\r\n25m\tplan\r\n", Q::focus(25, "plan")},
      {"invalid UTF-8 kept as a replacement character", "focus \xff plan",
       Q::focus(std::nullopt, "\uFFFD plan")},

      {"reminder text", "remind in 40m stretch", Q::remind("in 40m stretch")},
      {"reminder after a run of blanks", "Remind   Call the office",
       Q::remind("Call the office")},
      {"reminder keeps case and inner spacing", "remind\u00A0\u3000 Call  MOM \n",
       Q::remind("Call  MOM")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto got = outcome(row.line);
    ASSERT_EQ(got.index(), row.expected.index()) << "command or error";
    if (const Q* command = std::get_if<Q>(&got)) {
      EXPECT_EQ(*command, std::get<Q>(row.expected));
    } else {
      EXPECT_EQ(std::get<E>(got), std::get<E>(row.expected));
    }
  }
}

TEST(QuickCommand, ErrorsCarryThePanelSentences) {
  struct Row {
    E value;
    const char* message;
  };
  const Row rows[] = {
      {E::help, "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop."},
      {E::goal, "Give your focus a goal of 1\u2013120 characters."},
      {E::duration,
       "Use a whole number of minutes from 1 to 90, such as focus 25m finish proposal."},
  };
  for (const Row& row : rows) {
    const Q::Error error(row.value);
    EXPECT_EQ(error.errorDescription(), row.message);
    EXPECT_STREQ(error.what(), row.message);
  }
}

}  // namespace
}  // namespace vorlane
