// What a focus may start with: the lengths from the settings, and the checks on the goal and
// the minutes, whichever way it starts.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/coordination/focus/focus_harness.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

using FocusStartTest = FocusHarness;

TEST_F(FocusStartTest, SessionLengthsComeFromTheSettingsClamped) {
  const struct {
    std::int64_t work, rest;
    double workSeconds, restSeconds;
  } rows[] = {{25, 5, 1500, 300}, {0, 0, 60, 60}, {500, 45, 5400, 1800}, {-3, 30, 60, 1800}};
  for (const auto& row : rows) {
    preferences->setPreferences(Preferences({.workMinutes = row.work, .breakMinutes = row.rest}));
    fresh();
    EXPECT_EQ(focus->pomodoro().workDuration(), row.workSeconds) << row.work;
    EXPECT_EQ(focus->pomodoro().breakDuration(), row.restSeconds) << row.rest;
  }
}

// The goal is judged on the text that will be stored, whichever way the focus starts.
TEST_F(FocusStartTest, RequestedFocusChecksGoalAndMinutes) {
  const std::string x120(120, 'x');
  enum class Via { request, editor };
  const struct {
    const char* name;
    Via via;
    int minutes;
    std::string goal;
    bool starts;
  } rows[] = {
      {"cleaned", Via::request, 25, "  write \n report ", true},
      {"longest", Via::request, 90, x120, true},
      {"no minutes", Via::request, 0, "x", false},
      {"too many minutes", Via::request, 91, "x", false},
      {"blank", Via::request, 25, " \t ", false},
      {"121 characters", Via::editor, 25, x120 + "y", false},
      // One pass of cleaning left " \u0301", one character more than was checked; cleaning
      // now ends at 120 characters, and the checkpoint keeps them.
      {"a mark after a line break", Via::editor, 25, x120 + "\r\u0301", true},
      {"119 and a mark after a line break", Via::editor, 25, x120.substr(1) + "\r\u0301", true},
      {"runs of spaces count once", Via::editor, 25, "  a \t\n " + x120.substr(2), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RecordFocusRecoveryStore(&records).clear();  // a new session with no checkpoint
    fresh();
    const std::string failure = refusal([&] {
      if (row.via == Via::request) focus->startRequestedFocus(row.minutes, row.goal);
      if (row.via == Via::editor) startFocus(row.goal);
    });
    EXPECT_EQ(failure, row.starts ? "" : invalidGoal);
    if (!row.starts) continue;
    // The point of the limit: the focus survives a pause as a checkpoint.
    focus->requestPauseSession();
    EXPECT_TRUE(RecordFocusRecoveryStore(&records).document().value().has_value());
  }
}

}  // namespace
}  // namespace vorlane
