#include "app/calendar/calendar_consent.h"

#include <gtest/gtest.h>

#include "app/persistence/in_memory_user_defaults.h"

namespace vorlane {
namespace {

TEST(CalendarConsent, PlatformStatusValuesMapAsTheAccessTableSays) {
  struct Row {
    long long status;
    CalendarAccess access;
  };
  const Row rows[] = {
      {0, CalendarAccess::notDetermined}, {1, CalendarAccess::restricted},
      {2, CalendarAccess::denied},        {3, CalendarAccess::authorized},
      {4, CalendarAccess::writeOnly},     {5, CalendarAccess::denied},
      {-1, CalendarAccess::denied},       {1LL << 40, CalendarAccess::denied},
  };
  for (const Row& row : rows) EXPECT_EQ(calendarAccessForStatus(row.status), row.access) << row.status;
}

TEST(CalendarConsent, StoredAnswerStandsInForThePermission) {
  struct Row {
    const char* name;
    std::optional<std::string> stored;  // none: nothing stored
    bool unreadable;
    CalendarAccess access;
  };
  const Row rows[] = {
      {"never asked", std::nullopt, false, CalendarAccess::notDetermined},
      {"granted", "true", false, CalendarAccess::authorized},
      {"refused", "false", false, CalendarAccess::denied},
      {"granted, with white space", " true\n", false, CalendarAccess::authorized},
      {"a number", "1", false, CalendarAccess::denied},
      {"a text", "\"true\"", false, CalendarAccess::denied},
      {"not JSON", "tru", false, CalendarAccess::denied},
      {"empty", "", false, CalendarAccess::denied},
      {"unreadable", "true", true, CalendarAccess::denied},
  };
  for (const Row& row : rows) {
    InMemoryUserDefaults defaults;
    if (row.stored) defaults.setData(CalendarConsent::key, *row.stored);
    if (row.unreadable) defaults.makeUnreadable(CalendarConsent::key);
    EXPECT_EQ(CalendarConsent(defaults).access(), row.access) << row.name;
  }
}

TEST(CalendarConsent, StoringAnAnswerIsSeenAtOnceAndAFailedStoreThrows) {
  InMemoryUserDefaults defaults;
  CalendarConsent consent(defaults);
  consent.store(true);
  EXPECT_EQ(consent.access(), CalendarAccess::authorized);
  consent.store(false);
  EXPECT_EQ(consent.access(), CalendarAccess::denied);
  EXPECT_EQ(defaults.rawBytes(CalendarConsent::key), std::optional<std::string>("false"));

  defaults.setFailing(true);
  EXPECT_ANY_THROW(consent.store(true));
  EXPECT_EQ(consent.access(), CalendarAccess::denied);
}

}  // namespace
}  // namespace vorlane
