#include "bench/tray_driver_command.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Verb = TrayDriverCommand::Verb;
using testing::TrayMenuEntry;

struct CommandRow {
  const char* name;
  const char* line;
  std::optional<Verb> verb;  // none: the line is refused
  std::vector<std::string> path;
};

class TrayDriverCommandLines : public ::testing::TestWithParam<CommandRow> {};

TEST_P(TrayDriverCommandLines, ReadAsTheDriverAnswersThem) {
  const CommandRow& row = GetParam();
  const auto command = parseTrayDriverCommand(row.line);
  ASSERT_EQ(command.has_value(), row.verb.has_value()) << row.line;
  if (!command) return;
  EXPECT_EQ(command->verb, *row.verb);
  EXPECT_EQ(command->path, row.path);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TrayDriverCommandLines,
    ::testing::Values(
        CommandRow{"wait", "wait", Verb::wait, {}},
        CommandRow{"labelsWithLineEnd", "labels\r\n", Verb::labels, {}},
        CommandRow{"oneLabel", "choose Preferences...", Verb::choose, {"Preferences..."}},
        CommandRow{"labelWithBlanks", "choose  About Vorlane ", Verb::choose, {"About Vorlane"}},
        CommandRow{"pathOfTwo",
                   "choose Plan & reflect > Focus history…",
                   Verb::choose,
                   {"Plan & reflect", "Focus history…"}},
        CommandRow{"prefixLabel", "choose Mascot > Appear*", Verb::choose, {"Mascot", "Appear*"}},
        CommandRow{"greaterThanInsideALabel", "choose a>b", Verb::choose, {"a>b"}},
        CommandRow{"greaterThanStartingAWord", "choose Go >on", Verb::choose, {"Go >on"}},
        CommandRow{"chooseWithoutPath", "choose", std::nullopt, {}},
        CommandRow{"chooseOnlyBlanks", "choose   ", std::nullopt, {}},
        CommandRow{"emptyStep", "choose Mascot >  > Move left", std::nullopt, {}},
        CommandRow{"trailingSeparator", "choose Mascot > ", std::nullopt, {}},
        CommandRow{"verbGluedToLabel", "chooseAbout", std::nullopt, {}},
        CommandRow{"unknownVerb", "click About", std::nullopt, {}},
        CommandRow{"empty", "", std::nullopt, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TrayMenuEntry entry(int id, std::string label, bool enabled, std::optional<size_t> parent) {
  return TrayMenuEntry{.id = id, .label = std::move(label), .enabled = enabled, .parent = parent};
}

// Root, "Preferences...", a disabled "About Vorlane", and "Mascot" with "Appearance…" below.
std::vector<TrayMenuEntry> menu() {
  return {entry(0, "", true, std::nullopt), entry(4, "Preferences...", true, 0),
          entry(5, "About Vorlane", false, 0), entry(7, "Mascot", true, 0),
          entry(9, "Appearance…", true, 3)};
}

struct ReplyRow {
  const char* name;
  std::vector<std::string> path;
  const char* reply;
};

class TrayDriverReplies : public ::testing::TestWithParam<ReplyRow> {};

TEST_P(TrayDriverReplies, NameTheEntryToClickOrWhyNot) {
  EXPECT_EQ(trayChoiceReply(menu(), GetParam().path), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TrayDriverReplies,
    ::testing::Values(ReplyRow{"topEntry", {"Preferences..."}, "ok 4"},
                      ReplyRow{"entryBelowItsMenu", {"Mascot", "Appearance…"}, "ok 9"},
                      ReplyRow{"prefixBelowItsMenu", {"Mascot", "Appear*"}, "ok 9"},
                      ReplyRow{"disabledEntry", {"About Vorlane"}, "disabled About Vorlane"},
                      ReplyRow{"notBelowThatMenu",
                               {"Preferences...", "Appearance…"},
                               "missing Preferences... > Appearance…"},
                      ReplyRow{"unknownLabel", {"Quit"}, "missing Quit"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrayDriverLabels, ListOnlyTheEnabledEntriesThatHaveALabel) {
  EXPECT_EQ(enabledTrayLabels(menu()), "Preferences... | Mascot | Appearance…");
}

}  // namespace
}  // namespace vorlane
