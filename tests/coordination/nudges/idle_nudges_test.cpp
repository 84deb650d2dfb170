// Idle invitations and encouragements on their own: a fake mascot and editor, no session.
#include "coordination/nudges/idle_nudges.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_coordination_observer.h"
#include "tests/support/fake_feature_windows.h"
#include "tests/support/fake_visit_presenter.h"
#include "tests/support/fake_visit_sink.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

const Calendar berlin("Europe/Berlin", "en_GB");
const Date eleven = *berlin.date(2026, 3, 10, 11, 0, 0);

Date at(int hour, int minute) { return *berlin.date(2026, 3, 10, hour, minute, 0); }

class IdleNudgesTest : public testing::Test {
 protected:
  std::unique_ptr<IdleNudges> make() {
    return std::make_unique<IdleNudges>(IdleNudges::Dependencies{
        .clock = clock,
        .presenter = presenter,
        .preferencesStore = preferences,
        // The lowest word brings the first encouragement 3000 s on.
        .random = std::make_shared<ScriptedRandomGenerator>(
            std::vector<std::uint64_t>(8, ScriptedRandomGenerator::lowest)),
        .focusSessionEditor = editor,
        .calendar = [] { return berlin; },
        .prefersReducedMotion = [] { return false; },
        .visits = visits,
        .observer = observer});
  }

  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(eleven);
  std::shared_ptr<FakeVisitPresenter> presenter = std::make_shared<FakeVisitPresenter>();
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>(Preferences({.workMinutes = 200}));
  std::shared_ptr<FakeFocusSessionEditorWindow> editor =
      std::make_shared<FakeFocusSessionEditorWindow>();
  PomodoroSession idle{25, 5};
  std::shared_ptr<FakeVisitSink> visits = std::make_shared<FakeVisitSink>();
  std::shared_ptr<FakeCoordinationObserver> observer = std::make_shared<FakeCoordinationObserver>();
};

TEST_F(IdleNudgesTest, AnInvitationComesAQuarterHourIntoIdlenessWithTheClampedLength) {
  const struct {
    const char* name;
    bool editorOpen, allowed;
    std::size_t invitations;
  } rows[] = {
      {"idle and free", false, true, 1},
      {"the editor is open", true, true, 0},
      {"nothing may show", false, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    presenter->invitations.clear();
    editor->open = row.editorOpen;
    visits->quiet = !row.allowed;
    clock->set(eleven);
    const auto nudges = make();
    nudges->considerInvitation(idle, eleven + 899);
    EXPECT_TRUE(presenter->invitations.empty());
    nudges->considerInvitation(idle, eleven + 900);
    EXPECT_EQ(presenter->invitations.size(), row.invitations);
    if (row.invitations) {
      EXPECT_EQ(presenter->invitations[0], 90);
    }
  }
}

TEST_F(IdleNudgesTest, ABusyUserStartsTheWaitOver) {
  const auto nudges = make();
  nudges->considerInvitation(idle, eleven + 600);
  nudges->restartInvitationWait(eleven + 600);
  nudges->considerInvitation(idle, eleven + 900);
  EXPECT_TRUE(presenter->invitations.empty());
  nudges->considerInvitation(idle, eleven + 1500);
  EXPECT_EQ(presenter->invitations.size(), 1u);
}

TEST_F(IdleNudgesTest, AnEncouragementGoesToTheQueueAndOneOnDemandStraightToTheMascot) {
  const auto nudges = make();
  nudges->restart(eleven);
  nudges->considerEncouragement(idle, eleven + 2999);
  EXPECT_TRUE(visits->enqueued.empty());
  nudges->considerEncouragement(idle, eleven + 3000);
  ASSERT_EQ(visits->enqueued.size(), 1u);
  EXPECT_EQ(visits->enqueued[0].kind, Visit::Kind::encouragement());
  EXPECT_TRUE(visits->enqueued[0].spokenPhrase.empty()) << "never spoken";

  nudges->encourageNow(idle);
  ASSERT_EQ(presenter->performed.size(), 1u);
  presenter->finishVisit();
  EXPECT_EQ(observer->changes, 1) << "its end refreshes the status item";
}

TEST_F(IdleNudgesTest, AnOccasionThatCannotBeShownIsUsedUpAndOnlyOneMoreFollows) {
  // What stands in the way at the first occasion; it is cleared before the second.
  const struct {
    const char* name;
    Date start;
    Preferences::Params settings;
    bool suppressed;
  } rows[] = {
      {"nothing", at(10, 0), {}, false},
      {"invitations off", at(10, 0), {.idleFocusInvitationsEnabled = false}, false},
      {"mascot hidden", at(10, 0), {.presenceMode = PresenceMode::hidden}, false},
      // 22:10 in Berlin: outside 9 to 21, although 21:10 in UTC would be inside.
      {"after the active hours", at(21, 55), {.activeEndHour = 21}, false},
      {"camera in use", at(10, 0), {}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    preferences->setPreferences(Preferences(row.settings));
    presenter->invitations.clear();
    visits->quiet = row.suppressed;
    clock->set(row.start);
    const auto nudges = make();
    nudges->restart(row.start);
    const auto tickAt = [&](Date date) {
      clock->set(date);
      nudges->considerInvitation(idle, date);
    };
    const std::size_t blocked = std::string(row.name) != "nothing";
    tickAt(row.start + 900);
    EXPECT_EQ(presenter->invitations.size(), 1 - blocked);
    preferences->setPreferences(Preferences({.activeEndHour = 23, .workMinutes = 40}));
    visits->quiet = false;
    tickAt(row.start + 900 + 3599);
    tickAt(row.start + 900 + 3600);
    tickAt(row.start + 900 + 7200);
    EXPECT_EQ(presenter->invitations.size(), 2 - blocked);
    EXPECT_EQ(presenter->invitations.back(), 40);
    EXPECT_TRUE(visits->enqueued.empty()) << "an invitation is never a visit, nor posted";
  }
}

}  // namespace
}  // namespace vorlane
