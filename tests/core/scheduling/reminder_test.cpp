#include "core/scheduling/reminder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <unicode/timezone.h>

#include "foundation/calendar.h"
#include "foundation/json.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");
const Calendar tokyo("Asia/Tokyo", "en_US");

Date local(const Calendar& calendar, int month, int day, int hour, int minute, int second = 0) {
  return *calendar.date(2026, month, day, hour, minute, second);
}

Reminder reminderWith(VisitTrigger trigger, Date createdAt = Date(0)) {
  return Reminder(*UUID::fromString("0F4B8E4C-6A1D-4C2E-9B7A-3D2E1F0A9B8C"), "stretch",
                  std::move(trigger), createdAt);
}

Recurrence at(RecurrenceDays days, int hour, int minute) {
  return Recurrence(std::move(days), hour, minute);
}

TEST(Reminder, Expiry) {
  const Date ten = local(newYork, 3, 10, 10, 0);
  struct Row {
    const char* name;
    Reminder reminder;
    Date before;
    bool expired;
  };
  const Row rows[] = {
      {"one-off at its own date", reminderWith(VisitTrigger::oneOff(ten)), ten, false},
      {"one-off just after", reminderWith(VisitTrigger::oneOff(ten)), ten + 0.001, true},
      {"countdown at its end", reminderWith(VisitTrigger::countdown(600), ten), ten + 600, false},
      {"countdown after its end", reminderWith(VisitTrigger::countdown(600), ten), ten + 601, true},
      {"countdown made later", reminderWith(VisitTrigger::countdown(600), ten + 60), ten + 601,
       false},
      {"hourly", reminderWith(VisitTrigger::hourly()), Date(1e12), false},
      {"recurring", reminderWith(VisitTrigger::recurring(at(RecurrenceDays::daily(), 9, 0))),
       Date(1e12), false},
  };
  for (const Row& row : rows) EXPECT_EQ(row.reminder.hasExpired(row.before), row.expired) << row.name;
}

TEST(Reminder, ScheduleDescription) {
  // 2026-03-10 is a Tuesday.
  const Date now = local(newYork, 3, 10, 8, 0);
  struct Row {
    const char* name;
    Reminder reminder;
    std::string expected;
  };
  const Row rows[] = {
      {"hourly", reminderWith(VisitTrigger::hourly()), "every hour"},
      {"one-off today", reminderWith(VisitTrigger::oneOff(local(newYork, 3, 10, 16, 5))), "4:05 PM"},
      {"one-off late tonight", reminderWith(VisitTrigger::oneOff(local(newYork, 3, 10, 23, 59))),
       "11:59 PM"},
      {"one-off tomorrow", reminderWith(VisitTrigger::oneOff(local(newYork, 3, 11, 9, 0))),
       "Wed 9:00 AM"},
      {"one-off yesterday", reminderWith(VisitTrigger::oneOff(local(newYork, 3, 9, 0, 30))),
       "Mon 12:30 AM"},
      {"countdown past midnight shows no day",
       reminderWith(VisitTrigger::countdown(1200), local(newYork, 3, 10, 23, 50)), "12:10 AM"},
      {"weekdays", reminderWith(VisitTrigger::recurring(at(RecurrenceDays::weekdays(), 9, 30))),
       "weekdays at 9:30 AM"},
      {"daily after midnight",
       reminderWith(VisitTrigger::recurring(at(RecurrenceDays::daily(), 0, 5))),
       "daily at 12:05 AM"},
      {"noon", reminderWith(VisitTrigger::recurring(at(RecurrenceDays::daily(), 12, 0))),
       "daily at 12:00 PM"},
      {"last minute", reminderWith(VisitTrigger::recurring(at(RecurrenceDays::daily(), 23, 59))),
       "daily at 11:59 PM"},
      {"specific", reminderWith(VisitTrigger::recurring(at(RecurrenceDays::specific({2}), 13, 7))),
       "some days at 1:07 PM"},
      {"empty specific",
       reminderWith(VisitTrigger::recurring(at(RecurrenceDays::specific({}), 7, 0))),
       "some days at 7:00 AM"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.reminder.scheduleDescription(newYork, now), row.expected) << row.name;
  }
}

// Regression: the time used to be formatted in the system's zone while "today" was judged in
// the calendar's zone, so a Tokyo calendar on a New York machine showed New York times.
TEST(Reminder, ScheduleTextUsesTheCalendarsZone) {
  std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
  icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString(u"America/New_York")));

  // 23:30 in Tokyo is 10:30 in New York the same morning.
  const Date lateEvening = local(tokyo, 3, 10, 23, 30);
  const Date now = local(tokyo, 3, 10, 9, 0);
  const std::string today = reminderWith(VisitTrigger::oneOff(lateEvening)).scheduleDescription(tokyo, now);
  const std::string otherDay =
      reminderWith(VisitTrigger::oneOff(lateEvening)).scheduleDescription(tokyo, now - 86400);
  const std::string countdown =
      reminderWith(VisitTrigger::countdown(60), lateEvening - 60).scheduleDescription(tokyo, now);

  icu::TimeZone::adoptDefault(saved.release());
  EXPECT_EQ(today, "11:30 PM");
  EXPECT_EQ(otherDay, "Tue 11:30 PM");
  EXPECT_EQ(countdown, "11:30 PM");
}

TEST(Reminder, ScheduleTextSurvivesRunawayValues) {
  const double huge = 9223372036854775807.0 * 3600;
  for (double seconds : {huge, -huge, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity()}) {
    const Reminder reminder = reminderWith(VisitTrigger::countdown(seconds), Date(0));
    EXPECT_NO_THROW(reminder.scheduleDescription(newYork, Date(0))) << seconds;
  }
  const Reminder oddHour =
      reminderWith(VisitTrigger::recurring(at(RecurrenceDays::daily(), 24, 75)));
  EXPECT_EQ(oddHour.scheduleDescription(newYork, Date(0)), "daily at 12:75 PM");
}

TEST(Reminder, Equality) {
  const Reminder base = reminderWith(VisitTrigger::oneOff(Date(100)), Date(5));
  Reminder composed = base;
  composed.phrase = "cafe\xCC\x81";  // e + combining acute
  Reminder precomposed = base;
  precomposed.phrase = "caf\xC3\xA9";
  EXPECT_EQ(composed, precomposed);

  Reminder other = base;
  other.id = UUID::random();
  EXPECT_NE(other, base);
  other = base;
  other.createdAt = Date(6);
  EXPECT_NE(other, base);
  other = base;
  other.trigger = VisitTrigger::oneOff(Date(101));
  EXPECT_NE(other, base);
}

TEST(ReminderJson, RoundTrip) {
  const Reminder reminders[] = {
      Reminder(UUID::random(), "stand up \xF0\x9F\x90\x92", VisitTrigger::hourly(),
               Date(794'000'000.123456)),
      Reminder(UUID::random(), "call \"mum\"", VisitTrigger::oneOff(Date(794'012'345.678)),
               Date(-1.5)),
      Reminder(UUID::random(), "",
               VisitTrigger::recurring(at(RecurrenceDays::specific({1, 7}), 23, 59)),
               Date(0.1)),
      Reminder(UUID::random(), "tea", VisitTrigger::countdown(0.3), Date(1e9 + 1e-6)),
  };
  for (const Reminder& reminder : reminders) {
    const Json decoded = json::parse(json::dump(reminder.toJson()));
    EXPECT_EQ(Reminder::fromJson(JsonReader(decoded)), reminder) << json::dump(decoded);
  }
}

TEST(ReminderJson, MembersInFieldOrder) {
  const Reminder reminder(*UUID::fromString("0f4b8e4c-6a1d-4c2e-9b7a-3d2e1f0a9b8c"), "tea",
                          VisitTrigger::countdown(600), Date(12.5));
  EXPECT_EQ(json::dump(reminder.toJson()),
            R"({"id":"0F4B8E4C-6A1D-4C2E-9B7A-3D2E1F0A9B8C","phrase":"tea",)"
            R"("trigger":{"countdown":{"_0":600}},"createdAt":12.5})");
}

TEST(ReminderJson, ReadingRules) {
  using Kind = DecodingError::Kind;
  const char* goodTrigger = R"("trigger":{"hourly":{}})";
  const std::string id = R"("id":"0f4b8e4c-6a1d-4c2e-9b7a-3d2e1f0a9b8c")";
  struct Row {
    std::string text;
    std::optional<Kind> kind;  // none: decodes
    std::string path;
  };
  const Row rows[] = {
      {"{" + id + R"(,"phrase":"a",)" + goodTrigger + R"(,"createdAt":1,"extra":[1]})",
       std::nullopt, ""},
      {R"({"createdAt":1,)" + std::string(goodTrigger) + R"(,"phrase":"a",)" + id + "}",
       std::nullopt, ""},
      {"{" + id + R"(,"phrase":"a",)" + goodTrigger + "}", Kind::keyNotFound, "[0].createdAt"},
      {"{" + id + R"(,"phrase":"a","createdAt":1})", Kind::keyNotFound, "[0].trigger"},
      {R"({"id":"not-a-uuid","phrase":"a",)" + std::string(goodTrigger) + R"(,"createdAt":1})",
       Kind::dataCorrupted, "[0].id"},
      {"{" + id + R"(,"phrase":7,)" + goodTrigger + R"(,"createdAt":1})", Kind::typeMismatch,
       "[0].phrase"},
      {"{" + id + R"(,"phrase":"a","trigger":{},"createdAt":1})", Kind::typeMismatch,
       "[0].trigger"},
      {"{" + id + R"(,"phrase":"a",)" + goodTrigger + R"(,"createdAt":null})",
       Kind::valueNotFound, "[0].createdAt"},
  };
  for (const Row& row : rows) {
    const Json document = json::parse(row.text);
    try {
      const Reminder reminder = Reminder::fromJson(JsonReader(document, "[0]"));
      EXPECT_FALSE(row.kind.has_value()) << row.text;
      EXPECT_EQ(reminder.phrase, "a");
      EXPECT_EQ(reminder.trigger, VisitTrigger::hourly());
    } catch (const DecodingError& error) {
      ASSERT_TRUE(row.kind.has_value()) << row.text << ": " << error.what();
      EXPECT_EQ(error.kind(), *row.kind) << row.text;
      EXPECT_EQ(error.codingPath(), row.path) << row.text;
    }
  }
}

}  // namespace
}  // namespace vorlane
