// The focus checkpoint on the real store: written on a pause, read back at the next launch.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/coordination/focus/focus_harness.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

using FocusCheckpointTest = FocusHarness;

// Quit and launch again: the focus comes back paused with its note. With the note window,
// resuming shows it first; in a build without one, resuming goes on at once.
TEST_F(FocusCheckpointTest, PauseAndResumeAcrossACheckpointReadBackAtTheNextLaunch) {
  for (const bool noteWindow : {true, false}) {
    SCOPED_TRACE(noteWindow);
    fresh();
    startFocus("draft");
    clock->set(at(11, 9));
    focus->requestPauseSession();
    EXPECT_FALSE(timer().isActive());
    EXPECT_FALSE(windows.resumeNote->returning);  // the note window asks for a next step
    EXPECT_EQ(windows.resumeNote->goal, "draft");
    EXPECT_EQ(presenter->sessions.back().caption, "paused");
    windows.resumeNote->save("  check \n the\tfigures ");

    fresh(at(14, 0), [&](auto& given) {
      if (!noteWindow) given.resumeNote = nullptr;
    });
    ASSERT_EQ(phase(), "paused");
    EXPECT_EQ(presenter->sessions.back().time, "15:00");
    EXPECT_EQ(presenter->sessions.back().caption, "Next: \u2068check the figures\u2069");
    focus->requestResumeSession();
    if (noteWindow) {
      EXPECT_EQ(phase(), "paused");
      EXPECT_TRUE(windows.resumeNote->returning);
      windows.resumeNote->resume();
    }
    EXPECT_EQ(phase(), "working");
    EXPECT_EQ(focus->pomodoro().endsAt(), at(14, 15));
    EXPECT_TRUE(timer().isActive());
    EXPECT_FALSE(records.rawBytes(RecordFocusRecoveryStore::key).has_value());
  }
}

TEST_F(FocusCheckpointTest, ACheckpointIsRestoredPausedUnlessUnreadableThenKept) {
  for (const bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable);
    const FocusCheckpoint saved{.session = {UUID::random(), "write report", 600, 900, false},
                                .nextStep = "check the figures",
                                .isStarter = true,
                                .priorityID = UUID::random()};
    RecordFocusRecoveryStore(&records).save(saved);
    if (unreadable) records.makeUnreadable(RecordFocusRecoveryStore::key);
    const auto bytes = records.rawBytes(RecordFocusRecoveryStore::key);
    fresh();
    EXPECT_EQ(phase(), unreadable ? "idle" : "paused");
    EXPECT_EQ(focus->nextStep(), unreadable ? "" : "check the figures");
    EXPECT_EQ(focus->isStarterFocus(), !unreadable);
    EXPECT_EQ(focus->activePriorityID(),
              unreadable ? std::nullopt : std::optional<UUID>(saved.priorityID));
    EXPECT_EQ(records.rawBytes(RecordFocusRecoveryStore::key), bytes);
  }
}

// A focus restored at launch waits paused; the calendar's start refuses it as any other
// entry point would, and the restored session stays as it was.
TEST_F(FocusCheckpointTest, ACalendarFocusIsRefusedWhileARestoredFocusWaitsPaused) {
  const UUID restored = UUID::random();
  RecordFocusRecoveryStore(&records).save({.session = {restored, "write report", 600, 900, false},
                                           .nextStep = "check the figures",
                                           .isStarter = false,
                                           .priorityID = std::nullopt});
  fresh();
  ASSERT_EQ(phase(), "paused");
  EXPECT_EQ(refusal([&] { focus->startCalendarFocus(25, "Outline the plan", std::nullopt); }),
            activeSession);
  EXPECT_EQ(phase(), "paused");
  EXPECT_EQ(focus->pomodoro().focus(), "write report");
  EXPECT_EQ(focus->nextStep(), "check the figures");
  EXPECT_FALSE(focus->activePriorityID());
}

}  // namespace
}  // namespace vorlane
