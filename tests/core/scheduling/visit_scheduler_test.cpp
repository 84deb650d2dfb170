#include "core/scheduling/visit_scheduler.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/core/scheduling/scheduler_harness.h"

namespace vorlane {
namespace {

const Calendar newYork("America/New_York", "en_US");

// 2026-03-10, a Tuesday with no clock change near it; `day` moves to the following days.
Date t(int hour, int minute, double second = 0, int day = 10) {
  return *newYork.date(2026, 3, day, hour, minute, 0) + second;
}

Reminder oneOff(const std::string& phrase, Date due) {
  return Reminder(UUID::random(), phrase, VisitTrigger::oneOff(due), t(8, 0));
}

Reminder daily(const std::string& phrase, int hour, int minute) {
  return Reminder(UUID::random(), phrase,
                  VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), hour, minute)),
                  t(8, 0));
}

std::vector<Date> reminderTimes(const std::vector<Visit>& visits) {
  std::vector<Date> times;
  for (const Visit& visit : visits) {
    if (visit.kind.value() == Visit::Kind::Case::reminder) times.push_back(visit.scheduledFor);
  }
  return times;
}

// Hourly visits off: no hour is ever inside a window from 30 to 30.
void noHourlyVisits(Preferences& preferences) {
  preferences.activeStartHour = 30;
  preferences.activeEndHour = 30;
}

TEST(VisitScheduler, FirstCallOnlyAnchors) {
  SchedulerHarness fresh(newYork);
  fresh.scheduler.setReminders({oneOff("tea", t(10, 0))});
  EXPECT_TRUE(fresh.pollAt(t(10, 0)).empty());
  EXPECT_TRUE(fresh.staleReports.empty());
  EXPECT_EQ(fresh.preferenceReads, 0);

  SchedulerHarness h(newYork);
  h.pollAt(t(9, 59, 50));
  const std::vector<Visit> visits = h.pollAt(t(10, 0, 30));
  ASSERT_EQ(visits.size(), 1u);
  const Visit& visit = visits[0];
  EXPECT_FALSE(visit.id.isNil());
  EXPECT_EQ(visit.kind, Visit::Kind::hourly());
  EXPECT_EQ(visit.scheduledFor, t(10, 0));
  EXPECT_EQ(visit.spokenPhrase, "It's ten o'clock");
  EXPECT_EQ(visit.bubbleText, "10:00");
  EXPECT_TRUE(visit.showsBubble);
  EXPECT_EQ(visit.bubbleStyle, Visit::BubbleStyle::headline);
  EXPECT_EQ(visit.choreography, Choreography::standard());
  EXPECT_TRUE(visit.isClickable);
}

TEST(VisitScheduler, HourlyPhraseFollowsTheTemplateOfEachCall) {
  struct Row {
    std::string templateText;
    std::string expected;
  };
  const Row rows[] = {
      {"", "It's ten o'clock"},
      {"{hour} {ampm}", "ten AM"},
      {"Time: {minute}", "Time: zero"},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork);
    h.preferences.phraseTemplate = row.templateText;
    h.pollAt(t(9, 59));
    const std::vector<Visit> visits = h.pollAt(t(10, 0, 10));
    ASSERT_EQ(visits.size(), 1u) << row.templateText;
    EXPECT_EQ(visits[0].spokenPhrase, row.expected) << row.templateText;
    EXPECT_EQ(visits[0].bubbleText, "10:00") << row.templateText;
  }

  SchedulerHarness h(newYork);
  h.pollAt(t(9, 59));
  h.pollAt(t(10, 0, 10));
  h.preferences.phraseTemplate = "{hour} {ampm}";
  const std::vector<Visit> visits = h.pollAt(t(11, 0, 10));
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].spokenPhrase, "eleven AM");
}

TEST(VisitScheduler, StaleToleranceAndWindowEdges) {
  struct Row {
    const char* name;
    Date anchor;
    Date now;
    bool delivered;
    bool stale;
  };
  const Row rows[] = {
      {"90 s late is on time", t(9, 59), t(10, 1, 30), true, false},
      {"91 s late is stale", t(9, 59), t(10, 1, 31), false, true},
      {"a millisecond over is stale", t(9, 59), t(10, 1, 30.001), false, true},
      {"boundary exactly at now", t(9, 59), t(10, 0), true, false},
      {"boundary exactly at the anchor", t(10, 0), t(10, 0, 30), false, false},
      {"a millisecond after the anchor", t(9, 59, 59.999), t(10, 0, 30), true, false},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork);
    h.pollAt(row.anchor);
    const std::vector<Visit> visits = h.pollAt(row.now);
    EXPECT_EQ(dueTimes(visits), row.delivered ? std::vector<Date>{t(10, 0)} : std::vector<Date>{})
        << row.name;
    EXPECT_EQ(h.allStale(), row.stale ? std::vector<Date>{t(10, 0)} : std::vector<Date>{})
        << row.name;
  }
}

TEST(VisitScheduler, MissedHalfHourPollsAreReportedOnce) {
  SchedulerHarness h(newYork);
  h.preferences.halfHourVisitsEnabled = true;
  h.pollAt(t(9, 10));
  EXPECT_EQ(dueTimes(h.pollAt(t(10, 31))), std::vector<Date>{t(10, 30)});
  ASSERT_EQ(h.staleReports.size(), 1u);
  EXPECT_EQ(h.staleReports[0], (std::vector<Date>{t(9, 30), t(10, 0)}));
}

TEST(VisitScheduler, ActiveHours) {
  struct Row {
    const char* name;
    int start;
    int end;
    bool halfHours;
    Date boundary;
    bool delivered;
  };
  const Row rows[] = {
      {"first hour", 9, 21, false, t(9, 0), true},
      {"before the first hour", 9, 21, true, t(8, 30), false},
      {"last hour", 9, 21, false, t(21, 0), true},
      {"half past the last hour", 9, 21, true, t(21, 30), true},
      {"after the last hour", 9, 21, false, t(22, 0), false},
      {"wrapping, late evening", 22, 6, false, t(23, 0), true},
      {"wrapping, midnight", 22, 6, false, t(0, 0), true},
      {"wrapping, early morning", 22, 6, false, t(5, 0), true},
      {"wrapping, half past the last hour", 22, 6, true, t(6, 30), true},
      {"wrapping, after the last hour", 22, 6, false, t(7, 0), false},
      {"wrapping, noon", 22, 6, false, t(12, 0), false},
      {"one-hour window", 9, 9, true, t(9, 30), true},
      {"one-hour window, next hour", 9, 9, false, t(10, 0), false},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork);
    h.preferences.activeStartHour = row.start;
    h.preferences.activeEndHour = row.end;
    h.preferences.halfHourVisitsEnabled = row.halfHours;
    h.pollAt(row.boundary - 40);
    const std::vector<Visit> visits = h.pollAt(row.boundary + 20);
    EXPECT_EQ(dueTimes(visits),
              row.delivered ? std::vector<Date>{row.boundary} : std::vector<Date>{})
        << row.name;
  }
}

TEST(VisitScheduler, BoundarySearchIsBoundedWhateverTheGap) {
  struct Row {
    const char* name;
    int start;
    int end;
    bool halfHours;
    Date anchor;
    Date now;
    std::size_t staleCount;
    Date firstStale;
    Date lastStale;
  };
  const Row rows[] = {
      // 26 boundaries from 10:00 reach 11:00 the next day; 15:00, 30 s ago, is never seen.
      {"hourly, all day", 0, 23, false, t(9, 10), t(15, 0, 30, 11), 26, t(10, 0), t(11, 0, 0, 11)},
      // 50 half hours from 09:30 reach 10:00 the next day.
      {"half-hourly, all day", 0, 23, true, t(9, 10), t(15, 0, 30, 11), 50, t(9, 30),
       t(10, 0, 0, 11)},
      // Inactive hours use up the count too: 08:00 is the first of 26, 09:00 the next day
      // the last, so 10:00 the next day gives no visit.
      {"hourly, daytime", 9, 21, false, t(7, 10), t(10, 0, 30, 11), 14, t(9, 0), t(9, 0, 0, 11)},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork);
    h.preferences.activeStartHour = row.start;
    h.preferences.activeEndHour = row.end;
    h.preferences.halfHourVisitsEnabled = row.halfHours;
    h.pollAt(row.anchor);
    EXPECT_TRUE(h.pollAt(row.now).empty()) << row.name;
    ASSERT_EQ(h.staleReports.size(), 1u) << row.name;
    const std::vector<Date>& stale = h.staleReports[0];
    ASSERT_EQ(stale.size(), row.staleCount) << row.name;
    EXPECT_EQ(stale.front(), row.firstStale) << row.name;
    EXPECT_EQ(stale.back(), row.lastStale) << row.name;
    // The boundaries skipped by the limit are not picked up later either.
    EXPECT_TRUE(h.pollAt(row.now + 30).empty()) << row.name;
  }
}

TEST(VisitScheduler, ReminderVisitCarriesThePhraseAsStored) {
  SchedulerHarness h(newYork);
  noHourlyVisits(h.preferences);
  const Reminder reminder = oneOff("take {time} pills  ", t(10, 0));
  h.scheduler.setReminders({reminder});
  h.pollAt(t(9, 59, 59));
  const std::vector<Visit> visits = h.pollAt(t(10, 0, 30));
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].kind, Visit::Kind::reminder(reminder.id));
  EXPECT_EQ(visits[0].scheduledFor, t(10, 0));
  EXPECT_EQ(visits[0].spokenPhrase, "take {time} pills  ");
  EXPECT_EQ(visits[0].bubbleText, "take {time} pills  ");
  EXPECT_TRUE(visits[0].showsBubble);
  EXPECT_EQ(visits[0].bubbleStyle, Visit::BubbleStyle::headline);
  EXPECT_EQ(visits[0].choreography, Choreography::standard());
  EXPECT_TRUE(visits[0].isClickable);
  EXPECT_TRUE(h.pollAt(t(10, 1)).empty());
  EXPECT_TRUE(h.pollAt(t(10, 1, 30)).empty());
}

TEST(VisitScheduler, OneShotRemindersFireOnce) {
  struct Row {
    const char* name;
    Reminder reminder;
    Date anchor;
    std::vector<Date> polls;
    std::vector<Date> delivered;
    std::vector<Date> stale;
  };
  const Row rows[] = {
      {"due exactly at the anchor", oneOff("a", t(10, 0)), t(10, 0), {t(10, 0, 30), t(10, 1)}, {},
       {}},
      {"due a second after the anchor", oneOff("a", t(10, 0)), t(9, 59, 59),
       {t(10, 0, 30), t(10, 1), t(10, 5)}, {t(10, 0)}, {}},
      {"due exactly at the poll", oneOff("a", t(10, 0)), t(9, 59), {t(10, 0), t(10, 0, 30)},
       {t(10, 0)}, {}},
      {"due at the last on-time poll", oneOff("a", t(10, 0)), t(9, 59), {t(10, 1, 30), t(10, 2)},
       {t(10, 0)}, {}},
      {"found too late", oneOff("a", t(10, 0)), t(9, 59), {t(10, 1, 31), t(10, 2)}, {}, {t(10, 0)}},
      {"countdown from creation",
       Reminder(UUID::random(), "a", VisitTrigger::countdown(1500), t(10, 0)), t(10, 20),
       {t(10, 24, 50), t(10, 25, 10), t(10, 26)}, {t(10, 25)}, {}},
      {"hourly trigger makes no reminder visit", Reminder(UUID::random(), "a",
                                                          VisitTrigger::hourly(), t(8, 0)),
       t(9, 59), {t(10, 0, 30), t(11, 0, 30)}, {}, {}},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork);
    noHourlyVisits(h.preferences);
    h.scheduler.setReminders({row.reminder});
    h.pollAt(row.anchor);
    std::vector<Date> delivered;
    for (const Date poll : row.polls) {
      for (const Date due : dueTimes(h.pollAt(poll))) delivered.push_back(due);
    }
    EXPECT_EQ(delivered, row.delivered) << row.name;
    EXPECT_EQ(h.allStale(), row.stale) << row.name;
  }
}

// A one-shot skipped as stale keeps its fired mark, so it never comes again, not even when
// the clock goes back before it; a recurring reminder does come again.
TEST(VisitScheduler, StaleOneShotStaysFiredWhenTheClockGoesBack) {
  SchedulerHarness h(newYork);
  noHourlyVisits(h.preferences);
  const Reminder once = oneOff("once", t(10, 0));
  const Reminder everyDay = daily("every day", 10, 0);
  h.scheduler.setReminders({once, everyDay});
  h.pollAt(t(9, 59));
  EXPECT_TRUE(h.pollAt(t(10, 5)).empty());
  EXPECT_EQ(h.allStale(), (std::vector<Date>{t(10, 0), t(10, 0)}));

  EXPECT_TRUE(h.pollAt(t(9, 58)).empty());
  const std::vector<Visit> again = h.pollAt(t(10, 0, 30));
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].kind, Visit::Kind::reminder(everyDay.id));
}

TEST(VisitScheduler, RecurringReminderLooksOnlyAtItsFirstOccurrenceAfterTheAnchor) {
  SchedulerHarness h(newYork);
  noHourlyVisits(h.preferences);
  h.scheduler.setReminders({daily("stand-up", 9, 0)});
  h.pollAt(t(8, 0, 0, 10));
  EXPECT_TRUE(h.pollAt(t(10, 0, 0, 12)).empty());
  EXPECT_EQ(h.allStale(), std::vector<Date>{t(9, 0, 0, 10)});
  EXPECT_TRUE(h.pollAt(t(10, 0, 30, 12)).empty());
  EXPECT_EQ(reminderTimes(h.pollAt(t(9, 0, 10, 13))), std::vector<Date>{t(9, 0, 0, 13)});
  EXPECT_EQ(h.staleReports.size(), 1u);
}

TEST(VisitScheduler, StaleListHoldsHourlyTimesThenRemindersInListOrder) {
  SchedulerHarness h(newYork);
  h.scheduler.setReminders({oneOff("late", t(9, 30)), oneOff("early", t(9, 15))});
  h.pollAt(t(8, 50));
  EXPECT_TRUE(h.pollAt(t(10, 10)).empty());
  ASSERT_EQ(h.staleReports.size(), 1u);
  EXPECT_EQ(h.staleReports[0], (std::vector<Date>{t(9, 0), t(10, 0), t(9, 30), t(9, 15)}));

  // Without a callback stale times are dropped quietly.
  SchedulerHarness quiet(newYork);
  quiet.scheduler.onSkippedStaleVisits = nullptr;
  quiet.pollAt(t(8, 50));
  EXPECT_TRUE(quiet.pollAt(t(10, 10)).empty());
  EXPECT_TRUE(quiet.pollAt(t(10, 10, 30)).empty());
}

TEST(VisitScheduler, VisitsDueTogetherKeepHourlyThenListOrder) {
  // Enough visits that an unstable sort would reorder equal times.
  SchedulerHarness h(newYork);
  std::vector<Reminder> reminders;
  for (int i = 0; i < 40; ++i) {
    reminders.push_back(oneOff("r" + std::to_string(i), i % 2 == 0 ? t(10, 0) : t(9, 59, 50)));
  }
  h.scheduler.setReminders(reminders);
  h.pollAt(t(9, 59));
  const std::vector<Visit> visits = h.pollAt(t(10, 0, 30));

  std::vector<Visit::Kind> expected;
  for (int i = 1; i < 40; i += 2) expected.push_back(Visit::Kind::reminder(reminders[i].id));
  expected.push_back(Visit::Kind::hourly());
  for (int i = 0; i < 40; i += 2) expected.push_back(Visit::Kind::reminder(reminders[i].id));
  std::vector<Visit::Kind> kinds;
  for (const Visit& visit : visits) kinds.push_back(visit.kind);
  EXPECT_EQ(kinds, expected);
}

TEST(VisitScheduler, SameIdTwiceFiresOnceInACall) {
  SchedulerHarness h(newYork);
  noHourlyVisits(h.preferences);
  const Reminder first = oneOff("first", t(10, 0));
  Reminder second = first;
  second.phrase = "second";
  h.scheduler.setReminders({first, second});
  h.pollAt(t(9, 59));
  const std::vector<Visit> visits = h.pollAt(t(10, 0, 30));
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].spokenPhrase, "first");
}

TEST(VisitScheduler, FiredMarksAcrossEdits) {
  const Reminder pills = oneOff("pills", t(10, 0));
  const auto edited = [&](auto change) {
    Reminder copy = pills;
    change(copy);
    return copy;
  };
  const Reminder rephrased = edited([](Reminder& r) { r.phrase = "vitamins"; });
  const Reminder moved = edited([](Reminder& r) { r.trigger = VisitTrigger::oneOff(t(10, 30)); });
  const Reminder remade = edited([](Reminder& r) { r.createdAt = r.createdAt + 1; });
  const Reminder other = oneOff("other", t(7, 0));

  struct Row {
    const char* name;
    std::vector<std::vector<Reminder>> edits;  // handed in one after the other
    std::vector<Date> firesAgain;
  };
  const Row rows[] = {
      {"list handed in again", {{pills}}, {}},
      {"phrase edited", {{rephrased}}, {}},
      {"another reminder added", {{other, pills}}, {}},
      {"moved later", {{moved}}, {t(10, 30)}},
      {"creation time changed", {{remade}}, {t(10, 0)}},
      {"removed and added back", {{}, {pills}}, {t(10, 0)}},
      {"first entry unchanged, a changed duplicate after it", {{pills, moved}}, {}},
      {"first entry changed, the old one after it", {{moved, pills}}, {t(10, 0)}},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork);
    noHourlyVisits(h.preferences);
    h.scheduler.setReminders({pills});
    h.pollAt(t(9, 59));
    ASSERT_EQ(reminderTimes(h.pollAt(t(10, 0, 30))), std::vector<Date>{t(10, 0)}) << row.name;
    for (const auto& list : row.edits) h.scheduler.setReminders(list);
    // Set the clock back before the old time so that only the fired mark holds it back.
    h.pollAt(t(9, 59));
    std::vector<Date> fired;
    for (const Date poll : {t(10, 0, 30), t(10, 30, 30), t(11, 0)}) {
      for (const Date due : reminderTimes(h.pollAt(poll))) fired.push_back(due);
    }
    EXPECT_EQ(fired, row.firesAgain) << row.name;
  }
}

TEST(VisitScheduler, EditedTriggerTakesEffectAtTheNextPoll) {
  SchedulerHarness h(newYork);
  noHourlyVisits(h.preferences);
  Reminder standUp = daily("stand up", 10, 0);
  h.scheduler.setReminders({standUp});
  h.pollAt(t(9, 0));
  h.pollAt(t(9, 0, 30));
  standUp.trigger = VisitTrigger::recurring(Recurrence(RecurrenceDays::daily(), 9, 30));
  h.scheduler.setReminders({standUp});
  EXPECT_EQ(reminderTimes(h.pollAt(t(9, 30, 20))), std::vector<Date>{t(9, 30)});
  EXPECT_TRUE(h.pollAt(t(10, 0, 20)).empty());
}

TEST(VisitScheduler, ClockSetBackOnlyMovesTheAnchor) {
  SchedulerHarness h(newYork);
  const Reminder stretch = daily("stretch", 9, 0);
  h.scheduler.setReminders({stretch});
  h.pollAt(t(8, 59, 40));
  EXPECT_EQ(dueTimes(h.pollAt(t(9, 0, 20))), (std::vector<Date>{t(9, 0), t(9, 0)}));
  h.pollAt(t(9, 59, 40));
  EXPECT_EQ(dueTimes(h.pollAt(t(10, 0, 20))), std::vector<Date>{t(10, 0)});
  h.scheduler.setReminders({stretch});  // unchanged: what was learnt about it carries over
  const int reads = h.preferenceReads;

  EXPECT_TRUE(h.pollAt(t(8, 59, 40)).empty());
  EXPECT_TRUE(h.staleReports.empty());
  EXPECT_EQ(h.preferenceReads, reads);
  // The anchor went back with the clock, so the hour and the reminder come due again.
  EXPECT_EQ(dueTimes(h.pollAt(t(9, 0, 20))), (std::vector<Date>{t(9, 0), t(9, 0)}));
  EXPECT_TRUE(h.pollAt(t(9, 0, 20)).empty());
}

TEST(VisitScheduler, ReanchorAfterSleepDropsTheBacklogSilently) {
  SchedulerHarness h(newYork);
  h.scheduler.setReminders({oneOff("lunch", t(12, 0)), oneOff("call", t(14, 0, 10))});
  h.pollAt(t(9, 0, 10));
  h.clock->set(t(13, 20));
  h.scheduler.reanchor();
  const std::vector<Visit> visits = h.pollAt(t(14, 0, 30));
  EXPECT_EQ(dueTimes(visits), (std::vector<Date>{t(14, 0), t(14, 0, 10)}));
  EXPECT_TRUE(h.staleReports.empty());

  // On a new scheduler a re-anchor stands in for the anchoring call.
  SchedulerHarness fresh(newYork);
  fresh.clock->set(t(9, 59, 50));
  fresh.scheduler.reanchor();
  EXPECT_EQ(dueTimes(fresh.pollAt(t(10, 0, 10))), std::vector<Date>{t(10, 0)});
}

TEST(VisitScheduler, ReadsTheClockAndSettingsOncePerCall) {
  SchedulerHarness h(newYork);
  h.preferences.halfHourVisitsEnabled = true;
  h.scheduler.setReminders({oneOff("a", t(10, 0)), daily("b", 10, 0)});
  h.pollAt(t(9, 0));
  EXPECT_EQ(h.preferenceReads, 0);
  // Every read after the first would land a minute later.
  h.clock->set(t(10, 1, 30));
  h.clock->setStepPerRead(60);
  const int reads = h.clock->reads();
  const std::vector<Visit> visits = h.scheduler.dueVisits();
  EXPECT_EQ(h.clock->reads(), reads + 1);
  EXPECT_EQ(h.preferenceReads, 1);
  EXPECT_EQ(dueTimes(visits), (std::vector<Date>{t(10, 0), t(10, 0), t(10, 0)}));
  EXPECT_EQ(h.allStale(), std::vector<Date>{t(9, 30)});
}

TEST(VisitScheduler, NextHourlyVisit) {
  struct Row {
    const char* name;
    int start;
    int end;
    bool halfHours;
    std::optional<Date> after;  // none: the clock's time
    std::optional<Date> expected;
  };
  const Date clockTime = t(10, 20);
  const Row rows[] = {
      {"strictly after a boundary", 9, 21, false, t(10, 0), t(11, 0)},
      {"half hours", 9, 21, true, t(10, 0), t(10, 30)},
      {"from the clock", 9, 21, false, std::nullopt, t(11, 0)},
      {"over night", 9, 21, false, t(21, 10), t(9, 0, 0, 11)},
      {"over night, half hours", 9, 21, true, t(21, 40), t(9, 0, 0, 11)},
      {"one-hour window, next day", 14, 14, false, t(15, 10), t(14, 0, 0, 11)},
      {"one-hour window, half hours", 14, 14, true, t(15, 10), t(14, 0, 0, 11)},
      {"never active", 30, 30, false, t(10, 0), std::nullopt},
      {"never active, half hours", 30, 30, true, t(10, 0), std::nullopt},
      // 2026-03-08 skips 02:00-03:00: the visit after 01:00 is at 03:00 EDT.
      {"spring forward", 0, 23, false, t(1, 10, 0, 8), t(3, 0, 0, 8)},
  };
  for (const Row& row : rows) {
    SchedulerHarness h(newYork, clockTime);
    h.preferences.activeStartHour = row.start;
    h.preferences.activeEndHour = row.end;
    h.preferences.halfHourVisitsEnabled = row.halfHours;
    EXPECT_EQ(h.scheduler.nextHourlyVisit(row.after), row.expected) << row.name;
    EXPECT_EQ(h.preferenceReads, 1) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
