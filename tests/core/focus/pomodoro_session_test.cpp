#include "core/focus/pomodoro_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace vorlane {
namespace {

using Session = PomodoroSession;
using Phase = PomodoroSession::Phase;
using Kind = PomodoroSession::Kind;
using Event = PomodoroSession::Event;

const Calendar utc("UTC");
const Date t0(800000000);
// Every operation of the transition table happens at this moment.
const Date now = t0 + 400;

// A 25-minute focus and a 10-minute break.
Session fresh() { return Session(25, 10); }

enum class From { idle, working, awaitingBreak, onBreak, pausedWork, pausedRest };

// The session in each phase, built through the public operations before `now`:
//   working(t0, t0+1500), awaitingBreak(t0-100) holding a 1500 s completion,
//   onBreak(t0, t0+600), paused(1400, work, 100), paused(540, rest, 60).
Session in(From from) {
  Session s = fresh();
  switch (from) {
    case From::idle:
      break;
    case From::working:
      s.start(t0, "  goal ");
      break;
    case From::awaitingBreak:
      s.start(t0 - 2000, "  goal ");
      (void)s.advance(t0 - 100, utc);
      break;
    case From::onBreak:
      s.start(t0 - 2000, "  goal ");
      s.startBreak(t0);
      break;
    case From::pausedWork:
      s.start(t0, "  goal ");
      s.pause(t0 + 100);
      break;
    case From::pausedRest:
      s.start(t0 - 2000, "  goal ");
      s.startBreak(t0);
      s.pause(t0 + 60);
      break;
  }
  return s;
}

enum class Held { kept, cleared, set };

struct Change {
  Phase phase;
  std::string focus;
  bool newSessionID = false;
  Held completion = Held::kept;
  std::optional<Event> event;
};

// Only the phase changes.
Change goalKept(Phase phase) { return Change{phase, "goal", false, Held::kept, {}}; }

using Op = std::function<std::optional<Event>(Session&)>;

// An operation that reports no event.
template <class F>
Op quiet(F f) {
  return [f](Session& s) -> std::optional<Event> {
    f(s);
    return std::nullopt;
  };
}

const Op doStart = quiet([](Session& s) { s.start(now, "\t next  step \n"); });
const Op doStartBreak = quiet([](Session& s) { s.startBreak(now); });
const Op doPause = quiet([](Session& s) { s.pause(now); });
const Op doResume = quiet([](Session& s) { s.resume(now); });
const Op doExtend = quiet([](Session& s) { s.extend(300, now); });
const Op doSkip = quiet([](Session& s) { s.skipBreak(); });
const Op doCancel = quiet([](Session& s) { s.cancel(); });
// Long past every end the fixtures hold.
const Op doAdvance = [](Session& s) { return s.advance(now + 10000, utc); };

struct TransitionRow {
  const char* name;
  From from;
  Op op;
  // None: the session must stay equal to what it was.
  std::optional<Change> change;
};

TEST(PomodoroSession, EveryOperationFromEveryPhase) {
  const Change started{Phase::Working{now, now + 1500}, "next  step", true, Held::cleared, {}};
  const Change onBreak{Phase::OnBreak{now, now + 600}, "goal", false, Held::cleared, {}};
  const Change idled{Phase::Idle{}, "", false, Held::cleared, {}};
  const TransitionRow rows[] = {
      {"idle start", From::idle, doStart, started},
      {"idle startBreak", From::idle, doStartBreak,
       Change{Phase::OnBreak{now, now + 600}, "", false, Held::cleared, {}}},
      {"idle pause", From::idle, doPause, std::nullopt},
      {"idle resume", From::idle, doResume, std::nullopt},
      {"idle extend", From::idle, doExtend, std::nullopt},
      {"idle skipBreak", From::idle, doSkip, std::nullopt},
      {"idle cancel", From::idle, doCancel, std::nullopt},
      {"idle advance", From::idle, doAdvance, std::nullopt},

      {"working start", From::working, doStart, started},
      {"working startBreak", From::working, doStartBreak, onBreak},
      {"working pause", From::working, doPause, goalKept(Phase::Paused{1100, Kind::work, 400})},
      {"working resume", From::working, doResume, std::nullopt},
      {"working extend", From::working, doExtend, goalKept(Phase::Working{t0, t0 + 1800})},
      {"working skipBreak", From::working, doSkip, std::nullopt},
      {"working cancel", From::working, doCancel, idled},
      {"working advance", From::working, doAdvance,
       Change{Phase::AwaitingBreak{now + 10000}, "goal", false, Held::set, Event::workCompleted}},

      {"awaitingBreak start", From::awaitingBreak, doStart, started},
      {"awaitingBreak startBreak", From::awaitingBreak, doStartBreak, onBreak},
      {"awaitingBreak pause", From::awaitingBreak, doPause, std::nullopt},
      {"awaitingBreak resume", From::awaitingBreak, doResume, std::nullopt},
      {"awaitingBreak extend", From::awaitingBreak, doExtend,
       Change{Phase::Working{now - 1500, now + 300}, "goal", false, Held::cleared, {}}},
      {"awaitingBreak skipBreak", From::awaitingBreak, doSkip, idled},
      {"awaitingBreak cancel", From::awaitingBreak, doCancel, idled},
      {"awaitingBreak advance", From::awaitingBreak, doAdvance, std::nullopt},

      {"onBreak start", From::onBreak, doStart, started},
      {"onBreak startBreak", From::onBreak, doStartBreak, onBreak},
      {"onBreak pause", From::onBreak, doPause, goalKept(Phase::Paused{200, Kind::rest, 400})},
      {"onBreak resume", From::onBreak, doResume, std::nullopt},
      {"onBreak extend", From::onBreak, doExtend, goalKept(Phase::OnBreak{t0, t0 + 900})},
      {"onBreak skipBreak", From::onBreak, doSkip, idled},
      {"onBreak cancel", From::onBreak, doCancel, idled},
      {"onBreak advance", From::onBreak, doAdvance,
       Change{Phase::Idle{}, "", false, Held::set, Event::breakCompleted}},

      {"paused work start", From::pausedWork, doStart, started},
      {"paused work startBreak", From::pausedWork, doStartBreak, onBreak},
      {"paused work pause", From::pausedWork, doPause, std::nullopt},
      {"paused work resume", From::pausedWork, doResume,
       goalKept(Phase::Working{now - 100, now + 1400})},
      {"paused work extend", From::pausedWork, doExtend,
       goalKept(Phase::Paused{1700, Kind::work, 100})},
      {"paused work skipBreak", From::pausedWork, doSkip, std::nullopt},
      {"paused work cancel", From::pausedWork, doCancel, idled},
      {"paused work advance", From::pausedWork, doAdvance, std::nullopt},

      {"paused rest start", From::pausedRest, doStart, started},
      {"paused rest startBreak", From::pausedRest, doStartBreak, onBreak},
      {"paused rest pause", From::pausedRest, doPause, std::nullopt},
      {"paused rest resume", From::pausedRest, doResume,
       goalKept(Phase::OnBreak{now - 60, now + 540})},
      {"paused rest extend", From::pausedRest, doExtend,
       goalKept(Phase::Paused{840, Kind::rest, 60})},
      {"paused rest skipBreak", From::pausedRest, doSkip, idled},
      {"paused rest cancel", From::pausedRest, doCancel, idled},
      {"paused rest advance", From::pausedRest, doAdvance, std::nullopt},
  };
  for (const TransitionRow& row : rows) {
    SCOPED_TRACE(row.name);
    const Session before = in(row.from);
    Session s = before;
    const std::optional<Event> event = row.op(s);
    if (!row.change) {
      EXPECT_EQ(s, before);
      EXPECT_EQ(event, std::nullopt);
      continue;
    }
    const Change& c = *row.change;
    EXPECT_EQ(s.phase(), c.phase);
    EXPECT_EQ(s.focus(), c.focus);
    EXPECT_EQ(s.sessionID() != before.sessionID(), c.newSessionID);
    EXPECT_EQ(event, c.event);
    EXPECT_EQ(s.completedToday(),
              before.completedToday() + (c.event == Event::workCompleted ? 1 : 0));
    switch (c.completion) {
      case Held::kept:
        EXPECT_EQ(s.completion(), before.completion());
        break;
      case Held::cleared:
        EXPECT_EQ(s.completion(), std::nullopt);
        break;
      case Held::set:
        EXPECT_TRUE(s.completion().has_value());
        break;
    }
    EXPECT_EQ(s.workDuration(), before.workDuration());
    EXPECT_EQ(s.breakDuration(), before.breakDuration());
  }
}

TEST(PomodoroSession, DerivedValuesInEachPhase) {
  struct Row {
    const char* name;
    From from;
    bool running;
    bool paused;
    std::optional<double> remaining;
    std::optional<double> progress;
    std::optional<Date> endsAt;
    std::optional<Kind> kind;
  };
  const Row rows[] = {
      {"idle", From::idle, false, false, {}, {}, {}, {}},
      {"working", From::working, true, false, 1100, 400.0 / 1500, t0 + 1500, Kind::work},
      {"awaitingBreak", From::awaitingBreak, true, false, {}, {}, {}, {}},
      {"onBreak", From::onBreak, true, false, 200, 400.0 / 600, t0 + 600, Kind::rest},
      {"paused work", From::pausedWork, true, true, 1400, 100.0 / 1500, {}, Kind::work},
      {"paused rest", From::pausedRest, true, true, 540, 60.0 / 600, {}, Kind::rest},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Session s = in(row.from);
    EXPECT_EQ(s.isRunning(), row.running);
    EXPECT_EQ(s.isPaused(), row.paused);
    EXPECT_EQ(s.remaining(now), row.remaining);
    EXPECT_EQ(s.progress(now), row.progress);
    EXPECT_EQ(s.endsAt(), row.endsAt);
    EXPECT_EQ(s.phase().kind(), row.kind);
  }
}

TEST(PomodoroSession, RemainingAndProgressStayInRange) {
  const Session working = in(From::working);
  EXPECT_EQ(working.remaining(t0 + 2000), 0.0);
  EXPECT_EQ(working.progress(t0 + 2000), 1.0);
  EXPECT_EQ(working.progress(t0 - 50), 0.0);
  Session zero(0, 0);  // a phase of no length is done from its start
  zero.start(t0, "");
  EXPECT_EQ(zero.progress(t0), 1.0);
  zero.pause(t0);
  EXPECT_EQ(zero.progress(t0), 1.0);
}

TEST(PomodoroSession, ConstructionTakesWholeMinutes) {
  const Session s(25, 5);
  EXPECT_EQ(s.workDuration(), 1500.0);
  EXPECT_EQ(s.breakDuration(), 300.0);
  EXPECT_NE(Session(25, 5).sessionID(), s.sessionID());

  // Minute counts come from stored settings; an absurd one must not overflow.
  const std::int64_t huge = std::numeric_limits<std::int64_t>::max();
  const Session extreme(huge, -huge);
  EXPECT_EQ(extreme.workDuration(), static_cast<double>(huge));
  EXPECT_EQ(extreme.breakDuration(), static_cast<double>(std::numeric_limits<std::int64_t>::min()));
}

TEST(PomodoroSession, NewLengthsApplyOnlyToLaterPhases) {
  Session s = fresh();
  s.start(t0, "");
  s.setWorkDuration(600);
  EXPECT_EQ(s.endsAt(), t0 + 1500);
  s.start(now, "");
  EXPECT_EQ(s.endsAt(), now + 600);
}

TEST(PomodoroSession, StartTrimsOnlyTheEnds) {
  Session s = fresh();
  s.start(t0, "\u00A0 write\n\nthe  report \u3000\t");
  EXPECT_EQ(s.focus(), "write\n\nthe  report");
}

TEST(PomodoroSession, PhaseEndsExactlyAtItsEnd) {
  const Date end = t0 + 1500;
  Session s = in(From::working);
  EXPECT_EQ(s.advance(Date(std::nextafter(end.timeIntervalSinceReferenceDate(), 0.0)), utc),
            std::nullopt);
  EXPECT_EQ(s.phase(), Phase(Phase::Working{t0, end}));
  EXPECT_EQ(s.advance(end, utc), Event::workCompleted);
  EXPECT_EQ(s.phase(), Phase(Phase::AwaitingBreak{end}));
}

TEST(PomodoroSession, AdvanceLongAfterTheEndEndsOnePhaseAtTheScheduledTime) {
  Session s = fresh();
  s.start(t0, " essay ");
  const Date wake = t0 + 5 * 3600;  // the computer slept through the end
  ASSERT_EQ(s.advance(wake, utc), Event::workCompleted);
  EXPECT_EQ(s.phase(), Phase(Phase::AwaitingBreak{wake}));
  const Session::Completion work{Kind::work, 1500, t0 + 1500, "essay", s.sessionID()};
  EXPECT_EQ(s.completion(), work);
  EXPECT_EQ(s.completion()->title(), "25 min focus complete");
  EXPECT_EQ(s.completion()->nudge(), "Time to stand up and stretch.");

  // No break starts by itself, however much later it is.
  EXPECT_EQ(s.advance(wake + 86400, utc), std::nullopt);
  EXPECT_EQ(s.phase(), Phase(Phase::AwaitingBreak{wake}));

  s.startBreak(wake);
  const Date later = wake + 7200;
  ASSERT_EQ(s.advance(later, utc), Event::breakCompleted);
  EXPECT_EQ(s.phase(), Phase(Phase::Idle{}));
  EXPECT_EQ(s.focus(), "");
  const Session::Completion rest{Kind::rest, 600, wake + 600, "essay", s.sessionID()};
  EXPECT_EQ(s.completion(), rest);
  EXPECT_EQ(s.completion()->nudge(), "Ready when you are.");
  EXPECT_EQ(s.completedToday(), 1);  // a break is never counted
  EXPECT_EQ(s.advance(later + 3600, utc), std::nullopt);
}

TEST(PomodoroSession, PausedPastItsEndFinishesRightAfterResuming) {
  Session s = in(From::working);
  s.pause(t0 + 1600);
  EXPECT_EQ(s.phase(), Phase(Phase::Paused{0, Kind::work, 1600}));
  EXPECT_EQ(s.advance(t0 + 99999, utc), std::nullopt);  // a paused phase never ends
  s.resume(t0 + 2000);
  EXPECT_EQ(s.endsAt(), t0 + 2000);
  ASSERT_EQ(s.advance(t0 + 2000, utc), Event::workCompleted);
  EXPECT_EQ(s.completion()->duration, 1600);
  EXPECT_EQ(s.completion()->finishedAt, t0 + 2000);
}

TEST(PomodoroSession, ExtendingAFinishedFocusContinuesTheSameSessionUncountedAgain) {
  Session s = in(From::working);
  const UUID id = s.sessionID();
  ASSERT_EQ(s.advance(t0 + 1500, utc), Event::workCompleted);
  ASSERT_EQ(s.completedToday(), 1);

  const Date later = t0 + 1520;
  s.extend(300, later);
  EXPECT_EQ(s.phase(), Phase(Phase::Working{later - 1500, later + 300}));
  EXPECT_EQ(s.progress(later), 1500.0 / 1800);
  EXPECT_EQ(s.completion(), std::nullopt);

  ASSERT_EQ(s.advance(later + 300, utc), Event::workCompleted);
  EXPECT_EQ(s.completion()->duration, 1800);
  EXPECT_EQ(s.completion()->sessionID, id);
  EXPECT_EQ(s.completion()->focus, "goal");
  EXPECT_EQ(s.completedToday(), 1);
}

TEST(PomodoroSession, ReplacedSessionIsNeverCounted) {
  Session s = fresh();
  s.start(t0, "first");
  const UUID first = s.sessionID();
  s.start(t0 + 600, "second");
  ASSERT_EQ(s.advance(t0 + 2100, utc), Event::workCompleted);
  EXPECT_NE(s.completion()->sessionID, first);
  EXPECT_EQ(s.completedToday(), 1);
}

TEST(PomodoroSession, CountsDistinctSessionsPerDay) {
  const Calendar ny("America/New_York");
  const Date morning = *ny.date(2026, 3, 10, 9, 0);
  Session s = fresh();

  s.start(morning, "a");
  ASSERT_EQ(s.advance(morning + 1500, ny), Event::workCompleted);
  s.cancel();
  s.start(morning + 3600, "b");
  ASSERT_EQ(s.advance(morning + 5100, ny), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 2);
  EXPECT_EQ(s.completion()->title(), "25 min focus complete");

  // Ended at 23:50, noticed at 00:05: counts on the new day, and forgets yesterday's ids.
  const Date lateEvening = *ny.date(2026, 3, 10, 23, 50);
  s.start(lateEvening - 1500, "c");
  const Date afterMidnight = *ny.date(2026, 3, 11, 0, 5);
  ASSERT_EQ(s.advance(afterMidnight, ny), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 1);
  s.discardLastCompletion();
  s.discardLastCompletion();  // an empty list stays empty
  EXPECT_EQ(s.completedToday(), 0);
}

TEST(PomodoroSession, DayBoundaryFollowsTheCallersCalendar) {
  // 03:30 UTC is still the previous evening in New York.
  const Calendar ny("America/New_York");
  const Date first = *utc.date(2026, 6, 1, 20, 0);
  const Date second = *utc.date(2026, 6, 2, 3, 30);
  for (const bool newYork : {false, true}) {
    const Calendar& calendar = newYork ? ny : utc;
    Session s = fresh();
    s.start(first - 1500, "");
    (void)s.advance(first, calendar);
    s.start(second - 1500, "");
    (void)s.advance(second, calendar);
    EXPECT_EQ(s.completedToday(), newYork ? 2 : 1) << (newYork ? "New York" : "UTC");
  }
}

TEST(PomodoroSession, DiscardedCurrentSessionIsCountedAgainWhenItFinishesAgain) {
  Session s = in(From::working);
  ASSERT_EQ(s.advance(t0 + 1500, utc), Event::workCompleted);
  s.discardLastCompletion();
  EXPECT_EQ(s.completedToday(), 0);
  EXPECT_TRUE(s.completion().has_value());  // the held completion is untouched
  s.extend(60, t0 + 1510);
  ASSERT_EQ(s.advance(t0 + 1570, utc), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 1);
}

TEST(PomodoroSession, ExtendedFocusFinishingAgainAfterMidnightIsNotCountedAgain) {
  // Counted once, on the day of its first completion; the new day's list starts empty.
  const Calendar ny("America/New_York");
  const Date end = *ny.date(2026, 3, 10, 23, 55);
  Session s = fresh();
  s.start(end - 1500, "");
  ASSERT_EQ(s.advance(end, ny), Event::workCompleted);
  ASSERT_EQ(s.completedToday(), 1);
  s.extend(600, end);
  ASSERT_EQ(s.advance(end + 600, ny), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 0);
  s.start(end + 700, "");
  ASSERT_EQ(s.advance(end + 2200, ny), Event::workCompleted);
  EXPECT_EQ(s.completedToday(), 1);
}

TEST(PomodoroSessionCompletion, TitleRoundsMinutesHalfAwayFromZero) {
  struct Row {
    double duration;
    Kind kind;
    const char* title;
  };
  const Row rows[] = {
      {1500, Kind::work, "25 min focus complete"}, {300, Kind::rest, "5 min break complete"},
      {90, Kind::work, "2 min focus complete"},    {89, Kind::work, "1 min focus complete"},
      {20, Kind::work, "0 min focus complete"},    {30, Kind::rest, "1 min break complete"},
      {150, Kind::work, "3 min focus complete"},  // 2.5: not banker's rounding
      {-20, Kind::work, "0 min focus complete"},  // never "-0"
      {-30, Kind::work, "-1 min focus complete"},  {5400, Kind::work, "90 min focus complete"},
  };
  for (const Row& row : rows) {
    const Session::Completion c{row.kind, row.duration, t0, "", UUID()};
    EXPECT_EQ(c.title(), row.title) << row.duration;
  }
}

}  // namespace
}  // namespace vorlane
