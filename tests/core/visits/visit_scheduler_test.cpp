#include "core/visits/visit_scheduler.h"

#include <gtest/gtest.h>
#include <unicode/timezone.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/fake_clock.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");

// 2026-03-10, a day with no clock change near it; `day` moves to the days after.
Date t(int hour, int minute, double second = 0, int day = 10) {
  return *newYork.date(2026, 3, day, hour, minute, 0) + second;
}

// A scheduler over a fake clock and editable settings that records what goes stale.
struct Harness {
  explicit Harness(Calendar calendar = newYork, int start = 9, int end = 21, bool half = false)
      : clock(std::make_shared<FakeClock>()), scheduler(clock, std::move(calendar), [this] {
          ++preferenceReads;
          return preferences;
        }) {
    preferences.activeStartHour = start;  // 30 to 30: hourly visits off
    preferences.activeEndHour = end;
    preferences.halfHourVisitsEnabled = half;
    scheduler.onSkippedStaleVisits = [this](const std::vector<Date>& dates) {
      staleReports.push_back(dates);
    };
  }
  std::vector<Date> pollAt(Date date) {
    clock->set(date);
    std::vector<Date> times;
    for (const Visit& visit : scheduler.dueVisits()) times.push_back(visit.scheduledFor);
    return times;
  }
  std::vector<Date> stale() const {  // every report, joined
    std::vector<Date> all;
    for (const auto& report : staleReports) all.insert(all.end(), report.begin(), report.end());
    return all;
  }

  std::shared_ptr<FakeClock> clock;
  Preferences preferences;
  int preferenceReads = 0;
  std::vector<std::vector<Date>> staleReports;
  VisitScheduler scheduler;
};

using Dates = std::vector<Date>;

Reminder with(VisitTrigger trigger, Date createdAt = Date(0)) {
  return Reminder(UUID::random(), "tea", std::move(trigger), createdAt);
}

Reminder oneOff(Date due, std::string phrase = "pills") {
  return Reminder(UUID::random(), std::move(phrase), VisitTrigger::oneOff(due), t(8, 0));
}

Reminder daily(int hour, int minute, Date createdAt = t(8, 0)) {
  const Recurrence recurrence(RecurrenceDays::daily(), hour, minute);
  return Reminder(UUID::random(), "stretch", VisitTrigger::recurring(recurrence), createdAt);
}

// Visits due at one instant keep their order: hourly first, then reminders as listed. An
// unstable sort may swap them; a list holding one id twice fires it once.
TEST(VisitScheduler, FirstCallAnchorsThenVisitsAreBuiltInOrder) {
  Harness h;
  const Reminder reminder = oneOff(t(10, 0), "take {time} pills");
  h.scheduler.setReminders({reminder});
  EXPECT_TRUE(h.pollAt(t(10, 0)).empty());  // the first call only anchors
  EXPECT_EQ(h.preferenceReads, 0);

  Harness g;
  g.preferences.phraseTemplate = "{hour} {ampm}";
  std::vector<Reminder> reminders{reminder};
  for (int i = 1; i < 40; ++i) reminders.push_back(oneOff(t(10, 0), std::to_string(i)));
  reminders.push_back(reminders[7]);
  g.scheduler.setReminders(reminders);
  g.pollAt(t(9, 59, 50));
  g.clock->set(t(10, 0, 30));
  const std::vector<Visit> visits = g.scheduler.dueVisits();
  ASSERT_EQ(visits.size(), 41u);
  EXPECT_EQ(visits[0], (Visit{visits[0].id, Visit::Kind::hourly(), t(10, 0), "ten AM", "10:00",
                              true, Visit::BubbleStyle::headline, Choreography::standard(), true}));
  // A reminder's phrase is spoken as written, never expanded.
  EXPECT_EQ(visits[1], (Visit{visits[1].id, Visit::Kind::reminder(reminder.id), t(10, 0),
                              "take {time} pills", "take {time} pills", true,
                              Visit::BubbleStyle::headline, Choreography::standard(), true}));
  EXPECT_NE(visits[0].id, visits[1].id);
  for (int i = 1; i < 40; ++i) EXPECT_EQ(visits[i + 1].spokenPhrase, std::to_string(i));
}

TEST(VisitScheduler, HourlyWindowEdgesActiveHoursAndABoundedSearch) {
  struct Row {
    const char* name;
    int start, end;
    bool half;
    Date anchor, now;
    Dates delivered, stale;
    std::size_t count = 0;  // past two stale: how many, with `stale` the first and the last
  };
  const Date ten = t(10, 0);
  const Row rows[] = {
      {"90 s late is on time", 9, 21, false, t(9, 59), t(10, 1, 30), {ten}, {}},
      {"91 s late is stale", 9, 21, false, t(9, 59), t(10, 1, 31), {}, {ten}},
      {"boundary at now", 9, 21, false, t(9, 59), ten, {ten}, {}},
      {"boundary at the anchor", 9, 21, false, ten, t(10, 0, 30), {}, {}},
      {"missed half-hour polls", 9, 21, true, t(9, 10), t(10, 31), {t(10, 30)}, {t(9, 30), ten}},
      {"last hour and its half", 9, 21, true, t(20, 59), t(22, 0, 30), {}, {t(21, 0), t(21, 30)}},
      {"wrapping hours", 22, 6, false, t(4, 59), t(7, 0, 30), {}, {t(5, 0), t(6, 0)}},
      {"outside wrapping hours", 22, 6, false, t(11, 59), t(12, 0, 30), {}, {}},
      // 26 boundaries from 10:00 end at 11:00 the next day; 15:00, 30 s ago, is never seen.
      {"hourly gap", 0, 23, false, t(9, 10), t(15, 0, 30, 11), {}, {ten, t(11, 0, 0, 11)}, 26},
      {"half-hourly gap",
       0,
       23,
       true,
       t(9, 10),
       t(15, 0, 30, 11),
       {},
       {t(9, 30), t(10, 0, 0, 11)},
       50},
      // Inactive boundaries count too: 08:00 is the first of 26, 09:00 next day the last.
      {"inactive hours",
       9,
       21,
       false,
       t(7, 10),
       t(10, 0, 30, 11),
       {},
       {t(9, 0), t(9, 0, 0, 11)},
       14},
  };
  for (const Row& row : rows) {
    Harness h(newYork, row.start, row.end, row.half);
    h.pollAt(row.anchor);
    EXPECT_EQ(h.pollAt(row.now), row.delivered) << row.name;
    EXPECT_TRUE(h.pollAt(row.now + 30).empty()) << row.name;
    const Dates stale = h.stale(), ends = stale.size() > 2 ? Dates{stale[0], stale.back()} : stale;
    EXPECT_EQ(ends, row.stale) << row.name;
    EXPECT_EQ(stale.size(), row.count ? row.count : row.stale.size()) << row.name;
    EXPECT_LE(h.staleReports.size(), 1u) << row.name;
  }
}

TEST(VisitScheduler, RemindersFireOnceAtTheirFirstTimeAfterTheAnchor) {
  struct Row {
    const char* name;
    Reminder reminder;
    Date anchor;
    Dates polls, delivered, stale = {};
  };
  const Row rows[] = {
      {"due exactly at the anchor", oneOff(t(10, 0)), t(10, 0), {t(10, 0, 30)}, {}, {}},
      {"due exactly at the poll", oneOff(t(10, 0)), t(9, 59), {t(10, 0), t(10, 0, 30)}, {t(10, 0)}},
      // Regression: the search began 1 ms after the anchor and lost these.
      {"due 0.5 ms after the anchor",
       oneOff(t(10, 0, 0.0005)),
       t(10, 0),
       {t(10, 0, 1)},
       {t(10, 0, 0.0005)}},
      {"daily due just after the anchor",
       daily(10, 0),
       t(10, 0) - 0.0005,
       {t(10, 0), t(10, 0, 1)},
       {t(10, 0)}},
      {"daily due at the anchor comes next day",
       daily(10, 0),
       t(10, 0),
       {t(10, 0, 1), t(10, 0, 0, 11)},
       {t(10, 0, 0, 11)}},
      {"found too late", oneOff(t(10, 0)), t(9, 59), {t(10, 1, 31), t(10, 2)}, {}, {t(10, 0)}},
      {"countdown from creation",
       with(VisitTrigger::countdown(1500), t(10, 0)),
       t(10, 20),
       {t(10, 24, 50), t(10, 25, 10), t(10, 26)},
       {t(10, 25)}},
      // Days 11 and 12 are never looked at: the search starts after the new anchor.
      {"daily across a long gap",
       daily(9, 0),
       t(8, 0),
       {t(10, 0, 0, 12), t(10, 0, 30, 12), t(9, 0, 10, 13)},
       {t(9, 0, 0, 13)},
       {t(9, 0)}},
  };
  for (const Row& row : rows) {
    Harness h(newYork, 30, 30);
    h.scheduler.setReminders({row.reminder});
    h.pollAt(row.anchor);
    Dates delivered;
    for (const Date poll : row.polls) {
      for (const Date due : h.pollAt(poll)) delivered.push_back(due);
    }
    EXPECT_EQ(delivered, row.delivered) << row.name;
    EXPECT_EQ(h.stale(), row.stale) << row.name;
  }
}

TEST(VisitScheduler, FiredMarksAcrossEdits) {
  const Reminder pills = oneOff(t(10, 0));
  Reminder rephrased = pills, moved = pills, remade = pills;
  rephrased.phrase = "vitamins";
  moved.trigger = VisitTrigger::oneOff(t(10, 30));
  remade.createdAt = remade.createdAt + 1;
  struct Row {
    const char* name;
    std::vector<std::vector<Reminder>> edits;  // handed in one after the other
    Dates firesAgain;
  };
  const Row rows[] = {
      {"phrase edited", {{rephrased}}, {}},
      {"another reminder added", {{oneOff(t(7, 0)), pills}}, {}},
      {"moved later", {{moved}}, {t(10, 30)}},
      {"creation time changed", {{remade}}, {t(10, 0)}},
      {"removed and added back", {{}, {pills}}, {t(10, 0)}},
      {"changed duplicate after the first", {{pills, moved}}, {}},
      {"first entry changed", {{moved, pills}}, {t(10, 0)}},
  };
  for (const Row& row : rows) {
    Harness h(newYork, 30, 30);
    h.scheduler.setReminders({pills});
    h.pollAt(t(9, 59));
    ASSERT_EQ(h.pollAt(t(10, 0, 30)), Dates{t(10, 0)}) << row.name;
    for (const auto& list : row.edits) h.scheduler.setReminders(list);
    h.pollAt(t(9, 59));  // clock back before the old time: only the mark holds it back
    Dates fired;
    for (const Date poll : {t(10, 0, 30), t(10, 30, 30)}) {
      for (const Date due : h.pollAt(poll)) fired.push_back(due);
    }
    EXPECT_EQ(fired, row.firesAgain) << row.name;
  }
}

TEST(VisitScheduler, ClockGoingBackAndReanchoring) {
  Harness h(newYork, 30, 30);
  const Reminder once = oneOff(t(10, 0));
  const Reminder everyDay = daily(10, 0);
  h.scheduler.setReminders({once, everyDay});
  h.pollAt(t(9, 59));
  EXPECT_TRUE(h.pollAt(t(10, 5)).empty());
  EXPECT_EQ(h.stale(), (Dates{t(10, 0), t(10, 0)}));
  EXPECT_TRUE(h.pollAt(t(10, 6)).empty());
  h.scheduler.setReminders({once, everyDay});

  // Back before the anchor: nothing delivered, read or reported, the anchor moves back;
  // the stale one-shot stays fired, the daily one comes due again.
  const int reads = h.preferenceReads;
  EXPECT_TRUE(h.pollAt(t(9, 58)).empty());
  EXPECT_EQ(h.preferenceReads, reads);
  EXPECT_EQ(h.pollAt(t(10, 0, 30)), Dates{t(10, 0)});

  // After a sleep, re-anchoring drops the backlog without reporting it.
  h.preferences.activeStartHour = 0;
  h.preferences.activeEndHour = 23;
  h.clock->set(t(13, 20));
  h.scheduler.reanchor();
  EXPECT_EQ(h.pollAt(t(14, 0, 30)), Dates{t(14, 0)});
  EXPECT_EQ(h.staleReports.size(), 1u);
}

TEST(VisitScheduler, ReadsTheClockAndSettingsOncePerCall) {
  Harness h(newYork, 9, 21, true);
  h.scheduler.setReminders({oneOff(t(10, 0)), daily(10, 0)});
  h.pollAt(t(9, 0));
  h.clock->set(t(10, 1, 30));
  h.clock->setStepPerRead(60);  // a second read would land a minute later
  const int reads = h.clock->reads();
  EXPECT_EQ(h.scheduler.dueVisits().size(), 3u);
  EXPECT_EQ(h.clock->reads(), reads + 1);
  EXPECT_EQ(h.preferenceReads, 1);
  EXPECT_EQ(h.stale(), Dates{t(9, 30)});
}

TEST(VisitScheduler, NextHourlyVisit) {
  // Active hours, half hours, after (none: the clock's 10:20) and the visit expected.
  using O = std::optional<Date>;
  const std::tuple<int, int, bool, O, O> rows[] = {
      {9, 21, true, t(10, 0), t(10, 30)},       {9, 21, false, std::nullopt, t(11, 0)},
      {9, 21, true, t(21, 40), t(9, 0, 0, 11)}, {14, 14, true, t(15, 10), t(14, 0, 0, 11)},
      {30, 30, true, t(10, 0), std::nullopt},   {0, 23, false, t(1, 10, 0, 8), t(3, 0, 0, 8)},
  };  // 02:00 is skipped on 03-08
  for (const auto& [start, end, half, after, expected] : rows) {
    Harness h(newYork, start, end, half);
    h.clock->set(t(10, 20));
    EXPECT_EQ(h.scheduler.nextHourlyVisit(after), expected) << start << half;
  }
}

// The soonest reminder time at or after the moment asked, also between and after polls,
// where the searches kept for polling must not answer for a later start.
TEST(VisitScheduler, NextReminderTimeIsTheSoonestOfEachReminder) {
  const Reminder soon = oneOff(t(10, 50), "tea");
  const Reminder countdown = with(VisitTrigger::countdown(600), t(10, 35));
  const Reminder hourly = with(VisitTrigger::hourly(), t(9, 0));
  const Reminder past = oneOff(t(10, 0), "gone");
  const Reminder stretch = daily(10, 45);
  const struct {
    const char* name;
    std::vector<Reminder> reminders;
    Dates polls;
    Date asked;
    std::optional<Date> expected;
  } rows[] = {
      {"a one-off among hourly ones", {hourly, soon}, {}, t(10, 40), t(10, 50)},
      {"countdown from its creation, past one-off ignored",
       {past, soon, countdown},
       {},
       t(10, 40),
       t(10, 45)},
      {"nothing ahead", {past, hourly}, {}, t(10, 40), std::nullopt},
      {"at the moment asked", {soon}, {}, t(10, 50), t(10, 50)},
      {"a daily time that has fired comes next day",
       {stretch, past},
       {t(10, 40), t(10, 45, 10)},
       t(10, 46),
       t(10, 45, 0, 11)},
      {"a one-off delivered lies behind",
       {soon, stretch},
       {t(10, 49), t(10, 50, 10)},
       t(10, 50, 20),
       t(10, 45, 0, 11)},
      {"asked before the searches kept start",
       {stretch},
       {t(10, 46), t(10, 47)},
       t(10, 44),
       t(10, 45)},
  };
  for (const auto& row : rows) {
    Harness h(newYork, 30, 30);
    h.scheduler.setReminders(row.reminders);
    for (const Date poll : row.polls) h.pollAt(poll);
    EXPECT_EQ(h.scheduler.nextReminderTime(row.asked), row.expected) << row.name;
    // Asking leaves the polls as they were.
    EXPECT_EQ(h.scheduler.nextReminderTime(row.asked), row.expected) << row.name;
  }
}

// A day of 30-second polls across a clock change, visits all day and daily reminders at
// 01:30 and 02:30. Each local boundary gives one visit, never late: a skipped one none, a
// repeated one only its first occurrence.
TEST(VisitScheduler, EveryBoundaryOnceOnClockChangeDays) {
  const Calendar utc("UTC");
  const auto z = [&](int m, int d, int h, int min) { return *utc.date(2026, m, d, h, min); };
  struct Row {
    const char* zone;
    int month, day, skippedHour;  // -1 on a day with a repeated hour
    Date at0130, at0230;
  };
  const Row rows[] = {
      {"America/New_York", 3, 8, 2, z(3, 8, 6, 30), z(3, 8, 7, 0)},
      {"America/New_York", 11, 1, -1, z(11, 1, 5, 30), z(11, 1, 7, 30)},
      {"Australia/Sydney", 10, 4, 2, z(10, 3, 15, 30), z(10, 3, 16, 0)},
      {"Australia/Sydney", 4, 5, -1, z(4, 4, 14, 30), z(4, 4, 15, 30)},
  };
  for (const Row& row : rows) {
    for (const bool half : {false, true}) {
      const Calendar calendar(row.zone, "en_US");
      const Date dayStart = *calendar.date(2026, row.month, row.day);
      Harness h(calendar, 0, 23, half);
      const Reminder early = daily(1, 30, dayStart), late = daily(2, 30, dayStart);
      h.scheduler.setReminders({early, late});
      std::vector<std::pair<int, int>> hourly;
      std::vector<std::pair<UUID, Date>> reminders;
      for (Date now = dayStart - 1800; now < calendar.startOfNextDay(dayStart); now += 30) {
        h.clock->set(now);
        for (const Visit& visit : h.scheduler.dueVisits()) {
          EXPECT_LT(now - visit.scheduledFor, 30) << row.zone;
          if (visit.kind.value() == Visit::Kind::Case::reminder) {
            reminders.emplace_back(visit.kind.reminderID(), visit.scheduledFor);
          } else if (calendar.isSameDay(visit.scheduledFor, dayStart)) {
            const Date at = visit.scheduledFor;
            hourly.emplace_back(calendar.hour(at), calendar.minute(at));
          }
        }
      }
      std::vector<std::pair<int, int>> expected;
      for (int hour = 0; hour < 24; ++hour) {
        if (hour == row.skippedHour) continue;
        expected.emplace_back(hour, 0);
        if (half) expected.emplace_back(hour, 30);
      }
      SCOPED_TRACE(testing::Message() << row.zone << " " << row.month << (half ? " half" : ""));
      EXPECT_EQ(hourly, expected);
      EXPECT_EQ(reminders, (std::vector<std::pair<UUID, Date>>{{early.id, row.at0130},
                                                               {late.id, row.at0230}}));
      EXPECT_TRUE(h.staleReports.empty());
    }
  }
}

VisitTrigger recurring(RecurrenceDays days, int hour, int minute) {
  return VisitTrigger::recurring(Recurrence(std::move(days), hour, minute));
}

TEST(Reminder, ScheduleDescription) {
  const std::pair<Reminder, std::string> rows[] = {
      // empty: any time, without failing
      {with(VisitTrigger::hourly()), "every hour"},
      {with(VisitTrigger::oneOff(t(0, 30, 0, 11))), "Wed 12:30 AM"},
      {with(VisitTrigger::countdown(1200), t(23, 50)), "12:10 AM"},
      {with(recurring(RecurrenceDays::specific({2}), 0, 5)), "some days at 12:05 AM"},
      {with(VisitTrigger::countdown(std::numeric_limits<double>::quiet_NaN())), ""},
      {with(VisitTrigger::oneOff(t(12, 0))), "12:00 PM"},  // today: the time alone
      {with(VisitTrigger::oneOff(t(23, 59))), "11:59 PM"},
      {with(recurring(RecurrenceDays::weekdays(), 12, 0)), "weekdays at 12:00 PM"},
  };
  for (const auto& [reminder, expected] : rows) {
    const std::string text = reminder.scheduleDescription(newYork, t(8, 0));  // a Tuesday
    if (expected.empty())
      EXPECT_NE(text.find(':'), std::string::npos) << text;
    else
      EXPECT_EQ(text, expected);
  }
}

// Regression: the time was formatted in the system's zone while "today" was judged in the
// calendar's, so a Tokyo calendar on a New York machine showed New York times.
TEST(Reminder, ScheduleTextUsesTheCalendarsZone) {
  const Calendar tokyo("Asia/Tokyo", "en_US");
  std::unique_ptr<icu::TimeZone> saved(icu::TimeZone::createDefault());
  icu::TimeZone::adoptDefault(
      icu::TimeZone::createTimeZone(icu::UnicodeString(u"America/New_York")));
  const Reminder late = with(VisitTrigger::oneOff(*tokyo.date(2026, 3, 10, 23, 30)));
  const std::string today = late.scheduleDescription(tokyo, *tokyo.date(2026, 3, 10, 9, 0));
  const std::string otherDay = late.scheduleDescription(tokyo, *tokyo.date(2026, 3, 9, 9, 0));
  icu::TimeZone::adoptDefault(saved.release());
  EXPECT_EQ(today, "11:30 PM");
  EXPECT_EQ(otherDay, "Tue 11:30 PM");
}

TEST(Reminder, JsonForms) {
  const Reminder reminder(*UUID::fromString("0f4b8e4c-6a1d-4c2e-9b7a-3d2e1f0a9b8c"),
                          "call \"mum\" \xF0\x9F\x90\x92", VisitTrigger::countdown(0.3),
                          Date(794'012'345.678));
  const Json written = json::parse(json::dump(reminder.toJson()));
  EXPECT_EQ(Reminder::fromJson(JsonReader(written)), reminder);
  const VisitTrigger specific = recurring(RecurrenceDays::specific({6, 2, 4}), 0, 5);
  const char* specificText =
      R"({"recurring":{"_0":{"days":{"specific":{"_0":[2,4,6]}},"hour":0,"minute":5}}})";
  EXPECT_EQ(json::dump(specific.toJson()), specificText);
  EXPECT_EQ(VisitTrigger::fromJson(JsonReader(json::parse(specificText))), specific);
  EXPECT_THROW(VisitTrigger::countdown(1.0 / 0.0).toJson(), EncodingError);
  for (const char* text : {R"({"hourly":{},"oneOff":{}})", "{}", R"({"weekly":{}})"}) {
    try {
      VisitTrigger::fromJson(JsonReader(json::parse(text)));
      ADD_FAILURE() << text;
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.description(), "Invalid number of keys found, expected one.") << text;
    }
  }
  // Expired strictly before its time: at the exact moment it is still due.
  const Reminder due = with(VisitTrigger::oneOff(t(10, 0)));
  EXPECT_FALSE(due.hasExpired(t(10, 0)));
  EXPECT_TRUE(due.hasExpired(t(10, 0, 0.001)));
  const Reminder countdown = with(VisitTrigger::countdown(60), t(10, 0));
  EXPECT_FALSE(countdown.hasExpired(t(10, 1)));
  EXPECT_TRUE(countdown.hasExpired(t(10, 1, 0.001)));
  EXPECT_FALSE(with(recurring(RecurrenceDays::daily(), 9, 0)).hasExpired(t(23, 0, 0, 20)));
}

// Clock-change days are covered by the scheduler's day-long runs above.
TEST(VisitTrigger, NextOccurrence) {
  const Date ten = t(10, 0);
  const std::tuple<VisitTrigger, Date, std::optional<Date>> rows[] = {
      {VisitTrigger::countdown(1500), ten + 1500.001, std::nullopt},  // counted from `ten`
      {VisitTrigger::countdown(1500), ten + 1500, ten + 1500},
      {recurring(RecurrenceDays::daily(), 24, 0), ten, std::nullopt},  // never rolls over
      {recurring(RecurrenceDays::daily(), 9, 30), t(9, 30, 1), t(9, 30, 0, 11)},
      {recurring(RecurrenceDays::specific({1}), 8, 0), t(8, 1, 0, 15), t(8, 0, 0, 22)},  // Sundays
      {recurring(RecurrenceDays::specific({0, 8}), 8, 0), ten, std::nullopt},
      // After Friday's time, weekdays go on on Monday.
      {recurring(RecurrenceDays::weekdays(), 9, 0), t(9, 0, 1, 13), t(9, 0, 0, 16)},
  };
  for (const auto& [trigger, from, expected] : rows) {
    EXPECT_EQ(trigger.nextOccurrence(from, ten, newYork), expected)
        << from.timeIntervalSinceReferenceDate();
  }
}

}  // namespace
}  // namespace vorlane
