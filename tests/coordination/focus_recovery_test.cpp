// The focus checkpoint across pauses and launches, next-step notes, and marking a finished
// focus accomplished.
#include <gtest/gtest.h>

#include <string>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

using Phase = PomodoroSession::Phase;

constexpr const char* saveFailed =
    "Your focus recovery could not be saved. Existing saved data was kept.";

class FocusRecoveryTest : public CoordinatorTest {
 protected:
  FakeRepeatingTimer& timer() { return *timers.made.back(); }
  void startFocus(const std::string& goal = "draft") {
    coordinator->requestNewPomodoro();
    windows.focusEditor->start(goal);
    presenter->finishVisit();
  }
  // What a fresh store reads back from the records.
  std::optional<FocusCheckpoint> stored() {
    return FocusRecoveryStore(&records).document().value();
  }
};

TEST_F(FocusRecoveryTest, PauseAndResumeAcrossACheckpointReadBackAtTheNextLaunch) {
  buildAndStart();
  startFocus();
  clock->set(at(11, 9));
  coordinator->requestPauseSession();
  EXPECT_FALSE(timer().isActive());
  EXPECT_EQ(windows.resumeNotes->shows, 1);
  EXPECT_FALSE(windows.resumeNotes->returning);
  EXPECT_EQ(windows.resumeNotes->goal, "draft");
  ASSERT_TRUE(stored());
  EXPECT_EQ(stored()->session.remaining, 900);
  EXPECT_EQ(presenter->sessions.back().caption, "paused");

  windows.resumeNotes->save("  check \n the\tfigures ");
  EXPECT_EQ(coordinator->nextStep(), "check the figures");
  EXPECT_EQ(stored()->nextStep, "check the figures");
  EXPECT_EQ(presenter->sessions.back().caption, "Next: check the figures");

  // Quit and launch again: the focus comes back paused with its note.
  coordinator.reset();
  presenter = std::make_shared<FakeVisitPresenter>();
  windows = FakeFeatureWindows{};
  clock->set(at(14, 0));
  buildAndStart();
  ASSERT_TRUE(coordinator->pomodoro().isPaused());
  EXPECT_EQ(presenter->sessions.back().time, "15:00");
  EXPECT_EQ(presenter->sessions.back().caption, "Next: check the figures");

  coordinator->requestResumeSession();  // with a note, the window comes first
  EXPECT_TRUE(coordinator->pomodoro().isPaused());
  EXPECT_TRUE(windows.resumeNotes->returning);
  windows.resumeNotes->resume();
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Working>());
  EXPECT_TRUE(timer().isActive());
  EXPECT_FALSE(records.rawBytes(FocusRecoveryStore::key).has_value());
  EXPECT_EQ(coordinator->pomodoro().endsAt(), at(14, 15));
}

TEST_F(FocusRecoveryTest, QuittingWritesACheckpointOnlyForAFocus) {
  buildAndStart();
  coordinator->saveFocusForTermination();  // idle
  startFocus();
  clock->set(at(11, 4));
  coordinator->saveFocusForTermination();
  ASSERT_TRUE(stored());
  EXPECT_EQ(stored()->session.remaining, 1200);
  const int writes = records.writeCount(FocusRecoveryStore::key);
  clock->set(at(11, 24));
  timer().fire();  // the focus ends and its checkpoint goes
  EXPECT_FALSE(stored());
  coordinator->saveFocusForTermination();  // a completion waits
  coordinator->startBreak();
  coordinator->saveFocusForTermination();  // on a break
  coordinator->extendSession(5);
  coordinator->requestPauseSession();  // a paused break
  EXPECT_EQ(records.writeCount(FocusRecoveryStore::key), writes);
}

TEST_F(FocusRecoveryTest, UnreadableCheckpointReachesTheUserAndIsNeverOverwritten) {
  records.setData(FocusRecoveryStore::key, "{not json");
  buildAndStart();
  startFocus();
  coordinator->requestPauseSession();
  EXPECT_EQ(coordinator->recoverySaveError(), saveFailed);
  coordinator->extendSession(5);
  coordinator->resumeSession();
  coordinator->cancelPomodoro();
  EXPECT_EQ(records.rawBytes(FocusRecoveryStore::key), "{not json");
  EXPECT_EQ(coordinator->recoverySaveError(), saveFailed);
}

TEST_F(FocusRecoveryTest, FailedWriteKeepsTheOldCheckpointUntilTheNextGoodOne) {
  buildAndStart();
  startFocus();
  coordinator->requestPauseSession();
  const auto before = records.rawBytes(FocusRecoveryStore::key);
  records.setFailing(true);
  coordinator->extendSession(5);
  EXPECT_EQ(coordinator->recoverySaveError(), saveFailed);
  EXPECT_EQ(records.rawBytes(FocusRecoveryStore::key), before);
  // A failing note save is the caller's to show; the flag stays as it was.
  EXPECT_THROW(windows.resumeNotes->save("next"), std::exception);
  EXPECT_EQ(coordinator->nextStep(), "");
  records.setFailing(false);
  coordinator->extendSession(5);
  EXPECT_FALSE(coordinator->recoverySaveError());
  EXPECT_EQ(stored()->session.remaining, 1500 + 600);
  // A checkpoint that cannot be removed would come back at the next launch: said like a
  // failed save.
  records.setFailing(true);
  coordinator->resumeSession();
  EXPECT_EQ(coordinator->recoverySaveError(), saveFailed);
  EXPECT_TRUE(stored());
}

TEST_F(FocusRecoveryTest, NoteIsCountedInCharactersAfterCleaning) {
  std::string accented;
  for (int i = 0; i < 240; ++i) accented += "e\u0301";
  const struct {
    const char* name;
    std::string note;
    bool accepted;
    std::string caption;
  } rows[] = {
      {"240 characters", std::string(240, 'a'), true, "Next: " + std::string(240, 'a')},
      {"241 characters", std::string(241, 'a'), false, "Next: earlier"},
      {"240 accented", accented, true, "Next: " + accented},
      {"runs count once", std::string(120, 'a') + " \t\n " + std::string(119, 'b'), true,
       "Next: " + std::string(120, 'a') + " " + std::string(119, 'b')},
      {"empty", "   ", true, "paused"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    static_cast<void>(records.remove(FocusRecoveryStore::key));
    windows = FakeFeatureWindows{};
    buildAndStart();
    startFocus();
    coordinator->requestPauseSession();
    windows.resumeNotes->save("earlier");
    if (row.accepted) {
      windows.resumeNotes->save(row.note);
    } else {
      try {
        windows.resumeNotes->save(row.note);
        ADD_FAILURE() << "accepted";
      } catch (const VisitCoordinator::RecoveryError& error) {
        EXPECT_STREQ(error.what(), "Keep your next step to 240 characters.");
      }
    }
    EXPECT_EQ(presenter->sessions.back().caption, row.caption);
    EXPECT_EQ("Next: " + stored()->nextStep, row.caption == "paused" ? "Next: " : row.caption);
  }
}

TEST_F(FocusRecoveryTest, AWindowFromAnEarlierSessionCannotChangeANewerOne) {
  buildAndStart();
  startFocus("old");
  coordinator->requestPauseSession();
  const auto oldSave = windows.resumeNotes->save;
  const auto oldResume = windows.resumeNotes->resume;
  coordinator->cancelPomodoro();
  EXPECT_THROW(oldSave("late"), VisitCoordinator::ActionError);
  startFocus("new");
  coordinator->requestPauseSession();
  try {
    oldSave("late");
    ADD_FAILURE() << "accepted";
  } catch (const VisitCoordinator::ActionError& error) {
    EXPECT_STREQ(error.what(), "There is no paused session to resume.");
  }
  oldResume();
  EXPECT_TRUE(coordinator->pomodoro().isPaused());
  EXPECT_EQ(coordinator->nextStep(), "");
}

TEST_F(FocusRecoveryTest, MarkingAccomplishedMarksTheLinkedPriority) {
  build();
  prioritiesStore->apply([](DailyPriorities& plan) { plan.add("Ship it", at(9, 0), berlin); });
  const UUID priority = prioritiesStore->plan().items().at(0).id;
  // A focus on that priority, restored from its checkpoint.
  FocusRecoveryStore(&records).save(
      {.session = {UUID::random(), "ship", 60, 0, false},
       .nextStep = "",
       .isStarter = false,
       .priorityID = priority});
  coordinator.reset();
  buildAndStart();
  coordinator->requestResumeSession();
  clock->set(at(11, 0));
  timer().fire();
  ASSERT_EQ(historyStore->entries().size(), 1u);
  EXPECT_EQ(historyStore->entries()[0].priorityID, priority);

  coordinator->markFocusAccomplished();
  EXPECT_TRUE(historyStore->entries()[0].accomplishedAt.has_value());
  EXPECT_EQ(prioritiesStore->plan().items().at(0).accomplishedAt, at(11, 0));
  EXPECT_TRUE(coordinator->pomodoro().phase().is<Phase::Idle>());
  EXPECT_EQ(windows.focusHistory->shows, 1);
}

TEST_F(FocusRecoveryTest, MarkingAccomplishedWithoutANamedFocusOrWithAFailureKeepsTheSession) {
  buildAndStart();
  startFocus("");
  clock->set(at(11, 24));
  timer().fire();
  coordinator->markFocusAccomplished();  // no goal
  coordinator->startBreak();
  clock->set(at(11, 29));
  timer().fire();
  coordinator->markFocusAccomplished();  // a break
  EXPECT_EQ(logMessages(log, "pomodoro"),
            (std::vector<std::string>{"started a 25 minute session",
                                      "session complete, 1 done today",
                                      "No completed named focus to mark accomplished",
                                      "break started", "break over",
                                      "No completed named focus to mark accomplished"}));
  EXPECT_EQ(windows.focusHistory->shows, 0);

  startFocus("named");
  clock->set(at(11, 54));
  timer().fire();
  records.setFailing(true);
  coordinator->markFocusAccomplished();
  EXPECT_TRUE(coordinator->pomodoro().completion().has_value());
  EXPECT_EQ(historyStore->errorMessage(), FocusHistoryStore::saveFailedMessage);
  EXPECT_EQ(windows.focusHistory->shows, 1);
}

TEST(ShortTimeFormatterTest, WritesTheLocalesShortTimeInTheCalendarsZone) {
  const Date threePmBerlin = *berlin.date(2026, 3, 10, 15, 0, 0);
  EXPECT_EQ(ShortTimeFormatter(berlin).format(threePmBerlin), "15:00");
  EXPECT_EQ(ShortTimeFormatter(Calendar("America/New_York", "en_US")).format(threePmBerlin),
            "10:00\u202FAM");  // New York is already on summer time
}

}  // namespace
}  // namespace vorlane
