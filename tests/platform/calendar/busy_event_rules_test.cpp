#include "platform/calendar/ics/busy_event_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace vorlane {
namespace {

struct ComponentDeleter {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

std::unique_ptr<icalcomponent, ComponentDeleter> eventOf(const std::string& lines) {
  const std::string head =
      "BEGIN:VEVENT\nUID:1\nDTSTART:20260302T150000Z\nDTEND:20260302T160000Z\n";
  const std::string text = head + lines + "END:VEVENT\n";
  return std::unique_ptr<icalcomponent, ComponentDeleter>(
      icalcomponent_new_from_string(text.c_str()));
}

TEST(BusyEventRules, WhichEventsHoldTheUsersTime) {
  const std::set<std::string> ann{"ann@example.org"};
  const struct {
    const char* name;
    std::string lines;
    std::set<std::string> user;
    bool holds;
  } rows[] = {
      {"a plain meeting", "", ann, true},
      {"confirmed", "STATUS:CONFIRMED\n", ann, true},
      {"tentative", "STATUS:TENTATIVE\n", ann, true},
      {"cancelled", "STATUS:CANCELLED\n", ann, false},
      {"shown as busy", "TRANSP:OPAQUE\n", ann, true},
      {"shown as free", "TRANSP:TRANSPARENT\n", ann, false},
      {"all day", "X-MICROSOFT-CDO-ALLDAYEVENT:TRUE\n", ann, true},
      {"declined by the user, any case and spacing",
       "ATTENDEE;PARTSTAT=DECLINED:MAILTO:Ann@Example.ORG \n", ann, false},
      {"declined by the user without mailto", "ATTENDEE;PARTSTAT=DECLINED:ann@example.org\n", ann,
       false},
      {"accepted by the user", "ATTENDEE;PARTSTAT=ACCEPTED:mailto:ann@example.org\n", ann, true},
      {"declined by another", "ATTENDEE;PARTSTAT=DECLINED:mailto:bob@example.org\n", ann, true},
      {"declined, nobody known to be the user",
       "ATTENDEE;PARTSTAT=DECLINED:mailto:ann@example.org\n",
       {},
       true},
      {"an empty address matches nobody", "ATTENDEE;PARTSTAT=DECLINED:mailto:\n", {""}, true},
  };
  for (const auto& row : rows) {
    const auto event = eventOf(row.lines);
    ASSERT_NE(event, nullptr) << row.name;
    EXPECT_EQ(holdsTime(event.get(), row.user), row.holds) << row.name;
  }
  EXPECT_FALSE(holdsTime(nullptr, ann));
}

TEST(BusyEventRules, AStretchCountsWhenItHasLengthAndOverlapsTheRange) {
  const DateInterval range{Date(1000), Date(2000)};
  const struct {
    const char* name;
    double start, end;
    bool counts;
  } rows[] = {
      {"inside", 1200, 1300, true},
      {"over the start", 900, 1001, true},
      {"over the end", 1999, 2500, true},
      {"around the range", 0, 3000, true},
      {"ends as the range starts", 900, 1000, false},
      {"starts as the range ends", 2000, 2100, false},
      {"no length", 1500, 1500, false},
      {"reversed", 1600, 1500, false},
      {"a time that is not a number", NAN, 1500, false},
  };
  for (const auto& row : rows) {
    const std::optional<BusyInterval> busy = busyStretch(Date(row.start), Date(row.end), range);
    EXPECT_EQ(busy.has_value(), row.counts) << row.name;
    if (busy) {
      EXPECT_EQ(*busy, (BusyInterval{Date(row.start), Date(row.end)})) << row.name;
    }
  }
}

TEST(BusyEventRules, AddressesCompareWithoutCaseBlanksOrMailto) {
  const std::pair<const char*, const char*> rows[] = {
      {" MAILTO:Ann@Example.ORG\t", "ann@example.org"},
      {"mailto:", ""},
      {"ann@example.org", "ann@example.org"},
      {"x-mailto:ann", "x-mailto:ann"},
  };
  for (const auto& [address, normal] : rows) EXPECT_EQ(normalAddress(address), normal) << address;
}

}  // namespace
}  // namespace vorlane
