// Reminders and the mute on their own: a real scheduler over a fake clock, stored in memory.
#include "coordination/reminders/reminder_coordinator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_coordination_observer.h"
#include "tests/support/fake_reminder_store.h"
#include "tests/support/headline_visit.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

const Calendar berlin("Europe/Berlin", "en_GB");

Date at(int hour, int minute) { return *berlin.date(2026, 3, 10, hour, minute, 0); }

class ReminderCoordinatorTest : public testing::Test {
 protected:
  Visit reminderVisit(const UUID& id) const {
    return headlineVisit(UUID::random(), Visit::Kind::reminder(id), clock->now(), "x");
  }

  LogCapture log;
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(at(10, 59));
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<VisitScheduler> scheduler = std::make_shared<VisitScheduler>(
      clock, berlin, [store = preferences] { return store->preferences(); });
  std::shared_ptr<FakeReminderStore> store = std::make_shared<FakeReminderStore>();
  std::shared_ptr<FakeCoordinationObserver> observer = std::make_shared<FakeCoordinationObserver>();
  const std::vector<std::string>& told = observer->told;
  ReminderCoordinator reminders{clock, scheduler, store, [] { return berlin; }, observer};
};

TEST_F(ReminderCoordinatorTest, EveryChangeReachesTheSchedulerBeforeTheNextTick) {
  scheduler->dueVisits();  // anchored at 10:59
  reminders.add("in 5m water");
  const Reminder removed = reminders.add("in 5m tea");
  reminders.remove(removed.id);
  const Reminder edited = reminders.add("in 30m call");
  reminders.update(edited.id, "call mum", "in 5m");
  clock->set(at(11, 4));
  // Asked directly: nothing else has handed the list over since.
  std::vector<std::string> due;
  for (const Visit& v : scheduler->dueVisits()) {
    if (v.kind.value() == Visit::Kind::Case::reminder) due.push_back(v.spokenPhrase);
  }
  EXPECT_EQ(due, (std::vector<std::string>{"water", "call mum"}));
  EXPECT_EQ(told, std::vector<std::string>(5, "state"));  // one per change
}

// Minutes whose seconds would overflow must not wrap round into a reminder in the past.
TEST_F(ReminderCoordinatorTest, SnoozeWhoseSecondsWouldOverflowDoesNothing) {
  const Reminder stretch = reminders.add("in 1m stretch");
  reminders.visitPresenting(reminderVisit(stretch.id));
  constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
  for (const std::int64_t minutes : {most, most / 60 + 1, least, least / 60 - 1}) {
    reminders.snoozeLast(minutes);
  }
  EXPECT_EQ(store->reminders().size(), 1u);
  reminders.snoozeLast(most / 60);  // the largest that fits still works
  EXPECT_EQ(store->reminders().at(1).trigger,
            VisitTrigger::countdown(static_cast<double>(most / 60 * 60)));
}

TEST_F(ReminderCoordinatorTest, OnlyAReminderVisitOfAStoredReminderBecomesTheSnoozeSource) {
  const Reminder stretch = reminders.add("in 1m stretch");
  const struct {
    const char* name;
    Visit visit;
    bool becomesSource;
  } rows[] = {
      {"the stored reminder", reminderVisit(stretch.id), true},
      {"a reminder deleted meanwhile", reminderVisit(UUID::random()), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    reminders.visitPresenting(row.visit);
    EXPECT_EQ(reminders.lastFired().has_value(), row.becomesSource);
  }
  // Another kind of visit leaves the source as it was.
  reminders.visitPresenting(reminderVisit(stretch.id));
  Visit hour = reminderVisit(stretch.id);
  hour.kind = Visit::Kind::hourly();
  reminders.visitPresenting(hour);
  EXPECT_EQ(reminders.lastFired(), stretch);
}

TEST_F(ReminderCoordinatorTest, TheMuteTellsThePillsBeforeTheStatusItem) {
  reminders.toggleMute();
  EXPECT_EQ(reminders.muteExpiry(), at(11, 59));
  EXPECT_TRUE(reminders.isMuted(at(11, 58)));
  EXPECT_FALSE(reminders.isMuted(at(11, 59)));
  reminders.toggleMute();
  EXPECT_FALSE(reminders.mutedUntil());
  EXPECT_EQ(told, (std::vector<std::string>{"mute", "state", "mute", "state"}));
}

TEST_F(ReminderCoordinatorTest, EditingAndRemovingMoveTheUndoTargetOnlyForTheLastAdded) {
  const Reminder other = reminders.add("in 10m water");
  const Reminder last = reminders.add("in 25m stretch");
  clock->set(at(11, 5));
  const Reminder phraseOnly = reminders.update(last.id, "  stretch legs ", "");
  EXPECT_EQ(phraseOnly.phrase, "stretch legs");
  EXPECT_EQ(phraseOnly.createdAt, last.createdAt);  // a blank schedule keeps the trigger
  const Reminder rescheduled = reminders.update(last.id, "stretch legs", "in 40m");
  EXPECT_EQ(rescheduled.createdAt, at(11, 5));
  reminders.update(other.id, "drink water", "");
  EXPECT_EQ(reminders.lastAdded(), rescheduled);

  reminders.undoLast();
  EXPECT_EQ(store->reminders().at(0).id, other.id);
  EXPECT_FALSE(reminders.lastAdded());

  // Removing logs nothing and clears the undo target only when it is the last added.
  const Reminder newest = reminders.add("in 25m stretch");
  reminders.remove(other.id);
  EXPECT_EQ(reminders.lastAdded(), newest);
  reminders.remove(newest.id);
  EXPECT_FALSE(reminders.lastAdded());
  EXPECT_EQ(
      logMessages(log, "reminders"),
      (std::vector<std::string>{"added reminder: water", "added reminder: stretch",
                                "updated reminder: stretch legs", "updated reminder: stretch legs",
                                "updated reminder: drink water", "undid reminder: stretch legs",
                                "added reminder: stretch"}));
}

TEST_F(ReminderCoordinatorTest, FailedAddsAndEditsReachTheCallerUnchangedAndChangeNothing) {
  const Reminder stored = reminders.add("in 25m stretch");
  const auto signals = told.size();
  const auto logBefore = log.lines().size();
  const std::string noTime = "Add a time, such as 4pm, in 25m, or weekdays 9:30am.";
  const std::string noPhrase = "Add a message for the character to say.";
  const struct {
    std::function<void()> attempt;
    std::string sentence;
  } rows[] = {
      {[&] { reminders.add("   "); }, noTime},
      {[&] { reminders.add("stretch"); }, noTime},
      {[&] { reminders.add("in 25m"); }, noPhrase},
      {[&] { reminders.update(stored.id, "walk", "someday"); }, noTime},
      {[&] { reminders.update(stored.id, "  ", ""); }, noPhrase},
      {[&] { reminders.update(UUID::random(), "walk", ""); },
       "This reminder is no longer saved. Close this window and add a new reminder."},
  };
  for (const auto& row : rows) EXPECT_EQ(refusal(row.attempt), row.sentence);
  EXPECT_EQ(store->reminders(), std::vector<Reminder>{stored});
  EXPECT_EQ(reminders.lastAdded(), stored);
  EXPECT_EQ(told.size(), signals);
  EXPECT_EQ(log.lines().size(), logBefore);
}

// A change the store refuses reaches the caller with the store's sentence and leaves
// everything as it was: the list, the undo target and the snooze source, so that trying
// again does what the first try would have done.
TEST_F(ReminderCoordinatorTest, ChangesTheStoreRefusesThrowItsSentenceAndChangeNothing) {
  scheduler->dueVisits();  // anchored at 10:59
  const Reminder water = reminders.add("in 5m water");
  const Reminder stretch = reminders.add("in 1m stretch");
  reminders.visitPresenting(reminderVisit(water.id));
  const auto signals = told.size();
  const auto logBefore = log.lines().size();
  store->failWith(LocalJSONDocumentFailure::diskFull);
  const std::string full(describe(LocalJSONDocumentFailure::diskFull));
  const std::function<void()> refused[] = {
      [&] { reminders.add("in 5m tea"); },
      [&] { reminders.update(stretch.id, "stretch legs", "in 5m"); },
      [&] { reminders.remove(water.id); },
      [&] { reminders.undoLast(); },
      [&] { reminders.snoozeLast(10); },
  };
  for (const auto& attempt : refused) EXPECT_EQ(refusal(attempt), full);
  EXPECT_EQ(store->refused, 5);
  EXPECT_EQ(store->reminders(), (std::vector<Reminder>{water, stretch}));
  EXPECT_EQ(reminders.lastAdded(), stretch);
  EXPECT_EQ(reminders.lastFired(), water);
  EXPECT_EQ(told.size(), signals) << "nothing changed, so nothing to show";
  EXPECT_EQ(log.lines().size(), logBefore) << "no \"added\" or \"undid\" line for a refusal";

  // Expired reminders the store cannot forget stay until it can; the tick is not stopped.
  clock->set(at(15, 0));
  reminders.pruneExpired(clock->now());
  EXPECT_EQ(store->count(), 2u);
  store->refusal = nullptr;
  reminders.pruneExpired(clock->now());
  EXPECT_EQ(store->count(), 0u);

  // Once the store takes changes again, undo and snooze do what they were asked to.
  const Reminder tea = reminders.add("in 5m tea");
  reminders.visitPresenting(reminderVisit(tea.id));
  store->failWith(LocalJSONDocumentFailure::notWritable);
  EXPECT_EQ(refusal([&] { reminders.undoLast(); }),
            describe(LocalJSONDocumentFailure::notWritable));
  EXPECT_EQ(refusal([&] { reminders.snoozeLast(10); }),
            describe(LocalJSONDocumentFailure::notWritable));
  store->refusal = nullptr;
  reminders.snoozeLast(10);
  ASSERT_EQ(store->count(), 2u);
  EXPECT_EQ(store->reminders()[1].phrase, "tea");
  reminders.undoLast();
  EXPECT_EQ(store->reminders(), std::vector<Reminder>{tea});
}

}  // namespace
}  // namespace vorlane
