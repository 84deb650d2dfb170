// Reminders from the coordinator (add, edit, remove, undo, snooze) and the mute.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "tests/coordination/coordinator/coordinator_harness.h"

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
  const Reminder added = coordinator->reminders().add("in 25m stretch");
  EXPECT_EQ(reminders->reminders(), std::vector<Reminder>{added});
  for (const Date tick : {at(11, 0), at(11, 23, 30)}) tickAndFinish(tick);
  EXPECT_TRUE(reminderVisitsShown().empty());
  for (const Date tick : {at(11, 24), at(11, 24, 30), at(11, 25)}) tickAndFinish(tick);
  ASSERT_EQ(reminderVisitsShown().size(), 1u);
  EXPECT_EQ(coordinator->reminders().lastFired(), added);
}

TEST_F(RemindersAndMuteTest, SnoozeRepeatsTheLastReminderVisitOnceAndLeavesItStored) {
  coordinator->reminders().snoozeLast(10);  // no reminder visit yet
  EXPECT_TRUE(reminders->reminders().empty());
  const Reminder daily = coordinator->reminders().add("daily 11:30am stretch");
  tickAndFinish(at(11, 0));
  tickAndFinish(at(11, 30));
  ASSERT_EQ(coordinator->reminders().lastFired(), daily);

  clock->set(at(11, 31));
  coordinator->reminders().snoozeLast(10);
  ASSERT_EQ(reminders->reminders().size(), 2u);
  const Reminder snoozed = reminders->reminders()[1];
  EXPECT_EQ(snoozed.trigger, VisitTrigger::countdown(600));
  EXPECT_EQ(reminderLog().back(), "snoozed stretch by 10 minutes");
  coordinator->reminders().snoozeLast(10);  // the second does nothing
  EXPECT_EQ(reminders->reminders().size(), 2u);
  tickAndFinish(at(11, 41));
  EXPECT_EQ(reminderVisitsShown().at(1).kind.reminderID(), snoozed.id);
  // Undo removes the snoozed copy, never the daily one.
  coordinator->reminders().undoLast();
  EXPECT_EQ(reminders->reminders(), std::vector<Reminder>{daily});
}

TEST_F(RemindersAndMuteTest, WhileMutedRemindersAreSilentNotificationsUntilTheMuteRunsOut) {
  coordinator->mute(MuteDuration::untilTomorrow);
  EXPECT_EQ(coordinator->reminders().muteExpiry(), *berlin.date(2026, 3, 11));
  coordinator->mute(MuteDuration::fifteenMinutes);  // replaces the old end, even a later one
  EXPECT_EQ(coordinator->reminders().muteExpiry(), at(11, 14));
  coordinator->reminders().add("in 5m stretch");
  coordinator->reminders().add("in 20m water");
  tickAt(at(11, 0));
  tickAt(at(11, 4));
  EXPECT_TRUE(presenter->performed.empty());
  // The hour's visit and the reminder, each as its own notification.
  ASSERT_EQ(notifications->posted.size(), 2u);
  EXPECT_EQ(notifications->posted[1].body, "stretch");
  // A suppressed reminder visit never becomes the snooze source.
  EXPECT_FALSE(coordinator->reminders().lastFired());
  clock->set(at(11, 14));
  EXPECT_FALSE(coordinator->reminders().muteExpiry());
  EXPECT_EQ(coordinator->reminders().mutedUntil(),
            at(11, 14));  // kept until the next mute or unmute
  tickAt(at(11, 19));
  EXPECT_EQ(reminderVisitsShown().size(), 1u);
}

TEST_F(RemindersAndMuteTest, MuteHotKeyTogglesAnHourAndMutesAgainOnceItRanOut) {
  ASSERT_TRUE(hotKeys->press(muteHotKey.identifier));
  EXPECT_EQ(coordinator->reminders().muteExpiry(), at(11, 59));
  EXPECT_TRUE(presenter->contexts.back().isMuted);
  hotKeys->press(muteHotKey.identifier);
  EXPECT_FALSE(coordinator->reminders().mutedUntil());
  hotKeys->press(muteHotKey.identifier);
  clock->set(at(12, 0));
  EXPECT_FALSE(coordinator->reminders().muteExpiry());
  hotKeys->press(muteHotKey.identifier);
  EXPECT_EQ(coordinator->reminders().muteExpiry(), at(13, 0));
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
    coordinator->reminders().unmute();
    speech->speak("a long reminder", nullptr);
    const int stopsBefore = speech->stops;
    muteNow();
    EXPECT_FALSE(speech->isSpeaking()) << name;
    EXPECT_EQ(speech->stops, stopsBefore + 1) << name;
  }
  // Unmuting leaves speech alone.
  speech->speak("the hour", nullptr);
  hotKeys->press(muteHotKey.identifier);
  EXPECT_FALSE(coordinator->reminders().mutedUntil());
  EXPECT_TRUE(speech->isSpeaking());
}

}  // namespace
}  // namespace vorlane
