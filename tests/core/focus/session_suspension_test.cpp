#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "core/focus/pomodoro_session.h"

namespace vorlane {
namespace {

using Session = PomodoroSession;
using Suspension = PomodoroSession::Suspension;
using Phase = PomodoroSession::Phase;
using Kind = PomodoroSession::Kind;
using Event = PomodoroSession::Event;

const Calendar utc("UTC");
const Date t0(800000000);
const UUID someID = *UUID::fromString("0F8B3C1E-5A7D-4E2B-9C61-3D4F5A6B7C8D");

std::string repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Family emoji (man, woman, girl, boy joined): one character, 25 bytes.
const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";

TEST(SessionSuspension, CapturesOnlyAFocusThatStillHasTimeLeft) {
  struct Row {
    const char* name;
    std::function<void(Session&)> setup;
    Date at;
    std::optional<std::pair<double, double>> remainingElapsed;
  };
  const Row rows[] = {
      {"working", [](Session& s) { s.start(t0, "goal"); }, t0 + 300, std::pair{1200.0, 300.0}},
      {"working before its start", [](Session& s) { s.start(t0, "goal"); }, t0 - 10,
       std::pair{1510.0, 0.0}},
      {"working at its end", [](Session& s) { s.start(t0, "goal"); }, t0 + 1500, std::nullopt},
      {"working past its end", [](Session& s) { s.start(t0, "goal"); }, t0 + 1600, std::nullopt},
      {"paused focus",
       [](Session& s) {
         s.start(t0, "goal");
         s.pause(t0 + 100);
       },
       t0 + 9999, std::pair{1400.0, 100.0}},
      {"paused break",
       [](Session& s) {
         s.startBreak(t0);
         s.pause(t0 + 10);
       },
       t0 + 20, std::nullopt},
      {"on break", [](Session& s) { s.startBreak(t0); }, t0 + 10, std::nullopt},
      {"awaiting break",
       [](Session& s) {
         s.start(t0, "goal");
         (void)s.advance(t0 + 1500, utc);
       },
       t0 + 1510, std::nullopt},
      {"idle", [](Session&) {}, t0, std::nullopt},
      {"longer than seven days",
       [](Session& s) {
         s.setWorkDuration(604801);
         s.start(t0, "");
       },
       t0, std::nullopt},
      {"goal over 120 characters", [](Session& s) { s.start(t0, std::string(121, 'g')); }, t0 + 1,
       std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Session s(25, 5);
    row.setup(s);
    const Session before = s;
    const std::optional<Suspension> record = s.suspension(row.at);
    EXPECT_EQ(s, before);
    if (!row.remainingElapsed) {
      EXPECT_EQ(record, std::nullopt);
      continue;
    }
    ASSERT_TRUE(record.has_value());
    const Suspension expected{s.sessionID(), s.focus(), row.remainingElapsed->first,
                              row.remainingElapsed->second, false};
    EXPECT_EQ(*record, expected);
  }
}

TEST(SessionSuspension, ValidityLimitsEachSideOfTheEdge) {
  const Suspension base{someID, "goal", 1200, 300, false};
  const double week = 604800;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    const char* name;
    double remaining;
    double elapsed;
    std::string focus;
    bool valid;
  };
  const Row rows[] = {
      {"ordinary", 1200, 300, "goal", true},
      {"remaining a week", week, 300, "goal", true},
      {"remaining just over a week", week + 0.001, 300, "goal", false},
      {"elapsed a week", 1200, week, "goal", true},
      {"elapsed just over a week", 1200, week + 0.001, "goal", false},
      {"elapsed zero", 1200, 0, "goal", true},
      {"elapsed just below zero", 1200, -0.001, "goal", false},
      {"remaining zero", 0, 300, "goal", false},
      {"remaining tiny", 0.001, 300, "goal", true},
      {"remaining negative", -5, 300, "goal", false},
      {"remaining NaN", nan, 300, "goal", false},
      {"elapsed NaN", 1200, nan, "goal", false},
      {"remaining infinite", inf, 300, "goal", false},
      {"elapsed infinite", 1200, inf, "goal", false},
      {"empty goal", 1200, 300, "", true},
      {"120 family emoji", 1200, 300, repeated(family, 120), true},
      {"121 family emoji", 1200, 300, repeated(family, 121), false},
      {"120 combining sequences", 1200, 300, repeated("a\u0301\u0308", 120), true},
      {"121 combining sequences", 1200, 300, repeated("a\u0301\u0308", 121), false},
      // Stored as typed: the surrounding blanks count.
      {"120 letters and a trailing space", 1200, 300, std::string(120, 'x') + " ", false},
  };
  for (const Row& row : rows) {
    Suspension s = base;
    s.remaining = row.remaining;
    s.elapsed = row.elapsed;
    s.focus = row.focus;
    EXPECT_EQ(s.isValid(), row.valid) << row.name;

    // restore applies the same rule.
    Session session(25, 5);
    session.start(t0, "running");
    const Session before = session;
    EXPECT_EQ(session.restore(s), row.valid) << row.name;
    if (!row.valid) {
      EXPECT_EQ(session, before) << row.name;
    }
  }
}

TEST(SessionSuspension, RestoreGivesAPausedFocusAndKeepsTheCounters) {
  Session s(25, 5);
  s.start(t0, "first");
  ASSERT_EQ(s.advance(t0 + 1500, utc), Event::workCompleted);
  s.setBreakDuration(420);
  ASSERT_TRUE(s.completion().has_value());

  const Suspension record{someID, "  untrimmed  ", 900, 600, true};
  ASSERT_TRUE(s.restore(record));
  EXPECT_EQ(s.phase(), Phase(Phase::Paused{900, Kind::work, 600}));
  EXPECT_EQ(s.sessionID(), someID);
  EXPECT_EQ(s.focus(), "  untrimmed  ");
  EXPECT_EQ(s.completion(), std::nullopt);
  EXPECT_EQ(s.completedToday(), 1);
  EXPECT_EQ(s.workDuration(), 1500);
  EXPECT_EQ(s.breakDuration(), 420);

  const Date resumed = t0 + 5000;
  s.resume(resumed);
  EXPECT_EQ(s.phase(), Phase(Phase::Working{resumed - 600, resumed + 900}));
  EXPECT_EQ(s.suspension(resumed + 100), (Suspension{someID, "  untrimmed  ", 800, 700, true}));
}

TEST(SessionSuspension, CountedStateTravelsWithTheRecord) {
  // A focus counted before the restart and finished again afterwards is not counted twice.
  Session before(25, 5);
  before.start(t0, "goal");
  ASSERT_EQ(before.advance(t0 + 1500, utc), Event::workCompleted);
  before.extend(600, t0 + 1500);
  const std::optional<Suspension> saved = before.suspension(t0 + 1600);
  ASSERT_TRUE(saved.has_value());
  EXPECT_TRUE(saved->wasCounted);

  Session after(25, 5);
  after.start(t0 - 9000, "earlier");
  ASSERT_EQ(after.advance(t0 - 7500, utc), Event::workCompleted);
  ASSERT_TRUE(after.restore(*saved));
  // The earlier session was the one counted; discarding it must not uncount the restored one.
  after.discardLastCompletion();
  EXPECT_EQ(after.completedToday(), 0);
  after.resume(t0 + 2000);
  ASSERT_EQ(after.advance(t0 + 2500, utc), Event::workCompleted);
  EXPECT_EQ(after.completedToday(), 0);

  // The same record marked uncounted is counted when it finishes.
  Suspension uncounted = *saved;
  uncounted.wasCounted = false;
  Session fresh(25, 5);
  ASSERT_TRUE(fresh.restore(uncounted));
  fresh.resume(t0);
  ASSERT_EQ(fresh.advance(t0 + 500, utc), Event::workCompleted);
  EXPECT_EQ(fresh.completedToday(), 1);
}

TEST(SessionSuspension, JsonRoundTrip) {
  const Suspension rows[] = {
      {someID, "write the report", 1200, 300, false},
      {someID, family + " caf\u00E9 \"quoted\" \\ \n", 0.25, 1e-3, true},
      {UUID::random(), "", 604800, 0, false},
  };
  for (const Suspension& s : rows) {
    const std::string text = json::dump(s.toJson());
    const Json parsed = json::parse(text);
    EXPECT_EQ(Suspension::fromJson(JsonReader(parsed)), s) << text;
  }
}

TEST(SessionSuspension, JsonWritesEveryKeyInFieldOrder) {
  const Suspension s{someID, "goal", 1200, 300.5, false};
  EXPECT_EQ(json::dump(s.toJson()),
            "{\"sessionID\":\"0F8B3C1E-5A7D-4E2B-9C61-3D4F5A6B7C8D\",\"focus\":\"goal\","
            "\"remaining\":1200,\"elapsed\":300.5,\"wasCounted\":false}");
  Suspension broken = s;
  broken.remaining = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW((void)broken.toJson(), EncodingError);
}

TEST(SessionSuspension, JsonDecodingRejectsMissingOrMistypedFields) {
  const std::string id = "\"sessionID\":\"0f8b3c1e-5a7d-4e2b-9c61-3d4f5a6b7c8d\"";
  struct Row {
    const char* name;
    std::string text;
    bool decodes;
  };
  const Row rows[] = {
      {"complete, lower-case id, keys reordered",
       "{\"wasCounted\":true,\"elapsed\":300," + id + ",\"remaining\":1200.5,\"focus\":\"g\"}",
       true},
      {"extra keys ignored",
       "{" + id + ",\"focus\":\"g\",\"remaining\":1,\"elapsed\":0,\"wasCounted\":false,\"x\":[1]}",
       true},
      {"no wasCounted", "{" + id + ",\"focus\":\"g\",\"remaining\":1,\"elapsed\":0}", false},
      {"no sessionID", "{\"focus\":\"g\",\"remaining\":1,\"elapsed\":0,\"wasCounted\":false}",
       false},
      {"no focus", "{" + id + ",\"remaining\":1,\"elapsed\":0,\"wasCounted\":false}", false},
      {"wasCounted as number",
       "{" + id + ",\"focus\":\"g\",\"remaining\":1,\"elapsed\":0,\"wasCounted\":1}", false},
      {"remaining as text",
       "{" + id + ",\"focus\":\"g\",\"remaining\":\"1\",\"elapsed\":0,\"wasCounted\":false}",
       false},
      {"elapsed null",
       "{" + id + ",\"focus\":\"g\",\"remaining\":1,\"elapsed\":null,\"wasCounted\":false}", false},
      {"malformed id",
       "{\"sessionID\":\"not-a-uuid\",\"focus\":\"g\",\"remaining\":1,\"elapsed\":0,\"wasCounted\":"
       "false}",
       false},
      {"array instead of object", "[1,2,3]", false},
  };
  for (const Row& row : rows) {
    const Json parsed = json::parse(row.text);
    if (row.decodes) {
      EXPECT_NO_THROW((void)Suspension::fromJson(JsonReader(parsed))) << row.name;
    } else {
      EXPECT_THROW((void)Suspension::fromJson(JsonReader(parsed)), DecodingError) << row.name;
    }
  }
  const Json full = json::parse(rows[0].text);
  EXPECT_EQ(Suspension::fromJson(JsonReader(full)), (Suspension{someID, "g", 1200.5, 300, true}));
}

}  // namespace
}  // namespace vorlane
