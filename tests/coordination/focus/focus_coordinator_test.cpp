// The focus session on its own: fake stores, windows and hooks, no coordinator.
#include "coordination/focus/focus_coordinator.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/text.h"
#include "tests/coordination/focus/focus_harness.h"
#include "tests/support/fake_focus_stores.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

const Date nine = at(9, 0);

constexpr const char* saveFailed =
    "Your focus recovery could not be saved. Existing saved data was kept.";

class FocusCoordinatorTest : public FocusHarness {
 protected:
  FocusCoordinatorTest() { clock->set(nine); }
  // Over the fake stores below, which a test can make fail; at the clock's time.
  void make() {
    fresh(clock->now(), [this](FocusCoordinator::Dependencies& given) {
      given.focusHistory = history;
      given.recovery = recovery;
      given.priorities = priorities;
    });
  }
  // A new session with no checkpoint, brought to the state the way the user does it.
  enum class At { idle, working, awaiting, onBreak, pausedFocus, pausedBreak, breakCard };
  void reach(At state) {
    recovery = std::make_shared<FakeFocusRecoveryStore>();
    presenter = std::make_shared<FakeVisitPresenter>();
    clock->set(nine);
    make();
    if (state == At::idle) return;
    focus->startRequestedFocus(25, "write report");
    if (state == At::pausedFocus) return focus->requestPauseSession();
    if (state == At::working) return;
    fireAt(*focus->pomodoro().endsAt());
    if (state == At::awaiting) return;
    focus->startBreak();
    if (state == At::pausedBreak) return focus->requestPauseSession();
    if (state == At::onBreak) return;
    fireAt(*focus->pomodoro().endsAt());
  }
  void pausedFocus() {
    focus->startRequestedFocus(25, "write report");
    clock->set(nine + 600);
    focus->requestPauseSession();
  }

  std::shared_ptr<FakeFocusHistoryStore> history = std::make_shared<FakeFocusHistoryStore>();
  std::shared_ptr<FakeFocusRecoveryStore> recovery = std::make_shared<FakeFocusRecoveryStore>();
  std::shared_ptr<FakeDailyPrioritiesStore> priorities =
      std::make_shared<FakeDailyPrioritiesStore>();
};

TEST_F(FocusCoordinatorTest, DiscardingTheCheckpointReportsAFailedRemovalInsteadOfThrowing) {
  make();
  pausedFocus();
  ASSERT_TRUE(recovery->stored.value().has_value());
  recovery->stored.clearFails = true;
  const int before = observer->changes;
  EXPECT_NO_THROW(focus->discardRecovery());
  EXPECT_TRUE(recovery->stored.value().has_value()) << "the checkpoint is still stored";
  EXPECT_EQ(focus->recoverySaveError(), saveFailed);
  EXPECT_EQ(focus->recoveryError(), saveFailed);
  EXPECT_EQ(observer->changes, before + 1) << "the status item shows the problem";
  EXPECT_EQ(logMessages(log, "pomodoro").back(),
            "focus recovery could not be cleared: the stored data could not be removed");

  recovery->stored.clearFails = false;
  focus->discardRecovery();
  EXPECT_FALSE(recovery->stored.value().has_value());
  EXPECT_FALSE(focus->recoveryError());
  EXPECT_TRUE(focus->pomodoro().isPaused()) << "only the saved copy goes";
}

TEST_F(FocusCoordinatorTest, AnUnreadableCheckpointIsShownAndGoesOnlyWhenDiscarded) {
  recovery->stored.makeUnreadable();
  make();
  EXPECT_TRUE(focus->pomodoro().phase().is<PomodoroSession::Phase::Idle>());
  EXPECT_EQ(focus->recoveryError(), recovery->stored.errorMessage());
  // Starting and cancelling a session must not remove it as a side effect.
  focus->startRequestedFocus(25, "write report");
  focus->cancelPomodoro();
  EXPECT_TRUE(recovery->stored.errorMessage().has_value());
  focus->discardRecovery();
  EXPECT_FALSE(focus->recoveryError());
}

TEST_F(FocusCoordinatorTest, AFocusTellsTheRestOfTheCoordinatorThroughItsInterfaces) {
  make();
  focus->startRequestedFocus(25, "  write   report ");
  EXPECT_EQ(focus->pomodoro().focus(), "write report");
  EXPECT_EQ(visits->kinds(), std::vector<Visit::Kind>{Visit::Kind::pomodoroStart()});
  EXPECT_EQ(observer->busyAt, std::vector<Date>{nine});
  EXPECT_TRUE(timer().isActive());

  fireAt(nine + 60);
  EXPECT_EQ(systemEvents->pendingWakeChecks, 1)
      << "a pending wake goes before the timer looks at time";
  fireAt(nine + 25 * 60);
  EXPECT_EQ(visits->kinds().back(), Visit::Kind::pomodoroComplete());
  ASSERT_EQ(history->entries().size(), 1u);
  EXPECT_EQ(history->entries()[0].focus, "write report");

  const int withdrawn = visits->withdrawals;
  focus->startBreak();
  EXPECT_EQ(visits->withdrawals, withdrawn + 1) << "a held completion visit is out of date";
  EXPECT_EQ(visits->withdrawn, std::vector<Visit::Kind>{Visit::Kind::pomodoroComplete()})
      << "only the finished period's visit, never its start";
  EXPECT_EQ(visits->kinds().back(), Visit::Kind::breakComplete());
}

TEST_F(FocusCoordinatorTest, AnAccomplishedPriorityFocusMarksThePriorityOnlyOnceItIsSaved) {
  make();
  DailyPriorities plan;
  const UUID id = plan.add("Write the report", nine, berlin);
  priorities->setPlan(plan);
  focus->startPriority(id, false);
  EXPECT_EQ(focus->activePriorityID(), id);
  fireAt(nine + 25 * 60);

  priorities->stored.savesFail = true;
  focus->markFocusAccomplished();
  EXPECT_TRUE(focus->pomodoro().completion().has_value()) << "the panel stays for another try";
  EXPECT_FALSE(history->entries().at(0).accomplishedAt);
  EXPECT_FALSE(priorities->plan().items().at(0).accomplishedAt);
  EXPECT_EQ(history->failures.size(), 1u);

  priorities->stored.savesFail = false;
  focus->markFocusAccomplished();
  EXPECT_FALSE(focus->pomodoro().completion().has_value());
  EXPECT_TRUE(history->entries().at(0).accomplishedAt);
  EXPECT_TRUE(priorities->plan().items().at(0).accomplishedAt);
  EXPECT_EQ(windows.focusHistory->shows, 2);
  EXPECT_EQ(refusal([&] { focus->startPriority(id, true); }),
            refusal([] { throw DailyPriorities::Error(DailyPriorities::ErrorCase::alreadyDone); }));
}

TEST_F(FocusCoordinatorTest, TheSharedLimitsDecideWhatMayStart) {
  make();
  const struct {
    const char* name;
    int minutes;
    std::string goal;
    bool starts;
  } rows[] = {
      {"shortest", 1, "a", true},
      {"longest", 90, std::string(120, 'g'), true},
      {"no minutes", 0, "a", false},
      {"one minute too long", 91, "a", false},
      {"goal one character too long", 25, std::string(121, 'g'), false},
      {"goal only spaces", 25, "   ", false},
      {"goal only zero-width spaces", 25, "\u200B \u200B", false},
      {"goal only control characters", 25, std::string("\x01\0\x1B", 3), false},
      {"a letter among them", 25, "\u200Bx", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (focus->pomodoro().isRunning()) focus->cancelPomodoro();  // idle has nothing to stop
    const std::string refused = refusal([&] { focus->startRequestedFocus(row.minutes, row.goal); });
    EXPECT_EQ(refused, row.starts ? "" : invalidGoal);
    EXPECT_EQ(focus->pomodoro().phase().kind().has_value(), row.starts);
  }
}

// A priority kept from before titles with nothing visible were refused still starts: its
// card offers the focus, and the user has no way to retitle it.
TEST_F(FocusCoordinatorTest, AStoredPriorityWithNothingVisibleStillStarts) {
  make();
  const DailyPriority kept{
      UUID::random(), "\u200B", nine, {DailyPriorities::dayKey(nine, berlin)}, std::nullopt};
  priorities->setPlan(DailyPriorities({kept}));
  EXPECT_EQ(refusal([&] { focus->startPriority(kept.id, false); }), "");
  EXPECT_EQ(focus->pomodoro().focus(), "\u200B");
  EXPECT_EQ(focus->activePriorityID(), kept.id);
  focus->cancelPomodoro();
  EXPECT_EQ(refusal([&] { focus->startRequestedFocus(25, "\u200B"); }), invalidGoal)
      << "the same goal typed";
}

TEST_F(FocusCoordinatorTest, NoteIsCountedInCharactersAfterCleaning) {
  std::string accented;
  for (int i = 0; i < 240; ++i) accented += "e\u0301";
  const std::string a240(240, 'a');
  const struct {
    const char* name;
    std::string note;
    bool accepted;
    std::string caption;
  } rows[] = {
      {"240 characters", a240, true, "Next: " + isolated(a240)},
      {"241 characters", a240 + "a", false, "Next: " + isolated("earlier")},
      {"240 accented", accented, true, "Next: " + isolated(accented)},
      {"runs count once", a240.substr(120) + " \t\n " + std::string(119, 'b'), true,
       "Next: " + isolated(a240.substr(120) + " " + std::string(119, 'b'))},
      {"empty", "   ", true, "paused"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    recovery = std::make_shared<FakeFocusRecoveryStore>();
    clock->set(nine);
    make();
    pausedFocus();
    windows.resumeNote->save("earlier");
    EXPECT_EQ(refusal([&] { windows.resumeNote->save(row.note); }),
              row.accepted ? "" : "Keep your next step to 240 characters.");
    EXPECT_EQ(presenter->sessions.back().caption, row.caption);
    const auto& stored = recovery->stored.value();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ("Next: " + isolated(stored->nextStep),
              row.caption == "paused" ? "Next: " + isolated("") : row.caption);
  }
}

TEST_F(FocusCoordinatorTest, AWindowFromAnEarlierSessionCannotChangeANewerOne) {
  make();
  focus->startRequestedFocus(25, "old");
  focus->requestPauseSession();
  const auto oldSave = windows.resumeNote->save;
  const auto oldResume = windows.resumeNote->resume;
  focus->cancelPomodoro();
  EXPECT_THROW(oldSave("late"), ActionError);
  focus->startRequestedFocus(25, "new");
  focus->requestPauseSession();
  EXPECT_EQ(refusal([&] { oldSave("late"); }), notPaused);
  oldResume();
  EXPECT_TRUE(focus->pomodoro().isPaused());
  EXPECT_EQ(focus->nextStep(), "");
}

TEST_F(FocusCoordinatorTest, HistoryWriteFailureIsReportedAndTheSessionMovesOn) {
  make();
  focus->startRequestedFocus(25, "write report");
  history->stored.savesFail = true;
  fireAt(nine + 25 * 60);
  EXPECT_TRUE(focus->pomodoro().phase().is<PomodoroSession::Phase::AwaitingBreak>());
  EXPECT_EQ(notifications->posted,
            (std::vector<FakeNotificationService::Posted>{
                {"Vorlane", "Focus finished, but its history could not be saved."}}));
  EXPECT_EQ(history->failures, std::vector<std::string>{"the disk is full"});
  EXPECT_EQ(visits->kinds().back(), Visit::Kind::pomodoroComplete());
}

TEST_F(FocusCoordinatorTest, StarterAndFullLengthsFollowTheSettingsWhenTheUserStarts) {
  preferences->setPreferences(Preferences({.workMinutes = 200, .breakMinutes = 45}));
  make();
  focus->requestFiveMinuteFocus();
  EXPECT_EQ(windows.focusSessionEditor->minutes, 5);
  windows.focusSessionEditor->start("");
  EXPECT_TRUE(focus->isStarterFocus());
  EXPECT_EQ(focus->pomodoro().workDuration(), 300);

  focus->requestNewPomodoro();
  EXPECT_TRUE(windows.focusSessionEditor->replacing);
  EXPECT_EQ(windows.focusSessionEditor->minutes, 90) << "the full length, clamped";
  preferences->setPreferences(Preferences({.workMinutes = 0}));
  windows.focusSessionEditor->start("next");
  EXPECT_FALSE(focus->isStarterFocus());
  EXPECT_EQ(focus->pomodoro().workDuration(), 60);
}

TEST_F(FocusCoordinatorTest, CallbacksHandedOutDoNothingOnceTheSessionIsGone) {
  make();
  pausedFocus();
  focus->showResumeNote(false);
  focus->requestNewPomodoro();
  auto save = windows.resumeNote->save;
  auto resume = windows.resumeNote->resume;
  auto start = windows.focusSessionEditor->start;
  focus.reset();
  EXPECT_NE(refusal([&] { save("later"); }), "");
  const int before = observer->changes;
  resume();
  start("write report");
  EXPECT_EQ(observer->changes, before);
  EXPECT_EQ(visits->enqueued.size(), 1u) << "only the first focus's start";
}

// A menu or pill built before a phase changed may send a request that no longer fits: the
// session's own rules decide, and a request they give no effect is refused in its sentence
// and leaves everything as it was (skipBreak and extendSession used to act on idle; extend
// with a finished break shown used to pass the menu and do nothing).
TEST_F(FocusCoordinatorTest, RequestsThatDoNotFitThePhaseAreRefusedAndChangeNothing) {
  const std::function<void()> requests[] = {
      [this] { focus->skipBreak(); }, [this] { focus->extendSession(5); },
      [this] { focus->requestPauseSession(); }, [this] { focus->requestResumeSession(); },
      [this] { focus->cancelPomodoro(); }};
  const char* const acts = "";
  // For skip, extend, pause, resume and cancel in each state: acts, or the refusal.
  const struct {
    At state;
    const char* outcome[5];
  } rows[] = {
      {At::idle, {noRunning, noRunning, noRunning, notPaused, noRunning}},
      {At::breakCard, {noRunning, noRunning, noRunning, notPaused, acts}},
      {At::working, {noRunning, acts, acts, notPaused, acts}},
      {At::awaiting, {acts, acts, noRunning, notPaused, acts}},
      {At::onBreak, {acts, acts, acts, notPaused, acts}},
      {At::pausedFocus, {noRunning, acts, noRunning, acts, acts}},
      {At::pausedBreak, {acts, acts, noRunning, acts, acts}},
  };
  for (const auto& row : rows) {
    for (int request = 0; request < 5; ++request) {
      SCOPED_TRACE(testing::Message()
                   << "state " << static_cast<int>(row.state) << ", request " << request);
      LogCapture rowLog;
      reach(row.state);
      const PomodoroSession before = focus->pomodoro();
      const auto panels = presenter->completions.size();
      const bool timing = timer().isActive();
      const auto lines = logMessages(rowLog, "pomodoro").size();
      const int changes = observer->changes;
      const std::string outcome = refusal(requests[request]);
      EXPECT_EQ(outcome, row.outcome[request]);
      EXPECT_EQ(!(focus->pomodoro() == before), outcome.empty());
      if (!outcome.empty()) {
        EXPECT_EQ(presenter->completions.size(), panels);
        EXPECT_EQ(timer().isActive(), timing);
        EXPECT_EQ(logMessages(rowLog, "pomodoro").size(), lines);
        EXPECT_EQ(observer->changes, changes);
      }
    }
  }
}

TEST_F(FocusCoordinatorTest, QuittingWritesACheckpointOnlyForAFocus) {
  make();
  focus->saveFocusForTermination();  // idle
  startFocus();
  clock->set(nine + 300);
  focus->saveFocusForTermination();
  EXPECT_EQ(recovery->stored.value()->session.remaining, 1200);
  const int writes = recovery->stored.saves;
  fireAt(nine + 1500);  // the focus ends and its checkpoint goes
  EXPECT_FALSE(recovery->stored.value());
  focus->saveFocusForTermination();  // a completion waits
  focus->startBreak();
  focus->saveFocusForTermination();  // on a break
  focus->extendSession(5);
  focus->requestPauseSession();  // a paused break
  EXPECT_EQ(recovery->stored.saves, writes);
}

TEST_F(FocusCoordinatorTest, MarkingAccomplishedNeedsANamedFocusAndKeepsItOnAFailure) {
  make();
  startFocus("");
  fireAt(nine + 1500);
  focus->markFocusAccomplished();  // no goal
  focus->startBreak();
  fireAt(nine + 1800);
  focus->markFocusAccomplished();  // a break
  EXPECT_EQ(
      logMessages(log, "pomodoro"),
      (std::vector<std::string>{"started a 25 minute session", "session complete, 1 done today",
                                "No completed named focus to mark accomplished", "break started",
                                "break over", "No completed named focus to mark accomplished"}));
  EXPECT_EQ(windows.focusHistory->shows, 0);
  startFocus("named");
  fireAt(nine + 3300);
  history->stored.savesFail = true;
  focus->markFocusAccomplished();
  EXPECT_TRUE(focus->pomodoro().completion().has_value());
  history->stored.savesFail = false;
  focus->markFocusAccomplished();
  EXPECT_TRUE(history->entries().back().accomplishedAt.has_value());
  EXPECT_FALSE(focus->pomodoro().completion().has_value());
  EXPECT_EQ(windows.focusHistory->shows, 2);
}

}  // namespace
}  // namespace vorlane
