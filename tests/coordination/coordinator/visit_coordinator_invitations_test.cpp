// Idle focus invitations and encouragements.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/motivation/encouragement_library.h"
#include "tests/coordination/coordinator/coordinator_harness.h"
#include "tests/support/scripted_random.h"
#include "tests/support/seeded_random_generator.h"
#include "tests/support/visit_coordinator_peer.h"

namespace vorlane {
namespace {

using Word = std::uint64_t;
using Moment = Encouragement::Moment;
constexpr Word low = ScriptedRandomGenerator::lowest;
constexpr Word high = ScriptedRandomGenerator::highest;

class InvitationTest : public CoordinatorTest {
 protected:
  // Started at `now` with the random words given (the first one times the first
  // encouragement: the lowest word makes it come 3000 s after start-up).
  void startAt(Date now, std::initializer_list<Word> words) {
    random = std::make_shared<ScriptedRandomGenerator>(words);
    fresh(now, [this](auto& given) { given.random = random; });
  }
  void startAt(Date now) {  // when the draws do not matter
    fresh(now, [](auto& given) { given.random = std::make_shared<SeededRandomGenerator>(7); });
  }
  // Whether the last visit shown is an encouragement from the lines for `moment`.
  bool encouraged(Moment moment) const {
    if (presenter->performed.empty()) return false;
    const Visit& shown = presenter->performed.back();
    const auto& all = EncouragementLibrary::all();
    const auto found = std::find_if(all.begin(), all.end(), [&](const Encouragement& e) {
      return e.bubbleText() == shown.bubbleText;
    });
    return shown.kind == Visit::Kind::encouragement() && found != all.end() &&
           found->moments.contains(moment);
  }
  std::shared_ptr<ScriptedRandomGenerator> random;
};

TEST_F(InvitationTest, ABusyUserIsInvitedAQuarterHourAfterwardAndAPausedFocusNever) {
  startAt(at(10, 0));
  windows.focusSessionEditor->open = true;  // every tick starts the wait again
  tickAt(at(10, 15));
  windows.focusSessionEditor->open = false;
  tickAt(at(10, 29, 59));
  EXPECT_TRUE(presenter->invitations.empty());
  tickAt(at(10, 30));
  EXPECT_EQ(presenter->invitations.size(), 1u);

  // A finished focus puts the next one off a quarter hour after it was put away.
  startFocus();
  tickAt(at(10, 55, 10));  // the focus has ended; its panel waits
  presenter->finishVisit();
  tickAt(at(11, 9, 30));
  clock->set(at(11, 10));
  coordinator->focus().dismissCompletion();
  tickAt(at(11, 24, 59));
  EXPECT_EQ(presenter->invitations.size(), 1u);
  tickAt(at(11, 25));
  EXPECT_EQ(presenter->invitations.size(), 2u);

  reach(At::pausedFocus);
  for (int minutes : {15, 30, 75}) tickAt(at(10, 59) + minutes * 60);
  EXPECT_TRUE(presenter->invitations.empty());
}

TEST_F(InvitationTest, AnEncouragementThatCannotBeShownIsUsedUpNotKept) {
  const std::function<void()> blocks[] = {
      [this] { change([](Preferences& p) { p.encouragementsEnabled = false; }); },
      [this] { coordinator->enqueue(visit(Visit::Kind::manual(), at(10, 49, 50))); },
      [this] { windows.focusSessionEditor->open = true; },
      [this] { change([](Preferences& p) { p.activeEndHour = 9; }); },
      [this] { environment->facts.cameraInUse = true; },
  };
  for (const auto& block : blocks) {
    preferences->setPreferences(Preferences());
    environment->facts.cameraInUse = false;
    startAt(at(10, 0), {low, low, low});  // start-up, then the next interval and the pick
    block();
    tickAt(at(10, 50));
    preferences->setPreferences(Preferences());
    environment->facts.cameraInUse = false;
    windows.focusSessionEditor->open = false;
    presenter->finishVisit();
    tickAt(at(10, 50, 30));
    EXPECT_FALSE(encouraged(Moment::idle));
    EXPECT_TRUE(notifications->posted.empty());
    EXPECT_TRUE(random->allUsed());
  }
}

TEST_F(InvitationTest, EncouragementOnDemandIsShownAtOnceOrNotAtAll) {
  // Start-up, two picks on demand (the second while busy), the due one (interval and pick).
  startAt(at(10, 0), {low, high, low, low, low});
  presenter->bubbleVisible = false;
  coordinator->encourageNow();
  EXPECT_TRUE(encouraged(Moment::idle));
  EXPECT_TRUE(presenter->bubbleShownWith.back());
  EXPECT_TRUE(speech->spoken.empty());
  // Busy: nothing is held, posted or tried again.
  coordinator->encourageNow();
  EXPECT_TRUE(VisitCoordinatorPeer::delivery(*coordinator).pending().empty());
  presenter->finishVisit();
  tickAt(at(10, 1));
  EXPECT_EQ(presenter->performed.size(), 1u);
  // The cadence was left alone: its encouragement still comes at 10:50, a note to read.
  tickAt(at(10, 49, 59));
  EXPECT_EQ(presenter->performed.size(), 1u);
  tickAt(at(10, 50));
  ASSERT_TRUE(encouraged(Moment::idle));
  const Visit& due = presenter->performed.at(1);
  EXPECT_EQ(due.bubbleStyle, Visit::BubbleStyle::note);
  EXPECT_EQ(due.choreography, Choreography::reading(due.bubbleText));
  EXPECT_TRUE(speech->spoken.empty());
  EXPECT_TRUE(random->allUsed());
}

TEST_F(InvitationTest, DuringAFocusEncouragementsWaitForTheBreakAndComeFromItsLines) {
  // When the focus starts, and whether the one due at 10:50 is still shown on the break.
  const struct {
    Date focusStart;
    bool shown;
  } rows[] = {{at(10, 26), true}, {at(10, 40), false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    startAt(at(10, 0), row.shown ? std::initializer_list<Word>{low, low, high}
                                 : std::initializer_list<Word>{low, low});
    clock->set(row.focusStart);
    startFocus();
    tickAt(at(10, 50));  // due, but the user is working: not even asked
    EXPECT_EQ(random->wordsUsed(), 1u);
    tickAt(row.focusStart + 1510);  // the focus ends; its completion waits
    presenter->finishVisit();
    clock->set(row.focusStart + 1520);
    coordinator->focus().startBreak();
    presenter->finishVisit();
    tickAt(row.focusStart + 1530);
    EXPECT_TRUE(random->allUsed());
    EXPECT_EQ(encouraged(Moment::onBreak), row.shown);
  }
  // On demand on a break, the pick comes from the break lines too.
  startAt(at(10, 0), {low, high});
  startFocus();
  fireAt(at(10, 25));
  presenter->finishVisit();
  coordinator->focus().startBreak();
  presenter->finishVisit();
  coordinator->encourageNow();
  EXPECT_TRUE(encouraged(Moment::onBreak));
}

}  // namespace
}  // namespace vorlane
