#include <gtest/gtest.h>

#include <string>

#include "core/reminders/reminder.h"
#include "core/reminders/reminder_parser.h"
#include "core/reminders/schedule_bounds.h"
#include "foundation/calendar.h"
#include "foundation/json.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

// A stored reminder with `trigger` (its JSON text) and `createdAt`.
std::string stored(const std::string& trigger, const std::string& createdAt = "0") {
  return R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":"p","trigger":)" + trigger +
         R"(,"createdAt":)" + createdAt + "}";
}

std::string recurring(const std::string& days, const std::string& hour, const std::string& minute) {
  return R"({"recurring":{"_0":{"days":)" + days + R"(,"hour":)" + hour + R"(,"minute":)" + minute +
         "}}}";
}

// The path of the field a stored reminder was refused for; "" when it decoded.
std::string refusedField(const std::string& text) {
  return thrown<DecodingError>([&] { Reminder::fromJson(JsonReader(json::parse(text))); },
                               [](const DecodingError& e) {
                                 EXPECT_EQ(e.kind(), DecodingError::Kind::dataCorrupted);
                                 return e.codingPath();
                               })
      .value_or("");
}

// A hand-edited value the program never writes does not decode: "minute": -1 showed
// "daily at 9:-1 AM", a one-off at 1e15 "Mon 9:00 AM".
TEST(ReminderDecoding, RefusesValuesOutsideWhatTheProgramWritesAndTakesTheEdgesItDoes) {
  const std::string daily = R"({"daily":{}})";
  const std::string hour = "trigger.recurring._0.hour";
  const std::string minute = "trigger.recurring._0.minute";
  const std::string oneOff = "trigger.oneOff._0";
  const std::string countdown = "trigger.countdown._0";
  const std::string longest = json::dump(json::fromDouble(longestCountdown));
  const struct {
    std::string text;
    std::string refused;  // empty: it decodes
  } rows[] = {
      {stored(recurring(daily, "9", "-1")), minute},
      {stored(recurring(daily, "9", "60")), minute},
      {stored(recurring(daily, "25", "0")), hour},
      {stored(recurring(daily, "24", "0")), hour},
      {stored(recurring(daily, "-1", "0")), hour},
      {stored(recurring(daily, "0", "0")), ""},
      {stored(recurring(daily, "23", "59")), ""},
      {stored(recurring(R"({"specific":{"_0":[2,8]}})", "9", "0")),
       "trigger.recurring._0.days.specific._0[1]"},
      {stored(recurring(R"({"specific":{"_0":[0]}})", "9", "0")),
       "trigger.recurring._0.days.specific._0[0]"},
      {stored(recurring(R"({"specific":{"_0":[1,7]}})", "9", "0")), ""},
      {stored(R"({"oneOff":{"_0":1e15}})"), oneOff},
      {stored(R"({"oneOff":{"_0":1e308}})"), oneOff},
      {stored(R"({"oneOff":{"_0":-1e15}})"), oneOff},
      {stored(R"({"oneOff":{"_0":1e13}})"), ""},  // some 300,000 years on
      {stored(R"({"countdown":{"_0":1e308}})"), countdown},
      {stored(R"({"countdown":{"_0":-1}})"), countdown},
      {stored(R"({"countdown":{"_0":)" + longest + "}}"), ""},
      {stored(R"({"countdown":{"_0":600}})", "1e308"), "createdAt"},
      {stored(R"({"countdown":{"_0":600}})", "-1e15"), "createdAt"},
  };
  for (const auto& row : rows) EXPECT_EQ(refusedField(row.text), row.refused) << row.text;
}

// Whatever a typed line gives is read back: the parser's longest countdown and latest time.
TEST(ReminderDecoding, ReadsBackWhatTheParserGives) {
  const ReminderParser parser(Calendar("America/New_York", "en_US"));
  const Date now(794'012'345.678);
  for (const char* line : {"in 9223372036854775807h x", "in 0s x", "daily 23:59 x",
                           "weekdays 12am x", "11:59pm x", "in 5m x"}) {
    const Reminder typed = parser.parse(line, now);
    const Json written = json::parse(json::dump(typed.toJson()));
    EXPECT_EQ(Reminder::fromJson(JsonReader(written)), typed) << line;
    EXPECT_TRUE(Reminder::hasMembers(written)) << line;
  }
}

// The cheap test before a decode lets through whatever decodes, and turns away only what
// lacks a member or holds one of another kind, which does not decode either.
TEST(ReminderDecoding, TheTestOfMembersTurnsAwayOnlyWhatCannotDecode) {
  const std::string id = R"("id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01")";
  const std::string hourly = R"({"hourly":{}})";
  const struct {
    const char* name;
    std::string text;
    bool members;
  } rows[] = {
      {"as written", stored(hourly), true},
      {"a daily time", stored(recurring(R"({"daily":{}})", "9", "30")), true},
      {"created at a fraction", stored(hourly, "0.5"), true},
      {"another order, a member more",
       R"({"createdAt":0,"new":[1],"trigger":{"hourly":{}},"phrase":"p",)" + id + "}", true},
      {"no id", R"({"phrase":"p","trigger":{"hourly":{}},"createdAt":0})", false},
      {"an id that is a number", R"({"id":1,"phrase":"p","trigger":{"hourly":{}},"createdAt":0})",
       false},
      {"a phrase that is null",
       "{" + id + R"(,"phrase":null,"trigger":{"hourly":{}},"createdAt":0})", false},
      {"a trigger that is a text", "{" + id + R"(,"phrase":"p","trigger":"hourly","createdAt":0})",
       false},
      {"created at a text", "{" + id + R"(,"phrase":"p","trigger":{"hourly":{}},"createdAt":"0"})",
       false},
      {"no createdAt", "{" + id + R"(,"phrase":"p","trigger":{"hourly":{}}})", false},
      {"an array", "[" + stored(hourly) + "]", false},
      {"a text", R"("p")", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Json value = json::parse(row.text);
    EXPECT_EQ(Reminder::hasMembers(value), row.members);
    if (row.members) {
      EXPECT_NO_THROW(Reminder::fromJson(JsonReader(value)));
    } else {
      EXPECT_THROW(Reminder::fromJson(JsonReader(value)), DecodingError);
    }
  }
}

}  // namespace
}  // namespace vorlane
