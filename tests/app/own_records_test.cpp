#include "app/own_records.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Regression: the start-up clean-up took any name ending in ".json" for a record, so
// ".user-notes.json.tmp-abc123" went.
TEST(OwnRecords, NamesEveryRecordOfTheProgramAndNoLookAlike) {
  for (const char* name :
       {"preferences.json", "focusHistory.json", "dailyPriorities.v1.json", "focusRecovery.v1.json",
        "calendarAccess.v1.json", "calendarFocusEnabled.json", "floatingClock.position.HDMI-1.json",
        "floatingClock.position.%3A0.json"}) {
    EXPECT_TRUE(isOwnRecordFile(name)) << name;
  }
  for (const char* name :
       {"user-notes.json", "preferences.json.bak", "preferences", "reminders.json",
        "floatingClock.position..json.txt", "floatingClock.position.json", "xpreferences.json"}) {
    EXPECT_FALSE(isOwnRecordFile(name)) << name;
  }
  EXPECT_TRUE(isOwnDataFile("reminders.json"));
  for (const char* name :
       {"notes.json", "reminders.json.unreadable-20260102T030405", "calendar.ics"}) {
    EXPECT_FALSE(isOwnDataFile(name)) << name;
  }
}

}  // namespace
}  // namespace vorlane
