// A focus checkpoint that cannot be written or removed, as the user meets it: in the Today
// window the coordinator opens, and in its status. The checkpoint itself is tested on the
// focus session alone.
#include <gtest/gtest.h>

#include <string>

#include "tests/coordination/coordinator/coordinator_harness.h"

namespace vorlane {
namespace {

constexpr const char* saveFailed =
    "Your focus recovery could not be saved. Existing saved data was kept.";

using FocusRecoveryTest = CoordinatorTest;

// A checkpoint that cannot be written keeps what was stored, and the problem reaches the
// user in the Today window until it is discarded.
TEST_F(FocusRecoveryTest, AFailedCheckpointKeepsTheOldOneAndShowsUntilDiscarded) {
  const struct {
    const char* name;
    bool unreadable, writesFail, todayShowsSaveFailure;
  } rows[] = {{"write failed", false, true, true},
              {"unreadable, then its write refused", true, false, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    records.setFailing(false);
    static_cast<void>(records.remove(RecordFocusRecoveryStore::key));
    if (row.unreadable) records.setData(RecordFocusRecoveryStore::key, "{not json");
    preferences->setPreferences(Preferences({.workMinutes = 200}));
    fresh();
    startFocus();
    coordinator->focus().requestPauseSession();
    const auto before = records.rawBytes(RecordFocusRecoveryStore::key);
    records.setFailing(row.writesFail);
    coordinator->focus().extendSession(5);
    EXPECT_EQ(coordinator->focus().recoverySaveError(), saveFailed);
    EXPECT_EQ(records.rawBytes(RecordFocusRecoveryStore::key), before);
    // A failing note save is the caller's to show; the note stays as it was.
    if (row.writesFail) {
      EXPECT_THROW(windows.resumeNote->save("next"), std::exception);
    }
    EXPECT_EQ(coordinator->status().nextStep, "");
    records.setFailing(false);

    coordinator->show(WindowKind::today);
    EXPECT_EQ(windows.today->minutes, 90);  // the full length, clamped
    ASSERT_TRUE(windows.today->recoveryError.has_value());
    EXPECT_EQ(*windows.today->recoveryError == saveFailed, row.todayShowsSaveFailure);
    windows.today->discardRecovery();
    EXPECT_FALSE(records.rawBytes(RecordFocusRecoveryStore::key));
    EXPECT_FALSE(coordinator->focus().recoverySaveError());
    EXPECT_EQ(phase(), "paused");
    coordinator->show(WindowKind::today);
    EXPECT_FALSE(windows.today->recoveryError);
  }
}

// A checkpoint that cannot be removed would come back at the next launch: said like a
// failed save.
TEST_F(FocusRecoveryTest, ACheckpointThatCannotBeRemovedIsSaidLikeAFailedSave) {
  buildAndStart();
  startFocus();
  coordinator->focus().requestPauseSession();
  records.setFailing(true);
  coordinator->focus().resumeSession();
  EXPECT_EQ(coordinator->focus().recoverySaveError(), saveFailed);
  EXPECT_TRUE(records.rawBytes(RecordFocusRecoveryStore::key));

  // The Today window's discard runs in a slot: a failed removal is shown, never thrown.
  coordinator->show(WindowKind::today);
  EXPECT_NO_THROW(windows.today->discardRecovery());
  EXPECT_EQ(coordinator->focus().recoverySaveError(), saveFailed);
  EXPECT_TRUE(coordinator->status().recoveryNeedsAttention);
  EXPECT_TRUE(records.rawBytes(RecordFocusRecoveryStore::key));
  records.setFailing(false);
  windows.today->discardRecovery();
  EXPECT_FALSE(coordinator->status().recoveryNeedsAttention);
  EXPECT_FALSE(records.rawBytes(RecordFocusRecoveryStore::key));
}

}  // namespace
}  // namespace vorlane
