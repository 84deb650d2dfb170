// Focus and break periods driven through the coordinator, the session timer fired by hand.
#include <gtest/gtest.h>

#include <string>

#include "tests/coordination/coordinator/coordinator_harness.h"

namespace vorlane {
namespace {

using FocusSessionTest = CoordinatorTest;

TEST_F(FocusSessionTest, FullFocusBreakAndCompletionCycle) {
  buildAndStart();
  coordinator->focus().requestNewPomodoro();
  windows.focusSessionEditor->start("  write\t\treport ");
  EXPECT_EQ(presenter->performed.at(0).bubbleText, "25 min");
  EXPECT_EQ(speech->spoken.back().text, "25 minutes. Go.");
  presenter->finishVisit();

  fireAt(at(11, 9));
  EXPECT_EQ(presenter->sessions.back().time, "15:00");
  EXPECT_EQ(presenter->sessions.back().caption, "write report");
  EXPECT_DOUBLE_EQ(*presenter->sessions.back().progress, 0.4);

  // The focus ends under the timer: recorded, celebrated without a bubble (the panel
  // carries the title), and the timer keeps running for the panel and its reminders.
  fireAt(at(11, 24));
  EXPECT_EQ(phase(), "awaiting");
  EXPECT_EQ(historyStore->entries().at(0).focus, "write report");
  EXPECT_EQ(presenter->performed.back().bubbleText, "25 min focus complete");
  EXPECT_FALSE(presenter->performed.back().showsBubble);
  EXPECT_EQ(speech->spoken.size(), 1u);  // the focus end says nothing
  EXPECT_EQ(presenter->lastCompletionTime, "11:24");
  EXPECT_EQ(presenter->lastElapsedText, "Finished just now");
  EXPECT_TRUE(timer().isActive());
  presenter->finishVisit();

  fireAt(at(11, 24, 20));
  EXPECT_TRUE(presenter->completionReminders.empty());
  fireAt(at(11, 24, 30));
  fireAt(at(11, 25, 31));
  EXPECT_EQ(presenter->completionReminders.size(), 2u);
  EXPECT_EQ(presenter->lastElapsedText, "Finished 1 min ago");

  presenter->onCharacterClicked();  // only awaiting a break does a click start one
  EXPECT_EQ(phase(), "break");
  EXPECT_EQ(presenter->performed.back().bubbleText, "Break 5m");
  EXPECT_EQ(speech->spoken.back().text, "Break time. 5 minutes.");
  presenter->finishVisit();
  presenter->onCharacterClicked();
  EXPECT_EQ(phase(), "break");
  fireAt(at(11, 27));
  EXPECT_EQ(presenter->sessions.back().caption, "break");

  // The break ends on the 30-second tick.
  tickAt(at(11, 31));
  EXPECT_EQ(phase(), "idle");
  EXPECT_EQ(presenter->performed.back().bubbleText, "5 min break complete");
  EXPECT_EQ(speech->spoken.back().text, "Break's over.");

  coordinator->focus().dismissCompletion();
  EXPECT_FALSE(timer().isActive());
  EXPECT_EQ(
      logMessages(log, "pomodoro"),
      (std::vector<std::string>{"started a 25 minute session", "session complete, 1 done today",
                                "completion reminder shown", "completion reminder shown",
                                "break started", "break over", "session cancelled"}));
}

TEST_F(FocusSessionTest, PhaseEndShowsAsTheEnvironmentAndMotionSettingAllow) {
  const struct {
    const char* name;
    bool reduceMotion, cameraAtEnd, cameraAtReminder, visitShown, panelShown;
    std::string reminderLine;
  } rows[] = {
      {"free", false, false, false, true, true, "completion reminder shown"},
      {"reduce motion", true, false, false, false, true, "completion reminder shown"},
      {"camera on", false, true, true, false, false,
       "completion reminder suppressed: camera in use"},
      {"camera off again", false, true, false, false, false,
       "completion reminder suppressed: original completion was suppressed"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    LogCapture rowLog;
    environment->facts.cameraInUse = false;
    const bool reduce = row.reduceMotion;
    fresh(at(10, 59),
          [reduce](auto& given) { given.prefersReducedMotion = [reduce] { return reduce; }; });
    startFocus();

    environment->facts.cameraInUse = row.cameraAtEnd;
    fireAt(at(11, 24));
    EXPECT_EQ(presenter->offered.size(), row.visitShown ? 2u : 1u);
    if (row.cameraAtEnd) {  // suppressed, the visit keeps its title for the notification
      EXPECT_EQ(notifications->posted.back().body, "25 min focus complete");
    }
    EXPECT_EQ(presenter->completions.size() > 1, row.panelShown);
    environment->facts.cameraInUse = row.cameraAtReminder;
    presenter->finishVisit();
    fireAt(at(11, 24, 31));
    EXPECT_EQ(logMessages(rowLog, "pomodoro").back(), row.reminderLine);
  }
}

// Stopping a session ends what announced its period: the start (or break) visit on screen
// climbs away at once and its speech stops, and a held one never comes. Other visits, and
// a session whose announcement has already left, are left alone.
TEST_F(FocusSessionTest, StoppingASessionCutsItsAnnouncementShort) {
  const Visit hourly = visit(Visit::Kind::hourly(), at(11, 0), "It's 11");
  const auto startNow = [this] {
    coordinator->focus().requestNewPomodoro();
    windows.focusSessionEditor->start("write report");
  };
  const struct {
    const char* name;
    std::function<void()> reach;
    std::function<void()> stop;
    // The bubble cut short, if any.
    const char* cut;
  } rows[] = {
      {"from the tray during the start visit", startNow,
       [this] { coordinator->focus().cancelPomodoro(); }, "25 min"},
      {"from the pill during the start visit", startNow,
       [this] { presenter->onQuickAction(QuickAction::cancelSession); }, "25 min"},
      {"ending the break during its visit",
       [&] {
         reach(At::awaiting);
         coordinator->focus().startBreak();
       },
       [this] { coordinator->focus().cancelPomodoro(); }, "Break 5m"},
      {"skipping the break during its visit",
       [&] {
         reach(At::awaiting);
         coordinator->focus().startBreak();
       },
       [this] { coordinator->focus().skipBreak(); }, "Break 5m"},
      {"a start visit held behind another",
       [&] {
         coordinator->enqueue(hourly);
         startNow();
       },
       [this] { coordinator->focus().cancelPomodoro(); }, nullptr},
      {"after the start visit left", [&] { reach(At::working); },
       [this] { coordinator->focus().cancelPomodoro(); }, nullptr},
      {"during another visit",
       [&] {
         reach(At::working);
         coordinator->enqueue(hourly);
       },
       [this] { coordinator->focus().cancelPomodoro(); }, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fresh();
    row.reach();
    const std::optional<Visit> onScreen = presenter->currentVisit();
    const auto performed = presenter->performed.size();
    row.stop();
    EXPECT_EQ(phase(), "idle");
    if (row.cut) {
      ASSERT_EQ(presenter->cutShort.size(), 1u);
      EXPECT_EQ(presenter->cutShort[0].bubbleText, row.cut);
      EXPECT_EQ(speech->stops, 1) << "what it says stops with it";
      EXPECT_EQ(presenter->currentVisit(), onScreen) << "it climbs away rather than vanish";
    } else {
      EXPECT_TRUE(presenter->cutShort.empty());
      EXPECT_EQ(speech->stops, 0);
    }
    // Whatever is on screen leaves; nothing about the stopped session follows it.
    presenter->finishVisit();
    EXPECT_EQ(presenter->performed.size(), performed);
    EXPECT_FALSE(presenter->currentVisit().has_value());
  }
}

}  // namespace
}  // namespace vorlane
