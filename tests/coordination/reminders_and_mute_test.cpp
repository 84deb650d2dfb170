// Reminders from the coordinator (add, edit, remove, undo, snooze) and the mute.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "tests/coordination/coordinator_harness.h"

namespace vorlane {
namespace {

class RemindersAndMuteTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }
  std::vector<Visit> reminderVisitsShown() const {
    std::vector<Visit> shown;
    for (const Visit& v : presenter->performed) {
      if (v.kind.value() == Visit::Kind::Case::reminder) shown.push_back(v);
    }
    return shown;
  }
  // Ticks at the moment and lets whatever visit came climb away again.
  void tickAndFinish(Date date) {
    tickAt(date);
    presenter->finishVisit();
  }
  std::vector<std::string> reminderLog() const { return logMessages(log, "reminders"); }
};

TEST_F(RemindersAndMuteTest, PlainWordsReminderFiresOnceAtItsMinute) {
  const Reminder added = coordinator->addReminder("in 25m stretch");
  EXPECT_EQ(reminders->reminders(), std::vector<Reminder>{added});
  for (const Date tick : {at(11, 0), at(11, 23, 30)}) tickAndFinish(tick);
  EXPECT_TRUE(reminderVisitsShown().empty());
  for (const Date tick : {at(11, 24), at(11, 24, 30), at(11, 25)}) tickAndFinish(tick);
  ASSERT_EQ(reminderVisitsShown().size(), 1u);
  EXPECT_EQ(coordinator->lastFiredReminder(), added);
}

TEST_F(RemindersAndMuteTest, EditingAndRemovingMoveTheUndoTargetOnlyForTheLastAdded) {
  const Reminder other = coordinator->addReminder("in 10m water");
  const Reminder last = coordinator->addReminder("in 25m stretch");
  clock->set(at(11, 5));
  const Reminder phraseOnly = coordinator->updateReminder(last.id, "  stretch legs ", "");
  EXPECT_EQ(phraseOnly.phrase, "stretch legs");
  EXPECT_EQ(phraseOnly.createdAt, last.createdAt);  // a blank schedule keeps the trigger
  const Reminder rescheduled = coordinator->updateReminder(last.id, "stretch legs", "in 40m");
  EXPECT_EQ(rescheduled.createdAt, at(11, 5));
  coordinator->updateReminder(other.id, "drink water", "");
  EXPECT_EQ(coordinator->lastAddedReminder(), rescheduled);

  coordinator->undoLastReminder();
  EXPECT_EQ(reminders->reminders().at(0).id, other.id);
  EXPECT_FALSE(coordinator->lastAddedReminder());

  // Removing logs nothing and clears the undo target only when it is the last added.
  const Reminder newest = coordinator->addReminder("in 25m stretch");
  coordinator->removeReminder(other.id);
  EXPECT_EQ(coordinator->lastAddedReminder(), newest);
  coordinator->removeReminder(newest.id);
  EXPECT_FALSE(coordinator->lastAddedReminder());
  EXPECT_EQ(reminderLog(),
            (std::vector<std::string>{"added reminder: water", "added reminder: stretch",
                                      "updated reminder: stretch legs",
                                      "updated reminder: stretch legs",
                                      "updated reminder: drink water",
                                      "undid reminder: stretch legs", "added reminder: stretch"}));
}

TEST_F(RemindersAndMuteTest, FailedAddsAndEditsReachTheCallerUnchangedAndChangeNothing) {
  const Reminder stored = coordinator->addReminder("in 25m stretch");
  const int signals = stateChanges;
  const auto logBefore = log.lines().size();
  const std::string noTime = "Add a time, such as 4pm, in 25m, or weekdays 9:30am.";
  const std::string noPhrase = "Add a message for the character to say.";
  const struct {
    std::function<void()> attempt;
    std::string sentence;
  } rows[] = {
      {[&] { coordinator->addReminder("   "); }, noTime},
      {[&] { coordinator->addReminder("stretch"); }, noTime},
      {[&] { coordinator->addReminder("in 25m"); }, noPhrase},
      {[&] { coordinator->updateReminder(stored.id, "walk", "someday"); }, noTime},
      {[&] { coordinator->updateReminder(stored.id, "  ", ""); }, noPhrase},
      {[&] { coordinator->updateReminder(UUID::random(), "walk", ""); },
       "This reminder is no longer saved. Close this window and add a new reminder."},
  };
  for (const auto& row : rows) EXPECT_EQ(refusal(row.attempt), row.sentence);
  EXPECT_EQ(reminders->reminders(), std::vector<Reminder>{stored});
  EXPECT_EQ(coordinator->lastAddedReminder(), stored);
  EXPECT_EQ(stateChanges, signals);
  EXPECT_EQ(log.lines().size(), logBefore);
}

TEST_F(RemindersAndMuteTest, SnoozeRepeatsTheLastReminderVisitOnceAndLeavesItStored) {
  coordinator->snoozeLastReminder(10);  // no reminder visit yet
  EXPECT_TRUE(reminders->reminders().empty());
  const Reminder daily = coordinator->addReminder("daily 11:30am stretch");
  tickAndFinish(at(11, 0));
  tickAndFinish(at(11, 30));
  ASSERT_EQ(coordinator->lastFiredReminder(), daily);

  clock->set(at(11, 31));
  coordinator->snoozeLastReminder(10);
  ASSERT_EQ(reminders->reminders().size(), 2u);
  const Reminder snoozed = reminders->reminders()[1];
  EXPECT_EQ(snoozed.trigger, VisitTrigger::countdown(600));
  EXPECT_EQ(reminderLog().back(), "snoozed stretch by 10 minutes");
  coordinator->snoozeLastReminder(10);  // the second does nothing
  EXPECT_EQ(reminders->reminders().size(), 2u);
  tickAndFinish(at(11, 41));
  EXPECT_EQ(reminderVisitsShown().at(1).kind.reminderId(), snoozed.id);
  // Undo removes the snoozed copy, never the daily one.
  coordinator->undoLastReminder();
  EXPECT_EQ(reminders->reminders(), std::vector<Reminder>{daily});
}

TEST_F(RemindersAndMuteTest, WhileMutedRemindersAreSilentNotificationsUntilTheMuteRunsOut) {
  coordinator->mute(MuteDuration::untilTomorrow);
  EXPECT_EQ(coordinator->muteExpiry(), *berlin.date(2026, 3, 11));
  coordinator->mute(MuteDuration::fifteenMinutes);  // replaces the old end, even a later one
  EXPECT_EQ(coordinator->muteExpiry(), at(11, 14));
  coordinator->addReminder("in 5m stretch");
  coordinator->addReminder("in 20m water");
  tickAt(at(11, 0));
  tickAt(at(11, 4));
  EXPECT_TRUE(presenter->performed.empty());
  // The hour's visit and the reminder, each as its own notification.
  ASSERT_EQ(notifications->posted.size(), 2u);
  EXPECT_EQ(notifications->posted[1].body, "stretch");
  // A suppressed reminder visit never becomes the snooze source.
  EXPECT_FALSE(coordinator->lastFiredReminder());
  clock->set(at(11, 14));
  EXPECT_FALSE(coordinator->muteExpiry());
  EXPECT_EQ(coordinator->mutedUntil(), at(11, 14));  // kept until the next mute or unmute
  tickAt(at(11, 19));
  EXPECT_EQ(reminderVisitsShown().size(), 1u);
}

TEST_F(RemindersAndMuteTest, MuteHotKeyTogglesAnHourAndMutesAgainOnceItRanOut) {
  ASSERT_TRUE(hotKeys->press(muteHotKey.identifier));
  EXPECT_EQ(coordinator->muteExpiry(), at(11, 59));
  EXPECT_TRUE(presenter->contexts.back().isMuted);
  hotKeys->press(muteHotKey.identifier);
  EXPECT_FALSE(coordinator->mutedUntil());
  hotKeys->press(muteHotKey.identifier);
  clock->set(at(12, 0));
  EXPECT_FALSE(coordinator->muteExpiry());
  hotKeys->press(muteHotKey.identifier);
  EXPECT_EQ(coordinator->muteExpiry(), at(13, 0));
  // Berlin is an hour ahead of the log's UTC.
  EXPECT_EQ(logMessages(log, "suppression"),
            (std::vector<std::string>{"muted until 2026-03-10 10:59:00 +0000", "unmuted",
                                      "muted until 2026-03-10 10:59:00 +0000",
                                      "muted until 2026-03-10 12:00:00 +0000"}));
}

// Regression: a long reminder went on being spoken after Mute.
TEST_F(RemindersAndMuteTest, MutingFromTheMenuThePillOrTheHotKeySilencesSpeechUnderWay) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"menu", [this] { coordinator->mute(MuteDuration::fifteenMinutes); }},
      {"pill", [this] { coordinator->perform(QuickAction::mute); }},
      {"hot key", [this] { hotKeys->press(muteHotKey.identifier); }},
  };
  for (const auto& [name, muteNow] : ways) {
    coordinator->unmute();
    speech->speak("a long reminder", nullptr);
    const int stopsBefore = speech->stops;
    muteNow();
    EXPECT_FALSE(speech->isSpeaking()) << name;
    EXPECT_EQ(speech->stops, stopsBefore + 1) << name;
  }
  // Unmuting leaves speech alone.
  speech->speak("the hour", nullptr);
  hotKeys->press(muteHotKey.identifier);
  EXPECT_FALSE(coordinator->mutedUntil());
  EXPECT_TRUE(speech->isSpeaking());
}

}  // namespace
}  // namespace vorlane
