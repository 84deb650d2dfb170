#include "core/scheduling/visit_trigger.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "foundation/calendar.h"
#include "foundation/json.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");
const Calendar sydney("Australia/Sydney", "en_US");
const Calendar utc("UTC", "en_US");

Date local(const Calendar& calendar, int month, int day, int hour, int minute, int second = 0) {
  return *calendar.date(2026, month, day, hour, minute, second);
}

Recurrence at(RecurrenceDays days, int hour, int minute) {
  return Recurrence(std::move(days), hour, minute);
}

TEST(VisitTrigger, NextOccurrence) {
  // 2026-03-13 is a Friday, 2026-03-15 a Sunday.
  const Date nine30 = local(newYork, 3, 10, 9, 30);
  const Date ten = local(newYork, 3, 10, 10, 0);
  struct Row {
    const char* name;
    VisitTrigger trigger;
    Date from;
    std::optional<Date> expected;
    const Calendar* calendar = &newYork;
  };
  const Row rows[] = {
      {"hourly has no time of its own", VisitTrigger::hourly(), ten, std::nullopt},
      {"one-off at from", VisitTrigger::oneOff(ten), ten, ten},
      {"one-off a second before from", VisitTrigger::oneOff(ten), ten + 1, std::nullopt},
      {"one-off a millisecond before from", VisitTrigger::oneOff(ten), ten + 0.001, std::nullopt},
      {"countdown ends at from", VisitTrigger::countdown(1500), ten + 1500, ten + 1500},
      {"countdown ended a second ago", VisitTrigger::countdown(1500), ten + 1501, std::nullopt},
      {"daily at from", VisitTrigger::recurring(at(RecurrenceDays::daily(), 9, 30)), nine30,
       nine30},
      {"daily just after", VisitTrigger::recurring(at(RecurrenceDays::daily(), 9, 30)),
       nine30 + 1, local(newYork, 3, 11, 9, 30)},
      {"weekdays from Friday skip the weekend",
       VisitTrigger::recurring(at(RecurrenceDays::weekdays(), 9, 30)),
       local(newYork, 3, 13, 10, 0), local(newYork, 3, 16, 9, 30)},
      {"Sunday only, just after", VisitTrigger::recurring(at(RecurrenceDays::specific({1}), 8, 0)),
       local(newYork, 3, 15, 8, 1), local(newYork, 3, 22, 8, 0)},
      {"Saturday only, from the Sunday before",
       VisitTrigger::recurring(at(RecurrenceDays::specific({7}), 8, 0)),
       local(newYork, 3, 15, 7, 0), local(newYork, 3, 21, 8, 0)},
      {"empty set", VisitTrigger::recurring(at(RecurrenceDays::specific({}), 8, 0)), ten,
       std::nullopt},
      {"set holding no weekday", VisitTrigger::recurring(at(RecurrenceDays::specific({0, 8}), 8, 0)),
       ten, std::nullopt},
      {"hour 24 never rolls into the next day",
       VisitTrigger::recurring(at(RecurrenceDays::daily(), 24, 0)), ten, std::nullopt},
      {"minute 60 never rolls into the next hour",
       VisitTrigger::recurring(at(RecurrenceDays::daily(), 9, 60)), ten, std::nullopt},
      // Skipped 02:00-03:00 on 2026-03-08: the first time after the gap, that day.
      {"New York gap time", VisitTrigger::recurring(at(RecurrenceDays::daily(), 2, 30)),
       local(newYork, 3, 8, 0, 0), *utc.date(2026, 3, 8, 7, 0, 0)},
      // The day after the gap has its real 02:30 again.
      {"New York gap time, next day", VisitTrigger::recurring(at(RecurrenceDays::daily(), 2, 30)),
       local(newYork, 3, 8, 4, 0), *utc.date(2026, 3, 9, 6, 30, 0)},
      // 01:00-02:00 repeats on 2026-11-01: the first 01:30 is EDT, 05:30 UTC.
      {"New York repeated time", VisitTrigger::recurring(at(RecurrenceDays::daily(), 1, 30)),
       local(newYork, 11, 1, 0, 0), *utc.date(2026, 11, 1, 5, 30, 0)},
      // After the first 01:30 the second one is not a new occurrence.
      {"New York repeated time, once a day",
       VisitTrigger::recurring(at(RecurrenceDays::daily(), 1, 30)),
       *utc.date(2026, 11, 1, 5, 30, 1), *utc.date(2026, 11, 2, 6, 30, 0)},
      // Sydney skips 02:00-03:00 on 2026-10-04 (03:00 AEDT is 16:00 UTC the day before).
      {"Sydney gap time", VisitTrigger::recurring(at(RecurrenceDays::daily(), 2, 30)),
       local(sydney, 10, 4, 0, 0), *utc.date(2026, 10, 3, 16, 0, 0), &sydney},
      // Sydney repeats 02:00-03:00 on 2026-04-05: the first 02:30 is AEDT, 15:30 UTC.
      {"Sydney repeated time", VisitTrigger::recurring(at(RecurrenceDays::daily(), 2, 30)),
       local(sydney, 4, 5, 0, 0), *utc.date(2026, 4, 4, 15, 30, 0), &sydney},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.trigger.nextOccurrence(row.from, ten, *row.calendar), row.expected) << row.name;
  }
}

TEST(VisitTrigger, WeekdayTestUsesTheCandidatesOwnDay) {
  // 23:30 on a Friday in New York is already Saturday in UTC; the New York weekday decides.
  const VisitTrigger fridays = VisitTrigger::recurring(at(RecurrenceDays::specific({6}), 23, 30));
  const Date thursday = local(newYork, 3, 12, 12, 0);
  EXPECT_EQ(fridays.nextOccurrence(thursday, thursday, newYork), local(newYork, 3, 13, 23, 30));
}

TEST(VisitTrigger, OneShotAndIncludes) {
  EXPECT_TRUE(VisitTrigger::oneOff(Date(0)).isOneShot());
  EXPECT_TRUE(VisitTrigger::countdown(60).isOneShot());
  EXPECT_FALSE(VisitTrigger::hourly().isOneShot());
  EXPECT_FALSE(VisitTrigger::recurring(at(RecurrenceDays::daily(), 9, 0)).isOneShot());

  for (int weekday = 0; weekday <= 8; ++weekday) {
    const bool real = weekday >= 1 && weekday <= 7;
    EXPECT_EQ(RecurrenceDays::daily().includes(weekday), true) << weekday;
    EXPECT_EQ(RecurrenceDays::weekdays().includes(weekday), real && weekday != 1 && weekday != 7)
        << weekday;
    EXPECT_EQ(RecurrenceDays::specific({2, 4, 6}).includes(weekday),
              weekday == 2 || weekday == 4 || weekday == 6)
        << weekday;
  }
}

TEST(VisitTrigger, Equality) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(VisitTrigger::countdown(600), VisitTrigger::countdown(600));
  EXPECT_NE(VisitTrigger::countdown(600), VisitTrigger::countdown(601));
  EXPECT_NE(VisitTrigger::countdown(nan), VisitTrigger::countdown(nan));
  EXPECT_NE(VisitTrigger::oneOff(Date(600)), VisitTrigger::countdown(600));
  EXPECT_NE(VisitTrigger::recurring(at(RecurrenceDays::specific({2}), 9, 0)),
            VisitTrigger::recurring(at(RecurrenceDays::specific({3}), 9, 0)));
  EXPECT_NE(RecurrenceDays::daily(), RecurrenceDays::specific({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_NE(RecurrenceDays::weekdays(), RecurrenceDays::specific({2, 3, 4, 5, 6}));
}

TEST(VisitTriggerJson, WrittenForms) {
  struct Row {
    VisitTrigger trigger;
    const char* expected;
  };
  const Row rows[] = {
      {VisitTrigger::hourly(), R"({"hourly":{}})"},
      {VisitTrigger::oneOff(Date(0)), R"({"oneOff":{"_0":0}})"},
      {VisitTrigger::oneOff(Date(12.5)), R"({"oneOff":{"_0":12.5}})"},
      {VisitTrigger::recurring(at(RecurrenceDays::weekdays(), 9, 30)),
       R"({"recurring":{"_0":{"days":{"weekdays":{}},"hour":9,"minute":30}}})"},
      {VisitTrigger::recurring(at(RecurrenceDays::daily(), 0, 5)),
       R"({"recurring":{"_0":{"days":{"daily":{}},"hour":0,"minute":5}}})"},
      {VisitTrigger::recurring(at(RecurrenceDays::specific({6, 2, 4}), 7, 0)),
       R"({"recurring":{"_0":{"days":{"specific":{"_0":[2,4,6]}},"hour":7,"minute":0}}})"},
      {VisitTrigger::countdown(600), R"({"countdown":{"_0":600}})"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(json::dump(row.trigger.toJson()), row.expected);
    EXPECT_EQ(VisitTrigger::fromJson(JsonReader(json::parse(row.expected))), row.trigger)
        << row.expected;
  }
  EXPECT_THROW(VisitTrigger::countdown(std::numeric_limits<double>::infinity()).toJson(),
               EncodingError);
}

TEST(VisitTriggerJson, TolerantReading) {
  struct Row {
    const char* text;
    VisitTrigger expected;
  };
  const Row rows[] = {
      {R"({"hourly":{},"note":1})", VisitTrigger::hourly()},
      {R"({"hourly":{"_0":5}})", VisitTrigger::hourly()},
      {R"({"oneOff":{"_0":3,"_1":4}})", VisitTrigger::oneOff(Date(3))},
      {R"({"countdown":{"_0":1500.25}})", VisitTrigger::countdown(1500.25)},
      {R"({"recurring":{"_0":{"minute":30,"hour":9.0,"days":{"specific":{"_0":[2,2,4.0]}}}}})",
       VisitTrigger::recurring(at(RecurrenceDays::specific({2, 4}), 9, 30))},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(VisitTrigger::fromJson(JsonReader(json::parse(row.text))), row.expected) << row.text;
  }
}

TEST(VisitTriggerJson, RejectedForms) {
  using Kind = DecodingError::Kind;
  const std::string oneKey = "Invalid number of keys found, expected one.";
  struct Row {
    const char* text;
    Kind kind;
    std::string path;
    std::string description;  // empty: not checked
  };
  const Row rows[] = {
      {R"({})", Kind::typeMismatch, "trigger", oneKey},
      {R"({"hourly":{},"oneOff":{"_0":0}})", Kind::typeMismatch, "trigger", oneKey},
      {R"({"Hourly":{}})", Kind::typeMismatch, "trigger", oneKey},
      {R"({"note":1})", Kind::typeMismatch, "trigger", oneKey},
      {R"({"hourly":true})", Kind::typeMismatch, "trigger.hourly", ""},
      {R"({"oneOff":0})", Kind::typeMismatch, "trigger.oneOff", ""},
      {R"({"oneOff":{}})", Kind::keyNotFound, "trigger.oneOff._0", ""},
      {R"({"oneOff":{"_0":"soon"}})", Kind::typeMismatch, "trigger.oneOff._0", ""},
      {R"({"countdown":{"_0":true}})", Kind::typeMismatch, "trigger.countdown._0", ""},
      {R"({"recurring":{"_0":{"days":{"daily":{}},"hour":9}}})", Kind::keyNotFound,
       "trigger.recurring._0.minute", ""},
      {R"({"recurring":{"_0":{"days":{"daily":{}},"hour":9.5,"minute":0}}})",
       Kind::dataCorrupted, "trigger.recurring._0.hour", ""},
      {R"({"recurring":{"_0":{"days":{},"hour":9,"minute":0}}})", Kind::typeMismatch,
       "trigger.recurring._0.days", oneKey},
      {R"({"recurring":{"_0":{"days":{"daily":{},"weekdays":{}},"hour":9,"minute":0}}})",
       Kind::typeMismatch, "trigger.recurring._0.days", oneKey},
      {R"({"recurring":{"_0":{"days":{"specific":{"_0":[2,"3"]}},"hour":9,"minute":0}}})",
       Kind::typeMismatch, "trigger.recurring._0.days.specific._0[1]", ""},
      {R"({"recurring":{"_0":{"days":{"specific":{"_0":2}},"hour":9,"minute":0}}})",
       Kind::typeMismatch, "trigger.recurring._0.days.specific._0", ""},
      {R"([{"hourly":{}}])", Kind::typeMismatch, "trigger", ""},
  };
  for (const Row& row : rows) {
    const Json document = json::parse(row.text);
    try {
      VisitTrigger::fromJson(JsonReader(document, "trigger"));
      ADD_FAILURE() << row.text << " decoded";
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.kind(), row.kind) << row.text;
      EXPECT_EQ(error.codingPath(), row.path) << row.text;
      if (!row.description.empty()) {
        EXPECT_EQ(error.description(), row.description) << row.text;
      }
    }
  }
}

}  // namespace
}  // namespace vorlane
