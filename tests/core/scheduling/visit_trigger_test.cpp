#include "core/scheduling/visit_trigger.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");
const Calendar sydney("Australia/Sydney", "en_US");
const Calendar utc("UTC", "en_US");

Date at(const Calendar& calendar, int month, int day, int hour, int minute) {
  return *calendar.date(2026, month, day, hour, minute, 0);
}

VisitTrigger recurring(RecurrenceDays days, int hour, int minute) {
  return VisitTrigger::recurring(Recurrence(std::move(days), hour, minute));
}

TEST(VisitTrigger, NextOccurrence) {
  // 2026-03-13 is a Friday, 2026-03-15 a Sunday.
  const Date ten = at(newYork, 3, 10, 10, 0);
  const Date nine30 = at(newYork, 3, 10, 9, 30);
  struct Row {
    const char* name;
    VisitTrigger trigger;
    Date from;
    std::optional<Date> expected;
    const Calendar* calendar = &newYork;
  };
  const Row rows[] = {
      {"one-off at from", VisitTrigger::oneOff(ten), ten, ten},
      {"one-off a millisecond before from", VisitTrigger::oneOff(ten), ten + 0.001, std::nullopt},
      {"countdown ended", VisitTrigger::countdown(1500), ten + 1500.001, std::nullopt},
      {"countdown ends at from", VisitTrigger::countdown(1500), ten + 1500, ten + 1500},
      {"hour 24 never rolls over", recurring(RecurrenceDays::daily(), 24, 0), ten, std::nullopt},
      {"daily at from", recurring(RecurrenceDays::daily(), 9, 30), nine30, nine30},
      {"daily just after", recurring(RecurrenceDays::daily(), 9, 30), nine30 + 1,
       at(newYork, 3, 11, 9, 30)},
      {"weekdays skip the weekend", recurring(RecurrenceDays::weekdays(), 9, 30),
       at(newYork, 3, 13, 10, 0), at(newYork, 3, 16, 9, 30)},
      {"Sundays only, just after", recurring(RecurrenceDays::specific({1}), 8, 0),
       at(newYork, 3, 15, 8, 1), at(newYork, 3, 22, 8, 0)},
      {"no weekday in the set", recurring(RecurrenceDays::specific({0, 8}), 8, 0), ten, std::nullopt},
      // New York skips 02:00-03:00 on 03-08 and repeats 01:00-02:00 on 11-01.
      {"skipped time, that day", recurring(RecurrenceDays::daily(), 2, 30),
       at(newYork, 3, 8, 0, 0), at(utc, 3, 8, 7, 0)},
      {"skipped time, next day", recurring(RecurrenceDays::daily(), 2, 30),
       at(newYork, 3, 8, 4, 0), at(utc, 3, 9, 6, 30)},
      {"repeated time, first one", recurring(RecurrenceDays::daily(), 1, 30),
       at(newYork, 11, 1, 0, 0), at(utc, 11, 1, 5, 30)},
      {"repeated time, once a day", recurring(RecurrenceDays::daily(), 1, 30),
       at(utc, 11, 1, 5, 31), at(utc, 11, 2, 6, 30)},
      // Sydney skips 02:00-03:00 on 10-04 (03:00 AEDT is 16:00 UTC the day before).
      {"Sydney skipped time", recurring(RecurrenceDays::daily(), 2, 30), at(sydney, 10, 4, 0, 0),
       at(utc, 10, 3, 16, 0), &sydney},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.trigger.nextOccurrence(row.from, ten, *row.calendar), row.expected) << row.name;
  }
}

TEST(VisitTriggerJson, WrittenAndReadForms) {
  struct Row {
    VisitTrigger trigger;
    const char* written;
  };
  const Row rows[] = {
      {VisitTrigger::hourly(), R"({"hourly":{}})"},
      {VisitTrigger::oneOff(Date(12.5)), R"({"oneOff":{"_0":12.5}})"},
      {recurring(RecurrenceDays::weekdays(), 9, 30),
       R"({"recurring":{"_0":{"days":{"weekdays":{}},"hour":9,"minute":30}}})"},
      {recurring(RecurrenceDays::specific({6, 2, 4}), 0, 5),
       R"({"recurring":{"_0":{"days":{"specific":{"_0":[2,4,6]}},"hour":0,"minute":5}}})"},
      {VisitTrigger::countdown(600), R"({"countdown":{"_0":600}})"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(json::dump(row.trigger.toJson()), row.written);
    EXPECT_EQ(VisitTrigger::fromJson(JsonReader(json::parse(row.written))), row.trigger);
  }
  // Unknown members are ignored, duplicates in a set collapse.
  EXPECT_EQ(VisitTrigger::fromJson(JsonReader(json::parse(R"({"hourly":{"_0":1},"note":1})"))),
            VisitTrigger::hourly());
  EXPECT_EQ(VisitTrigger::fromJson(JsonReader(json::parse(
                R"({"recurring":{"_0":{"minute":0,"hour":9.0,"days":{"specific":{"_0":[2,2]}}}}})"))),
            recurring(RecurrenceDays::specific({2}), 9, 0));
  EXPECT_THROW(VisitTrigger::countdown(1.0 / 0.0).toJson(), EncodingError);
}

TEST(VisitTriggerJson, RejectedForms) {
  using Kind = DecodingError::Kind;
  const std::string oneKey = "Invalid number of keys found, expected one.";
  struct Row {
    const char* text;
    Kind kind;
    std::string path;
  };
  const Row rows[] = {
      {R"({})", Kind::typeMismatch, "t"},
      {R"({"hourly":{},"oneOff":{"_0":0}})", Kind::typeMismatch, "t"},
      {R"({"hourly":true})", Kind::typeMismatch, "t.hourly"},
      {R"({"oneOff":{}})", Kind::keyNotFound, "t.oneOff._0"},
      {R"({"recurring":{"_0":{"days":{"daily":{}},"hour":9}}})", Kind::keyNotFound,
       "t.recurring._0.minute"},
      {R"({"recurring":{"_0":{"days":{},"hour":9,"minute":0}}})", Kind::typeMismatch,
       "t.recurring._0.days"},
      {R"({"recurring":{"_0":{"days":{"specific":{"_0":[2,"3"]}},"hour":9,"minute":0}}})",
       Kind::typeMismatch, "t.recurring._0.days.specific._0[1]"},
  };
  for (const Row& row : rows) {
    const Json document = json::parse(row.text);
    try {
      VisitTrigger::fromJson(JsonReader(document, "t"));
      ADD_FAILURE() << row.text << " decoded";
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.kind(), row.kind) << row.text;
      EXPECT_EQ(error.codingPath(), row.path) << row.text;
      if (row.path == "t" || row.path.ends_with("days")) {
        EXPECT_EQ(error.description(), oneKey) << row.text;
      }
    }
  }
}

}  // namespace
}  // namespace vorlane
