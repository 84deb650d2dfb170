// Idle focus invitations and encouragements.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/motivation/encouragement_library.h"
#include "tests/coordination/coordinator_harness.h"
#include "tests/support/scripted_random.h"

namespace vorlane {
namespace {

using Word = std::uint64_t;
constexpr Word low = ScriptedRandomGenerator::lowest;

class InvitationTest : public CoordinatorTest {
 protected:
  // Started at `now` with the random words given (the first one times the first
  // encouragement: the lowest word makes it come 3000 s after start-up).
  void startAt(Date now, std::initializer_list<Word> words = {low}) {
    random = std::make_shared<ScriptedRandomGenerator>(words);
    startAt(now, random);
  }
  void startAt(Date now, std::shared_ptr<RandomGenerator> generator) {
    clock->set(now);
    auto given = dependencies();
    given.random = std::move(generator);
    build(std::move(given));
    coordinator->start();
  }
  void change(const std::function<void(Preferences&)>& edit) {
    Preferences settings = preferences->preferences();
    edit(settings);
    preferences->setPreferences(settings);
  }
  void pauseRestoredFocus() {
    FocusRecoveryStore(&records).save({.session = {.sessionID = UUID::random(),
                                                   .focus = "draft",
                                                   .remaining = 600,
                                                   .elapsed = 60,
                                                   .wasCounted = false},
                                       .nextStep = "",
                                       .isStarter = false,
                                       .priorityID = std::nullopt});
  }
  static const Encouragement* findEncouragement(const std::string& bubbleText) {
    const auto& all = EncouragementLibrary::all();
    const auto found = std::find_if(all.begin(), all.end(), [&](const Encouragement& e) {
      return e.bubbleText() == bubbleText;
    });
    return found == all.end() ? nullptr : &*found;
  }

  std::shared_ptr<ScriptedRandomGenerator> random;
};

TEST_F(InvitationTest, AnOccasionThatCannotBeShownIsUsedUpAndOnlyOneMoreFollows) {
  // What stands in the way at the first occasion; it is cleared before the second.
  const struct {
    const char* name;
    Date start;
    std::function<void(Preferences&)> block;
    bool cameraInUse;
  } rows[] = {
      {"nothing", at(10, 0), [](Preferences&) {}, false},
      {"invitations off", at(10, 0), [](Preferences& p) { p.idleFocusInvitationsEnabled = false; },
       false},
      {"mascot hidden", at(10, 0), [](Preferences& p) { p.presenceMode = PresenceMode::hidden; },
       false},
      // 22:10 in Berlin: outside 9 to 21, although 21:10 in UTC would be inside.
      {"after the active hours", at(21, 55), [](Preferences& p) { p.activeEndHour = 21; }, false},
      {"camera in use", at(10, 0), [](Preferences&) {}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    preferences->setPreferences(Preferences());
    change(row.block);
    environment->facts.cameraInUse = row.cameraInUse;
    presenter = std::make_shared<FakeVisitPresenter>();
    notifications = std::make_shared<FakeNotificationService>();
    // Encouragements fall due in between; their draws do not matter here.
    startAt(row.start, std::make_shared<SeededRandomGenerator>(7));
    const bool blocked = std::string(row.name) != "nothing";

    tickAt(row.start + 900);
    EXPECT_EQ(presenter->invitations.size(), blocked ? 0u : 1u);
    change([](Preferences& p) {
      p = Preferences();
      p.activeEndHour = 23;
      p.workMinutes = 40;
    });
    environment->facts.cameraInUse = false;
    coordinator->applyPreferences();
    tickAt(row.start + 900 + 3599);
    tickAt(row.start + 900 + 3600);
    EXPECT_EQ(presenter->invitations.size(), blocked ? 1u : 2u);
    EXPECT_EQ(presenter->invitations.back(), 40);
    tickAt(row.start + 900 + 7200);
    EXPECT_EQ(presenter->invitations.size(), blocked ? 1u : 2u);
    EXPECT_TRUE(notifications->posted.empty());
  }
}

TEST_F(InvitationTest, ABusyUserPutsTheNextInvitationOffAQuarterOfAnHour) {
  // The focus editor open: every tick starts the wait again.
  startAt(at(10, 0));
  windows.focusEditor->open = true;
  tickAt(at(10, 15));
  EXPECT_TRUE(presenter->invitations.empty());
  windows.focusEditor->open = false;
  tickAt(at(10, 29, 59));
  EXPECT_TRUE(presenter->invitations.empty());
  tickAt(at(10, 30));
  EXPECT_EQ(presenter->invitations.size(), 1u);

  // A paused focus: never invited, however long it waits.
  pauseRestoredFocus();
  presenter = std::make_shared<FakeVisitPresenter>();
  startAt(at(10, 0));
  for (int minutes : {15, 30, 75}) tickAt(at(10, 0) + minutes * 60);
  EXPECT_TRUE(presenter->invitations.empty());
}

TEST_F(InvitationTest, ADueEncouragementIsANoteToReadNeverSpoken) {
  startAt(at(10, 0), {low, low, ScriptedRandomGenerator::highest});
  tickAt(at(10, 49, 59));
  EXPECT_TRUE(presenter->performed.empty());
  tickAt(at(10, 50));
  ASSERT_EQ(presenter->performed.size(), 1u);
  const Visit& shown = presenter->performed[0];
  EXPECT_EQ(shown.kind, Visit::Kind::encouragement());
  EXPECT_EQ(shown.scheduledFor, at(10, 50));
  EXPECT_EQ(shown.spokenPhrase, "");
  EXPECT_EQ(shown.bubbleStyle, Visit::BubbleStyle::note);
  EXPECT_TRUE(shown.showsBubble);
  EXPECT_TRUE(shown.isClickable);
  EXPECT_EQ(shown.choreography, Choreography::reading(shown.bubbleText));
  const Encouragement* picked = findEncouragement(shown.bubbleText);
  ASSERT_NE(picked, nullptr) << shown.bubbleText;
  EXPECT_TRUE(picked->moments.contains(Encouragement::Moment::idle));
  EXPECT_TRUE(speech->spoken.empty());
  EXPECT_TRUE(random->allUsed());
}

TEST_F(InvitationTest, AnEncouragementThatCannotBeShownIsUsedUpNotKept) {
  const struct {
    const char* name;
    std::function<void()> block;
  } rows[] = {
      {"switched off",
       [this] { change([](Preferences& p) { p.encouragementsEnabled = false; }); }},
      {"mascot busy",
       [this] { coordinator->enqueue(visit(Visit::Kind::manual(), at(10, 49, 50))); }},
      {"editor open", [this] { windows.focusEditor->open = true; }},
      {"after the active hours",
       [this] { change([](Preferences& p) { p.activeEndHour = 9; }); }},
      {"camera in use", [this] { environment->facts.cameraInUse = true; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    preferences->setPreferences(Preferences());
    environment->facts.cameraInUse = false;
    windows.focusEditor->open = false;
    presenter = std::make_shared<FakeVisitPresenter>();
    notifications = std::make_shared<FakeNotificationService>();
    // The start-up draw, then at the due time the next interval and the pick.
    startAt(at(10, 0), {low, low, low});
    row.block();
    tickAt(at(10, 50));
    preferences->setPreferences(Preferences());
    environment->facts.cameraInUse = false;
    windows.focusEditor->open = false;
    presenter->finishVisit();
    tickAt(at(10, 50, 30));
    for (const Visit& shown : presenter->performed) {
      EXPECT_NE(shown.kind, Visit::Kind::encouragement());
    }
    EXPECT_TRUE(notifications->posted.empty());
    EXPECT_TRUE(random->allUsed());
  }
}

TEST_F(InvitationTest, EncouragementOnDemandIsShownAtOnceOrNotAtAll) {
  // Start-up, two picks on demand, the due one (interval and pick), one more on demand.
  startAt(at(10, 0), {low, ScriptedRandomGenerator::highest, low, low, low, low});
  presenter->bubbleVisible = false;
  coordinator->encourageNow();
  ASSERT_EQ(presenter->performed.size(), 1u);
  EXPECT_TRUE(presenter->bubbleShownWith.back());
  const Visit shown = presenter->performed[0];
  EXPECT_EQ(shown.kind, Visit::Kind::encouragement());
  const Encouragement* picked = findEncouragement(shown.bubbleText);
  ASSERT_NE(picked, nullptr);
  EXPECT_TRUE(picked->moments.contains(Encouragement::Moment::idle));
  EXPECT_TRUE(speech->spoken.empty());

  // Busy: nothing is held, posted or tried again.
  coordinator->encourageNow();
  EXPECT_EQ(presenter->performed.size(), 1u);
  EXPECT_TRUE(coordinator->pendingVisits().empty());
  const int before = stateChanges;
  presenter->finishVisit();
  EXPECT_EQ(stateChanges, before + 1);
  tickAt(at(10, 1));
  EXPECT_EQ(presenter->performed.size(), 1u);

  // The cadence was left alone: its encouragement still comes at 10:50.
  tickAt(at(10, 50));
  EXPECT_EQ(presenter->performed.size(), 2u);
  presenter->finishVisit();

  // A coordinator gone by the end of the visit is not signalled.
  coordinator->encourageNow();
  coordinator.reset();
  const int beforeGone = stateChanges;
  presenter->finishVisit();
  EXPECT_EQ(stateChanges, beforeGone);
  EXPECT_TRUE(random->allUsed());
}

TEST_F(InvitationTest, TheFirstInvitationAfterASessionComesAQuarterHourAfterItWasPutAway) {
  startAt(at(10, 0), std::make_shared<SeededRandomGenerator>(7));
  coordinator->requestNewPomodoro();
  windows.focusEditor->start("write report");
  presenter->finishVisit();
  tickAt(at(10, 20));
  tickAt(at(10, 25, 10));  // the focus has ended; its panel waits
  presenter->finishVisit();
  tickAt(at(10, 39, 30));  // still waiting: the quarter hour starts again
  clock->set(at(10, 40));
  coordinator->dismissCompletion();
  tickAt(at(10, 54, 59));
  EXPECT_TRUE(presenter->invitations.empty());
  tickAt(at(10, 55));
  EXPECT_EQ(presenter->invitations.size(), 1u);
}

TEST_F(InvitationTest, AnEncouragementDueDuringAFocusWaitsForTheBreakAndTooLateIsDropped) {
  // When the focus starts, and whether the one due at 10:50 is still shown on the break.
  const struct {
    Date focusStart;
    bool shown;
  } rows[] = {{at(10, 26), true}, {at(10, 40), false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    presenter = std::make_shared<FakeVisitPresenter>();
    timers.made.clear();
    startAt(at(10, 0), row.shown ? std::initializer_list<Word>{low, low, ScriptedRandomGenerator::highest}
                                 : std::initializer_list<Word>{low, low});
    clock->set(row.focusStart);
    coordinator->requestNewPomodoro();
    windows.focusEditor->start("write report");
    presenter->finishVisit();
    tickAt(at(10, 50));  // due, but the user is working: not even asked
    EXPECT_EQ(random->wordsUsed(), 1u);
    tickAt(row.focusStart + 1500 + 10);  // the focus ends; its completion waits
    presenter->finishVisit();
    clock->set(row.focusStart + 1500 + 20);
    coordinator->startBreak();
    presenter->finishVisit();
    tickAt(row.focusStart + 1500 + 30);
    EXPECT_TRUE(random->allUsed());
    const bool encouraged =
        !presenter->performed.empty() &&
        presenter->performed.back().kind == Visit::Kind::encouragement();
    ASSERT_EQ(encouraged, row.shown);
    if (encouraged) {
      const Encouragement* picked = findEncouragement(presenter->performed.back().bubbleText);
      ASSERT_NE(picked, nullptr);
      EXPECT_TRUE(picked->moments.contains(Encouragement::Moment::onBreak));
    }
    coordinator->cancelPomodoro();
  }
}

TEST_F(InvitationTest, OnDemandEncouragementOnABreakComesFromTheBreakLines) {
  // How far the session has come, which lines the pick comes from.
  const struct {
    const char* name;
    bool onBreak;
    Encouragement::Moment moment;
  } rows[] = {{"during a focus", false, Encouragement::Moment::idle},
              {"on a break", true, Encouragement::Moment::onBreak}};
  for (const auto& row : rows) {
    for (const Word word : {low, ScriptedRandomGenerator::highest}) {
      SCOPED_TRACE(row.name);
      presenter = std::make_shared<FakeVisitPresenter>();
      startAt(at(10, 0), {low, word});
      coordinator->requestNewPomodoro();
      windows.focusEditor->start("write report");
      presenter->finishVisit();
      if (row.onBreak) {
        coordinator->startBreak();
        presenter->finishVisit();
      }
      coordinator->encourageNow();
      ASSERT_FALSE(presenter->performed.empty());
      const Encouragement* picked = findEncouragement(presenter->performed.back().bubbleText);
      ASSERT_NE(picked, nullptr);
      EXPECT_TRUE(picked->moments.contains(row.moment));
      EXPECT_TRUE(random->allUsed());
      coordinator->cancelPomodoro();
    }
  }
}

}  // namespace
}  // namespace vorlane
