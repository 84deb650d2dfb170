#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "core/focus/pomodoro_session.h"

namespace vorlane {
namespace {

using Session = PomodoroSession;

const Calendar utc("UTC");
const Date t0(800000000);

TEST(SessionStatus, StatusTextInEachSituation) {
  struct Row {
    const char* name;
    std::function<void(Session&)> setup;
    Date at;
    const char* text;
  };
  const Row rows[] = {
      {"idle", [](Session&) {}, t0, ""},
      {"focus just started rounds up", [](Session& s) { s.start(t0, ""); }, t0 + 0.2,
       "Focus 25:00"},
      {"focus mid-way", [](Session& s) { s.start(t0, ""); }, t0 + 754, "Focus 12:26"},
      {"focus past its end before advance", [](Session& s) { s.start(t0, ""); }, t0 + 1600,
       "Focus 0:00"},
      {"break", [](Session& s) { s.startBreak(t0); }, t0 + 1, "Break 4:59"},
      {"paused focus",
       [](Session& s) {
         s.start(t0, "");
         s.pause(t0 + 746);
       },
       t0 + 9000, "Paused 12:34"},
      {"paused break is paused, not break",
       [](Session& s) {
         s.startBreak(t0);
         s.pause(t0 + 60);
       },
       t0 + 61, "Paused 4:00"},
      {"awaiting break holds its completion",
       [](Session& s) {
         s.start(t0, "");
         (void)s.advance(t0 + 1500, utc);
       },
       t0 + 1600, "Done"},
      {"idle after a break until acknowledged",
       [](Session& s) {
         s.startBreak(t0);
         (void)s.advance(t0 + 300, utc);
       },
       t0 + 400, "Done"},
      {"acknowledged",
       [](Session& s) {
         s.startBreak(t0);
         (void)s.advance(t0 + 300, utc);
         s.cancel();
       },
       t0 + 400, ""},
      {"extended after finishing",
       [](Session& s) {
         s.start(t0, "");
         (void)s.advance(t0 + 1500, utc);
         s.extend(300, t0 + 1500);
       },
       t0 + 1500, "Focus 5:00"},
  };
  for (const Row& row : rows) {
    Session s(25, 5);
    row.setup(s);
    EXPECT_EQ(s.statusText(row.at), row.text) << row.name;
  }
}

TEST(SessionStatus, CountdownRoundsUpAndShowsOnlyMinutes) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    double seconds;
    const char* text;
  };
  const Row rows[] = {
      {1500, "25:00"}, {1499.2, "25:00"},
      {1499, "24:59"}, {5400, "90:00"},
      {0.4, "0:01"},   {0, "0:00"},
      {-0.4, "0:00"},  {-90, "0:00"},
      {59, "0:59"},    {60, "1:00"},
      {61, "1:01"},    {600000, "10000:00"},
      {-inf, "0:00"},  {std::numeric_limits<double>::quiet_NaN(), "0:00"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Session::countdown(row.seconds), row.text) << row.seconds;
  }
  // Saturates rather than overflowing.
  EXPECT_EQ(Session::countdown(inf), "153722867280912930:07");
}

TEST(SessionStatus, ElapsedDescriptionOfACompletion) {
  const Date finished = t0;
  const Session::Completion c{Session::Kind::work, 1500, finished, "", UUID()};
  struct Row {
    double secondsLater;
    const char* text;
  };
  const Row rows[] = {
      {0, "Finished just now"},           {59, "Finished just now"},
      {59.999, "Finished just now"},      {-3600, "Finished just now"},  // finishedAt in the future
      {60, "Finished 1 min ago"},         {119.9, "Finished 1 min ago"},
      {3599, "Finished 59 min ago"},      {3600, "Finished 1 hr ago"},
      {3660, "Finished 1 hr 1 min ago"},  {5400, "Finished 1 hr 30 min ago"},
      {7199, "Finished 1 hr 59 min ago"}, {90000, "Finished 25 hr ago"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(c.elapsedDescription(finished + row.secondsLater), row.text) << row.secondsLater;
  }
}

}  // namespace
}  // namespace vorlane
