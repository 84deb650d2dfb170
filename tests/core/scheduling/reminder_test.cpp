#include "core/scheduling/reminder.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <unicode/timezone.h>

#include "core/scheduling/in_memory_reminder_store.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");

Date at(const Calendar& calendar, int day, int hour, int minute) {
  return *calendar.date(2026, 3, day, hour, minute, 0);
}

Reminder with(VisitTrigger trigger, Date createdAt = Date(0), std::string phrase = "tea") {
  return Reminder(UUID::random(), std::move(phrase), std::move(trigger), createdAt);
}

VisitTrigger recurring(RecurrenceDays days, int hour, int minute) {
  return VisitTrigger::recurring(Recurrence(std::move(days), hour, minute));
}

TEST(Reminder, ScheduleDescription) {
  const Date now = at(newYork, 10, 8, 0);  // a Tuesday
  const double huge = 9223372036854775807.0 * 3600;
  struct Row {
    Reminder reminder;
    std::string expected;  // empty: any time of day, without failing
  };
  const Row rows[] = {
      {with(VisitTrigger::hourly()), "every hour"},
      {with(VisitTrigger::oneOff(at(newYork, 10, 23, 59))), "11:59 PM"},
      {with(VisitTrigger::oneOff(at(newYork, 11, 0, 30))), "Wed 12:30 AM"},
      {with(VisitTrigger::countdown(1200), at(newYork, 10, 23, 50)), "12:10 AM"},
      {with(recurring(RecurrenceDays::weekdays(), 9, 30)), "weekdays at 9:30 AM"},
      {with(recurring(RecurrenceDays::daily(), 0, 5)), "daily at 12:05 AM"},
      {with(recurring(RecurrenceDays::daily(), 12, 0)), "daily at 12:00 PM"},
      {with(recurring(RecurrenceDays::specific({2}), 23, 59)), "some days at 11:59 PM"},
      {with(VisitTrigger::countdown(huge)), ""},
      {with(VisitTrigger::countdown(std::numeric_limits<double>::quiet_NaN())), ""},
  };
  for (const Row& row : rows) {
    const std::string text = row.reminder.scheduleDescription(newYork, now);
    if (row.expected.empty()) {
      EXPECT_NE(text.find(':'), std::string::npos) << text;
    } else {
      EXPECT_EQ(text, row.expected);
    }
  }
}

// Regression: the time was formatted in the system's zone while "today" was judged in the
// calendar's, so a Tokyo calendar on a New York machine showed New York times.
TEST(Reminder, ScheduleTextUsesTheCalendarsZone) {
  const Calendar tokyo("Asia/Tokyo", "en_US");
  std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
  icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString(u"America/New_York")));
  const Reminder lateEvening = with(VisitTrigger::oneOff(at(tokyo, 10, 23, 30)));
  const std::string today = lateEvening.scheduleDescription(tokyo, at(tokyo, 10, 9, 0));
  const std::string otherDay = lateEvening.scheduleDescription(tokyo, at(tokyo, 9, 9, 0));
  icu::TimeZone::adoptDefault(saved.release());
  EXPECT_EQ(today, "11:30 PM");
  EXPECT_EQ(otherDay, "Tue 11:30 PM");
}

TEST(ReminderJson, RoundTripAndMissingMembers) {
  const Reminder reminder(*UUID::fromString("0f4b8e4c-6a1d-4c2e-9b7a-3d2e1f0a9b8c"),
                          "call \"mum\" \xF0\x9F\x90\x92", VisitTrigger::countdown(0.3),
                          Date(794'012'345.678));
  const Json written = json::parse(json::dump(reminder.toJson()));
  EXPECT_EQ(Reminder::fromJson(JsonReader(written)), reminder);
  EXPECT_EQ(written["id"], "0F4B8E4C-6A1D-4C2E-9B7A-3D2E1F0A9B8C");

  for (const char* member : {"id", "phrase", "trigger", "createdAt"}) {
    Json missing = written;
    missing.erase(member);
    try {
      Reminder::fromJson(JsonReader(missing, "[0]"));
      ADD_FAILURE() << member;
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.kind(), DecodingError::Kind::keyNotFound) << member;
      EXPECT_EQ(error.codingPath(), std::string("[0].") + member);
    }
  }
}

TEST(InMemoryReminderStore, ListRules) {
  const Date cut(5000);
  const Reminder first = with(VisitTrigger::oneOff(cut - 1), Date(0), "past");
  const Reminder hourly = with(VisitTrigger::hourly(), Date(0), "hourly");
  Reminder renamed = first;
  renamed.phrase = "renamed";
  InMemoryReminderStore store({first, hourly, first,
                               with(VisitTrigger::oneOff(cut), Date(0), "at the cut"),
                               with(VisitTrigger::countdown(3999), Date(1000), "ended"),
                               with(recurring(RecurrenceDays::daily(), 9, 0), Date(0), "daily"),
                               with(VisitTrigger::countdown(4000), Date(1000), "running")});
  const auto phrases = [&] {
    std::vector<std::string> result;
    for (const Reminder& r : store.reminders()) result.push_back(r.phrase);
    return result;
  };
  EXPECT_TRUE(store.update(renamed));
  EXPECT_FALSE(store.update(with(VisitTrigger::hourly())));
  EXPECT_EQ(phrases()[0] + phrases()[2], "renamedpast");
  store.pruneExpired(cut);
  EXPECT_EQ(phrases(), (std::vector<std::string>{"hourly", "at the cut", "daily", "running"}));
  store.add(hourly);
  store.remove(hourly.id);
  EXPECT_EQ(phrases(), (std::vector<std::string>{"at the cut", "daily", "running"}));
}

}  // namespace
}  // namespace vorlane
