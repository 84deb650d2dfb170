// A reminder holding members a later version wrote (or a hostile file), hundreds of thousands
// of them: the first save, the one that forgets an expired reminder beside it, carries every
// one of them over, and the program still ends when asked.
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "core/reminders/reminder.h"
#include "foundation/json.h"
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

// Members "k0" to "k<count - 1>" to close an object with: numbers, and now and then an object
// and an array, so that what is carried over is more than a number.
std::string unknownMembers(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const std::string number = std::to_string(i);
    text += ",\"k" + number + "\":";
    text += i % 1000 == 999 ? R"({"kept":[)" + number + R"(,"x"]})" : number;
  }
  return text + "}";
}

class UnknownMembers : public Scenario, public ::testing::WithParamInterface<int> {};

TEST_P(UnknownMembers, TheFirstSaveKeepsEveryOneAndTheProgramEndsWhenAsked) {
  startDesktop({.compositor = false});
  seedPreferences();
  const Date yesterday = Date::fromUnix(double(at("09:00:00") - 86'400));
  const Reminder daily(UUID::random(), "stretch",
                       VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 18, 0)),
                       yesterday);
  const Reminder expired(UUID::random(), "call the bakery", VisitTrigger::oneOff(yesterday),
                         yesterday);
  std::string dailyText = json::dump(daily.toJson());
  dailyText.pop_back();
  dailyText += unknownMembers(GetParam());
  const std::string before = "[" + dailyText + "," + json::dump(expired.toJson()) + "]";
  testing::writeFile(program->remindersFile(), before);

  launch(at("09:00:00"));
  // The save replaces the file: a shorter one, without the expired reminder.
  const auto saved = [&] {
    std::error_code missing;
    const auto size = std::filesystem::file_size(program->remindersFile(), missing);
    return !missing && size != before.size();
  };
  ASSERT_TRUE(testing::waitUntil(saved, 60s)) << "not saved within a minute of the start";
  const std::string after = testing::readFile(program->remindersFile()).value_or("");
  const Json stored = json::parse(after);
  ASSERT_TRUE(stored.is_array());
  ASSERT_EQ(stored.size(), 1u) << "the expired reminder is still stored";
  // Every member, in its place and with its value.
  const Json expected = json::parse(dailyText);
  EXPECT_EQ(stored[0].size(), expected.size());
  EXPECT_TRUE(stored[0] == expected) << "the stored reminder changed";

  const auto ended = program->stop(SIGTERM);
  ASSERT_TRUE(ended) << "SIGTERM did not end the program";
  EXPECT_TRUE(WIFEXITED(*ended));
  EXPECT_EQ(testing::readFile(program->remindersFile()), after) << "saved again at the end";
}

// Five thousand were saved five seconds after the start before the carrying over was made
// linear: the control for three hundred thousand.
INSTANTIATE_TEST_SUITE_P(Reminders, UnknownMembers, ::testing::Values(5'000, 300'000),
                         [](const auto& info) { return std::to_string(info.param) + "Members"; });

}  // namespace
}  // namespace vorlane::e2e
