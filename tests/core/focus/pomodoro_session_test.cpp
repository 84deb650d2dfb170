#include "core/focus/pomodoro_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/focus/completion_reminders.h"
#include "core/focus/focus_input.h"
#include "core/focus/idle_focus_invitations.h"
#include "tests/support/text_samples.h"

namespace vorlane {
namespace {

using Session = PomodoroSession;
using Phase = PomodoroSession::Phase;
using Kind = PomodoroSession::Kind;
using Event = PomodoroSession::Event;
using Completion = PomodoroSession::Completion;
using Suspension = PomodoroSession::Suspension;

const Calendar utc("UTC");
const Calendar ny("America/New_York");
const Date t0(800000000);
const double inf = std::numeric_limits<double>::infinity();
const Date now = t0 + 400;  // every operation of the transition table happens now
const UUID someID = *UUID::fromString("0F8B3C1E-5A7D-4E2B-9C61-3D4F5A6B7C8D");

enum class From { idle, working, awaitingBreak, onBreak, pausedWork, pausedRest };

// 25 and 10 minutes, goal "goal": working(t0, t0+1500), awaitingBreak(t0-100) holding a
// completion, onBreak(t0, t0+600), paused(1400, work, 100), paused(540, rest, 60).
Session in(From from) {
  Session s(25, 10);
  if (from == From::idle) return s;
  s.start(from == From::working || from == From::pausedWork ? t0 : t0 - 2000, "  goal ");
  if (from == From::awaitingBreak) (void)s.advance(t0 - 100, utc);
  if (from == From::onBreak || from == From::pausedRest) s.startBreak(t0);
  if (from == From::pausedWork) s.pause(t0 + 100);
  if (from == From::pausedRest) s.pause(t0 + 60);
  return s;
}

enum class Op { start, startBreak, pause, resume, extend, skip, cancel, advance };

std::optional<Event> run(Session& s, Op op) {
  switch (op) {
    // The goal is trimmed of every kind of white space at its ends only.
    case Op::start:
      s.start(now, "\u00A0 next\n\nstep \u3000\t");
      break;
    case Op::startBreak:
      s.startBreak(now);
      break;
    case Op::pause:
      s.pause(now);
      break;
    case Op::resume:
      s.resume(now);
      break;
    case Op::extend:
      s.extend(300, now);
      break;
    case Op::skip:
      s.skipBreak();
      break;
    case Op::cancel:
      s.cancel();
      break;
    case Op::advance:
      return s.advance(now + 10000, utc);  // long past every end
  }
  return std::nullopt;
}

TEST(PomodoroSession, EveryOperationFromEveryPhase) {
  using W = Phase::Working;
  using B = Phase::OnBreak;
  using P = Phase::Paused;
  const Phase start = W{now, now + 1500}, rest = B{now, now + 600}, idle = Phase::Idle{};
  // Rows in the order of From, columns in the order of Op; none: the session stays as it was.
  const std::optional<Phase> table[6][8] = {
      {start, rest, {}, {}, {}, {}, {}, {}},
      {start,
       rest,
       P{1100, Kind::work, 400},
       {},
       W{t0, t0 + 1800},
       {},
       idle,
       Phase::AwaitingBreak{now + 10000}},
      {start, rest, {}, {}, W{now - 1500, now + 300}, idle, idle, {}},
      {start, rest, P{200, Kind::rest, 400}, {}, B{t0, t0 + 900}, idle, idle, idle},
      {start, rest, {}, W{now - 100, now + 1400}, P{1700, Kind::work, 100}, {}, idle, {}},
      {start, rest, {}, B{now - 60, now + 540}, P{840, Kind::rest, 60}, idle, idle, {}},
  };
  for (int cell = 0; cell < 48; ++cell) {
    const From from = From(cell / 8);
    const Op op = Op(cell % 8);
    SCOPED_TRACE(testing::Message() << "from " << cell / 8 << " op " << cell % 8);
    const Session before = in(from);
    Session s = before;
    const std::optional<Event> event = run(s, op);
    const std::optional<Phase>& expected = table[cell / 8][cell % 8];
    if (!expected) {
      EXPECT_EQ(s, before);
      EXPECT_EQ(event, std::nullopt);
      continue;
    }
    EXPECT_EQ(s.phase(), *expected);
    const bool ended = op == Op::advance;
    EXPECT_EQ(event, !ended ? std::nullopt
                            : std::optional(from == From::working ? Event::workCompleted
                                                                  : Event::breakCompleted));
    EXPECT_EQ(s.focus(), op == Op::start               ? "next\n\nstep"
                         : expected->is<Phase::Idle>() ? ""
                                                       : before.focus());
    EXPECT_EQ(s.sessionID() != before.sessionID(), op == Op::start);
    EXPECT_EQ(s.completedToday(), before.completedToday() + (event == Event::workCompleted));
    if ((op == Op::pause || op == Op::resume || op == Op::extend) && from != From::awaitingBreak) {
      EXPECT_EQ(s.completion(), before.completion());
    } else {
      EXPECT_EQ(s.completion().has_value(), ended);
    }
    EXPECT_EQ(s.workDuration(), before.workDuration());
    EXPECT_EQ(s.breakDuration(), before.breakDuration());
  }
}

TEST(PomodoroSession, PhaseEndsAtItsEndAndAdvanceEndsOnePhaseAtTheScheduledTime) {
  Session s = in(From::working);
  EXPECT_EQ(s.advance(Date(std::nextafter((t0 + 1500).timeIntervalSinceReferenceDate(), 0.0)), utc),
            std::nullopt);
  EXPECT_EQ(s.advance(t0 + 1500, utc), Event::workCompleted);
  EXPECT_EQ(s.phase(), Phase(Phase::AwaitingBreak{t0 + 1500}));
  s.start(t0, " essay ");
  const Date wake = t0 + 5 * 3600;  // the computer slept through the end
  ASSERT_EQ(s.advance(wake, utc), Event::workCompleted);
  EXPECT_EQ(s.phase(), Phase(Phase::AwaitingBreak{wake}));
  EXPECT_EQ(s.completion(), (Completion{Kind::work, 1500, t0 + 1500, "essay", s.sessionID()}));
  EXPECT_EQ(s.completion()->nudge(), "Time to stand up and stretch.");
  EXPECT_EQ(s.advance(wake + 86400, utc), std::nullopt);  // no break starts by itself
  s.startBreak(wake);
  ASSERT_EQ(s.advance(wake + 7200, utc), Event::breakCompleted);
  EXPECT_EQ(s.completion(), (Completion{Kind::rest, 600, wake + 600, "essay", s.sessionID()}));
  EXPECT_EQ(s.completion()->nudge(), "Ready when you are.");
  EXPECT_EQ(s.completedToday(), 2);  // both focuses; a break is never counted
}

TEST(PomodoroSession, WhatTheMenuAndMascotShowInEveryPhase) {
  using O = std::optional<double>;
  using D = std::optional<Date>;
  // From, isRunning, isPaused, remaining, progress, endsAt, all at `now` (t0 + 400).
  const std::tuple<From, bool, bool, O, O, D> rows[] = {
      {From::idle, false, false, {}, {}, {}},
      {From::working, true, false, 1100.0, 400.0 / 1500, t0 + 1500},
      {From::awaitingBreak, true, false, {}, {}, {}},
      {From::onBreak, true, false, 200.0, 400.0 / 600, t0 + 600},
      {From::pausedWork, true, true, 1400.0, 100.0 / 1500, {}},
      {From::pausedRest, true, true, 540.0, 60.0 / 600, {}},
  };
  for (const auto& [from, running, paused, remaining, progress, endsAt] : rows) {
    const Session s = in(from);
    SCOPED_TRACE(static_cast<int>(from));
    EXPECT_EQ(s.isRunning(), running);
    EXPECT_EQ(s.isPaused(), paused);
    EXPECT_EQ(s.remaining(now), remaining);
    EXPECT_EQ(s.progress(now), progress);
    EXPECT_EQ(s.endsAt(), endsAt);
  }
  EXPECT_EQ(in(From::working).remaining(t0 + 9999), 0.0);  // never negative
  EXPECT_EQ(in(From::working).progress(t0 + 9999), 1.0);
  Session empty(0, 0);
  empty.start(t0, "x");
  EXPECT_EQ(empty.progress(t0), 1.0);  // a phase of no length is done
  // A finished 25-minute focus extended by 5 goes on from 25/30 of the way.
  Session extended = in(From::awaitingBreak);
  extended.extend(300, now);
  EXPECT_DOUBLE_EQ(extended.progress(now).value(), 1500.0 / 1800);
  EXPECT_EQ(extended.endsAt(), now + 300);
}

// Regression: minutes * 60 overflowed a signed 64-bit number (undefined) for huge settings.
TEST(PomodoroSession, LengthsInMinutesSaturateInsteadOfOverflowing) {
  const std::int64_t huge = std::numeric_limits<std::int64_t>::max();
  const Session s(huge, -huge);
  EXPECT_EQ(s.workDuration(), static_cast<double>(huge));
  EXPECT_EQ(s.breakDuration(), static_cast<double>(std::numeric_limits<std::int64_t>::min()));
}

TEST(PomodoroSession, CountsDistinctSessionsPerDay) {
  Session s(25, 10);
  for (const int hour : {9, 10}) {
    s.start(*ny.date(2026, 3, 10, hour, 0), "");
    ASSERT_EQ(s.advance(*ny.date(2026, 3, 10, hour, 25), ny), Event::workCompleted);
  }
  EXPECT_EQ(s.completedToday(), 2);
  // Ended at 23:50, noticed at 00:05: counts on the new day, and forgets yesterday's ids.
  const Date end = *ny.date(2026, 3, 10, 23, 50);
  s.start(end - 1500, "");
  ASSERT_EQ(s.advance(end + 900, ny), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 1);
  s.extend(600, end + 900);  // finished again: not counted again on the new day
  ASSERT_EQ(s.advance(end + 1500, ny), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 1);
}

TEST(PomodoroSessionTexts, TitlesStatusAndCountdown) {
  // 2.5 minutes: not banker's rounding; -20 s: never "-0".
  for (const auto& [duration, title] : {std::pair{89.0, "1 min focus complete"},
                                        {90.0, "2 min focus complete"},
                                        {150.0, "3 min focus complete"},
                                        {-20.0, "0 min focus complete"}}) {
    EXPECT_EQ((Completion{Kind::work, duration, t0, "", UUID()}.title()), title);
  }
  const Completion c{Kind::work, 1500, t0, "", UUID()};
  EXPECT_EQ(c.elapsedDescription(t0 - 3600), "Finished just now");
  EXPECT_EQ(c.elapsedDescription(t0 + 3660), "Finished 1 hr 1 min ago");
  Session s(25, 5);
  s.start(t0, "");
  EXPECT_EQ(s.statusText(t0 + 0.2), "Focus 25:00");
  EXPECT_EQ(s.statusText(t0 + 1600), "Focus 0:00");  // past its end before advance
  s.startBreak(t0);
  s.pause(t0 + 60);
  EXPECT_EQ(s.statusText(t0 + 61), "Paused 4:00");
  s.resume(t0 + 61);
  ASSERT_EQ(s.advance(t0 + 400, utc), Event::breakCompleted);
  EXPECT_EQ(s.statusText(t0 + 400), "Done");  // idle, until the completion is acknowledged
  const std::pair<double, const char*> countdowns[] = {
      {1499.2, "25:00"}, {1499, "24:59"},        {0.4, "0:01"},
      {-inf, "0:00"},    {std::nan(""), "0:00"}, {inf, "153722867280912930:07"}};  // saturates
  for (const auto& [seconds, text] : countdowns) EXPECT_EQ(Session::countdown(seconds), text);
}

TEST(CompletionReminders, SequencesOfCallsForOneCompletion) {
  const Completion done{Kind::work, 1500, t0, "goal", someID};
  const std::vector<std::pair<double, bool>> rows[] = {
      // (seconds after the end, due)
      {{29.999, false}, {30, true}, {30, false}, {90, true}, {90, false}},
      {{35, true}, {95, true}},
      {{35.001, false}, {95.001, false}},  // the tolerance's edge
      {{94, true}, {95, false}},
      {{96, false}, {1000, false}},  // both passed: only the later
  };
  for (const auto& calls : rows) {
    CompletionReminders r;
    for (const auto& [after, due] : calls) EXPECT_EQ(r.takeDueReminder(done, t0 + after), due);
  }
  const Completion other{Kind::work, 1500, t0 + 0.5, "goal", someID};
  CompletionReminders reminders;
  ASSERT_TRUE(reminders.takeDueReminder(done, t0 + 31));
  EXPECT_TRUE(reminders.takeDueReminder(other, t0 + 31));  // a new completion starts over
  EXPECT_FALSE(reminders.takeDueReminder(std::nullopt, t0 + 92));
  EXPECT_TRUE(reminders.takeDueReminder(done, t0 + 34));  // and so does one handed in again
}

TEST(SessionSuspension, ValidityLimitsEachSideOfTheEdge) {
  const double week = 604800;
  const std::tuple<double, double, std::string, bool> rows[] = {
      // remaining, elapsed, goal
      {week, 0, "", true},
      {week + 0.001, 300, "", false},
      {0.001, week, "", true},
      {1, week + 0.001, "", false},
      {1, -0.001, "", false},
      {0, 300, "", false},
      {std::nan(""), 1, "", false},
      {1, inf, "", false},
      {1, 1, repeated(familyEmoji, 120), true},
      {1, 1, repeated(familyEmoji, 121), false},
      {1, 1, std::string(120, 'x') + " ", false},  // stored as typed: the blank counts
  };
  for (const auto& [remaining, elapsed, goal, valid] : rows) {
    const Suspension record{someID, goal, remaining, elapsed, false};
    EXPECT_EQ(record.isValid(), valid) << remaining << " " << elapsed << " " << goal.size();
    Session session(25, 5);  // restore applies the same rule, a refusal changing nothing
    const Session before = session;
    EXPECT_EQ(session.restore(record), valid);
    EXPECT_EQ(session == before, !valid);
  }
}

TEST(SessionSuspension, RestoreGivesAPausedFocusAndCarriesTheCountedState) {
  // A focus counted before the restart and finished again afterwards is not counted twice.
  Session before(25, 5);
  before.start(t0, "goal");
  ASSERT_EQ(before.advance(t0 + 1500, utc), Event::workCompleted);
  before.extend(600, t0 + 1500);
  const std::optional<Suspension> saved = before.suspension(t0 + 1600);
  ASSERT_EQ(saved, (Suspension{before.sessionID(), "goal", 500, 1600, true}));
  EXPECT_EQ(before.suspension(t0 + 2100), std::nullopt);  // no time left
  before.pause(t0 + 1600);
  EXPECT_EQ(before.suspension(t0 + 9999), saved);
  before.startBreak(t0);
  EXPECT_EQ(before.suspension(t0 + 10), std::nullopt);
  Session after(25, 5);
  after.start(t0 - 9000, "earlier");
  ASSERT_EQ(after.advance(t0 - 7500, utc), Event::workCompleted);
  ASSERT_TRUE(after.restore(*saved));
  EXPECT_EQ(after.phase(), Phase(Phase::Paused{500, Kind::work, 1600}));
  EXPECT_EQ(after.sessionID(), saved->sessionID);
  EXPECT_EQ(after.completion(), std::nullopt);
  EXPECT_EQ(after.completedToday(), 1);
  // The earlier session was the one counted; discarding it must not uncount the restored one.
  after.discardLastCompletion();
  after.resume(t0 + 2000);
  ASSERT_EQ(after.advance(t0 + 2500, utc), Event::workCompleted);
  EXPECT_EQ(after.completedToday(), 0);
}

TEST(SessionSuspension, Json) {
  EXPECT_EQ(json::dump(Suspension{someID, "goal", 1200, 300.5, false}.toJson()),
            "{\"sessionID\":\"0F8B3C1E-5A7D-4E2B-9C61-3D4F5A6B7C8D\",\"focus\":\"goal\","
            "\"remaining\":1200,\"elapsed\":300.5,\"wasCounted\":false}");
  EXPECT_THROW((void)(Suspension{someID, "", std::nan(""), 0, false}.toJson()), EncodingError);
  // Lower-case id, keys out of order, an extra key.
  const Json complete = json::parse(R"({"wasCounted":true,"elapsed":300,"extra":[1],)"
                                    R"("sessionID":"0f8b3c1e-5a7d-4e2b-9c61-3d4f5a6b7c8d",)"
                                    R"("remaining":1200.5,"focus":"g"})");
  EXPECT_EQ(Suspension::fromJson(JsonReader(complete)), (Suspension{someID, "g", 1200.5, 300, 1}));
  for (const auto& [key, value] :  // null: the key left out
       {std::pair{"focus", Json()}, {"wasCounted", Json(1)}, {"sessionID", Json("x-1")}}) {
    Json changed = complete;
    if (value.is_null())
      changed.erase(key);
    else
      changed[key] = value;
    EXPECT_THROW((void)Suspension::fromJson(JsonReader(changed)), DecodingError) << key;
  }
}

TEST(IdleFocusInvitations, TakeDueConsumesOccasionsThatAreAlreadyTooLate) {
  // Seconds after the reset, and whether an invitation is offered then.
  const std::vector<std::pair<double, bool>> rows[] = {
      {{-1, false},
       {899, false},
       {900, true},
       {900, false},
       {4499, false},
       {4500, true},
       {90000, false}},
      {{930, true}, {4529, false}, {4530, true}},  // the edge of on time moves the second
      {{930.001, false}, {4499, false}, {4500, true}, {4531, false}},  // first consumed, late
      {{4500, true}, {4500, false}, {8100, false}},  // first missed, second taken at once
      {{5000, false}, {99999, false}},               // both too late in one call
  };
  for (const auto& calls : rows) {
    IdleFocusInvitations cadence;
    cadence.reset(t0);
    for (const auto& [after, due] : calls) EXPECT_EQ(cadence.takeDue(t0 + after), due) << after;
    cadence.reset(t0 + 10000);  // a reset starts a new cadence
    EXPECT_FALSE(cadence.takeDue(t0 + 10899));
    EXPECT_TRUE(cadence.takeDue(t0 + 10900));
  }
}

TEST(FocusInput, CleaningAndTheGoalLimitInCharacters) {
  const std::pair<std::string, std::string> cleaned[] = {
      {"  write\n\nthe \r\nb\u00A0c\u3000d\u2028e\u2029f\u0085g\vh\fi\t",
       "write the b c d e f g h i"},
      {"a\u200Bb\uFEFFc", "a\u200Bb\uFEFFc"},  // zero-width space and BOM do not separate
      {"a \u0301b e\u0301", "a b e\u0301"},    // a blank with a mark goes whole, a letter's stays
      {"a\xFF b", "a\uFFFD b"},
      // Regression: a mark after a line break gave "r \u0332", which cleaned again to "r".
      {"r\r\u0332", "r"},
      {"r\n\u0301\u0301 s", "r s"},
  };
  for (const auto& [text, want] : cleaned) {
    EXPECT_EQ(FocusInput::cleaned(text), want) << text;
    EXPECT_EQ(FocusInput::cleaned(want), want) << want;
  }
  // 120 emoji of several code points each are pinned through the quick command's goal.
  const std::pair<std::string, bool> goals[] = {
      {" \n\t\u00A0", false},
      {repeated("e\u0301", 120), true},
      {repeated("e\u0301", 121), false},
      // 120 characters once cleaned, 80 white-space characters more before it.
      {std::string(20, ' ') + repeated("ab\n\n", 39) + "abc" + std::string(21, '\t'), true},
  };
  for (const auto& [goal, valid] : goals) EXPECT_EQ(FocusInput::isValidGoal(goal), valid) << goal;
}

// The one place every focus request, checkpoint and typed command takes its limits from.
TEST(FocusInput, MinutesGoalAndNoteLimitsAtTheirEdges) {
  const struct {
    const char* name;
    bool got, want;
  } rows[] = {
      {"no minutes", FocusInput::isValidMinutes(0), false},
      {"one minute", FocusInput::isValidMinutes(1), true},
      {"the longest focus", FocusInput::isValidMinutes(90), true},
      {"a minute longer", FocusInput::isValidMinutes(91), false},
      {"negative", FocusInput::isValidMinutes(-25), false},
      {"an empty goal fits", FocusInput::fitsGoal(""), true},
      {"120 characters of two code points", FocusInput::fitsGoal(repeated("e\u0301", 120)), true},
      {"121 characters", FocusInput::fitsGoal(std::string(121, 'g')), false},
      {"a note of 240", FocusInput::fitsNextStep(repeated("e\u0301", 240)), true},
      {"a note of 241", FocusInput::fitsNextStep(std::string(241, 'n')), false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.got, row.want) << row.name;
}

}  // namespace
}  // namespace vorlane
