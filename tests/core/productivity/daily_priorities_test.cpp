#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/productivity/daily_priorities.h"

namespace vorlane {
namespace {

using Case = DailyPriorities::Error::Case;

const Calendar newYork("America/New_York", "en_US");
const Date march5 = *newYork.date(2026, 3, 5, 10, 0, 0);

Date day(int d) { return *newYork.date(2026, 3, d, 12, 0, 0); }

std::optional<Case> errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const DailyPriorities::Error& error) {
    return error.value();
  }
  return std::nullopt;
}

// Keys of `count` consecutive days from the day of `first`.
std::vector<std::string> keysFrom(Date first, int count) {
  std::vector<std::string> keys;
  for (int d = 0; d < count; ++d)
    keys.push_back(DailyPriorities::dayKey(newYork.addingDays(d, first), newYork));
  return keys;
}

DailyPriority item(std::vector<std::string> days, std::string title = "Plan") {
  return DailyPriority{UUID::random(), std::move(title), march5, std::move(days), std::nullopt};
}

TEST(DailyPriorities, DayKeyFollowsTheCalendarsZone) {
  EXPECT_EQ(DailyPriorities::dayKey(march5, newYork), "2026-03-05");
  EXPECT_EQ(DailyPriorities::dayKey(*newYork.date(987, 6, 1), newYork), "0987-06-01");
  // 22:00 in New York is already the next day in Tokyo.
  const Date evening = *newYork.date(2026, 3, 5, 22, 0, 0);
  EXPECT_EQ(DailyPriorities::dayKey(evening, Calendar("Asia/Tokyo")), "2026-03-06");
}

TEST(DailyPriorities, AddCleansTheTitleAndChecksTitleThenDayThenArchive) {
  DailyPriorities plan;
  const UUID id = plan.add("  Write\n the   report ", march5, newYork);
  EXPECT_EQ(plan.items().back(),
            (DailyPriority{id, "Write the report", march5, {"2026-03-05"}, std::nullopt}));
  EXPECT_EQ(errorOf([&] { plan.add(" \n ", march5, newYork); }), Case::invalidTitle);
  EXPECT_EQ(errorOf([&] { plan.add(std::string(121, 'x'), march5, newYork); }), Case::invalidTitle);
  plan.add(std::string(120, 'x'), march5, newYork);
  plan.markAccomplished(plan.add("third", march5, newYork), march5);

  // Accomplished priorities still fill the day; a full day is reported before a full archive.
  std::vector<DailyPriority> items = plan.items();
  for (int i = 0; items.size() < 200; ++i) items.push_back(item({"2026-04-01"}));
  DailyPriorities full(items);
  const DailyPriorities before = full;
  EXPECT_EQ(errorOf([&] { full.add("fourth", march5, newYork); }), Case::full);
  EXPECT_EQ(errorOf([&] { full.add(std::string(121, 'x'), march5, newYork); }), Case::invalidTitle);
  EXPECT_EQ(errorOf([&] { full.add("elsewhere", day(6), newYork); }), Case::storageFull);
  EXPECT_EQ(full, before);
}

TEST(DailyPriorities, CarryForwardRefusesWithoutChangingAnything) {
  DailyPriorities plan;
  const UUID done = plan.add("done", day(5), newYork);
  plan.markAccomplished(done, day(5));
  const UUID open = plan.add("open", day(5), newYork);
  plan.add("b", day(6), newYork);
  plan.add("c", day(6), newYork);
  plan.carryForward(open, day(6), newYork);
  const DailyPriorities before = plan;

  EXPECT_EQ(errorOf([&] { plan.carryForward(UUID::random(), day(7), newYork); }), Case::missing);
  EXPECT_EQ(errorOf([&] { plan.carryForward(done, day(7), newYork); }), Case::alreadyDone);
  // Already planned on the full day: no change, no error.
  EXPECT_EQ(errorOf([&] { plan.carryForward(open, day(6), newYork); }), std::nullopt);
  const UUID other = plan.add("d", day(5), newYork);
  const DailyPriorities withOther = plan;
  EXPECT_EQ(errorOf([&] { plan.carryForward(other, day(6), newYork); }), Case::full);
  EXPECT_EQ(plan, withOther);
  EXPECT_EQ(before.items()[1].plannedDays, (std::vector<std::string>{"2026-03-05", "2026-03-06"}));
}

TEST(DailyPriorities, CarryForwardKeepsTheLatestNinetyDays) {
  const std::vector<std::string> days = keysFrom(day(2), 90);
  DailyPriority planned = item(days);
  DailyPriorities plan({planned});
  plan.carryForward(planned.id, day(1), newYork);  // before all 90: the new key is dropped
  EXPECT_EQ(plan.items()[0].plannedDays, days);
  const Date later = newYork.addingDays(200, day(1));
  plan.carryForward(planned.id, later, newYork);
  const std::vector<std::string>& kept = plan.items()[0].plannedDays;
  ASSERT_EQ(kept.size(), 90u);
  EXPECT_EQ(kept.front(), days[1]);
  EXPECT_EQ(kept.back(), DailyPriorities::dayKey(later, newYork));
}

TEST(DailyPriorities, TodayAndEarlierUnfinished) {
  DailyPriority yesterday = item({"2026-03-04"}, "yesterday");
  DailyPriority alsoToday = item({"2026-03-04", "2026-03-05"}, "also today");
  DailyPriority done = item({"2026-03-04"}, "done");
  done.accomplishedAt = day(4);
  DailyPriority tomorrow = item({"2026-03-06"}, "tomorrow");
  DailyPriority nowhere = item({}, "nowhere");
  const DailyPriorities plan({yesterday, alsoToday, done, tomorrow, nowhere});

  const auto titles = [](const std::vector<DailyPriority>& items) {
    std::vector<std::string> out;
    for (const DailyPriority& p : items) out.push_back(p.title);
    return out;
  };
  EXPECT_EQ(titles(plan.today(march5, newYork)), std::vector<std::string>{"also today"});
  EXPECT_EQ(titles(plan.earlierUnfinished(march5, newYork)),
            (std::vector<std::string>{"yesterday", "nowhere"}));
}

TEST(DailyPriorities, RemovingAndAccomplishing) {
  DailyPriorities plan;
  const UUID id = plan.add("one", day(5), newYork);
  plan.carryForward(id, day(6), newYork);
  const DailyPriorities before = plan;
  plan.remove(UUID::random());
  plan.removeFromToday(UUID::random(), day(5), newYork);
  EXPECT_EQ(plan, before);

  plan.removeFromToday(id, day(5), newYork);
  EXPECT_EQ(plan.items()[0].plannedDays, std::vector<std::string>{"2026-03-06"});
  plan.markAccomplished(id, day(6));
  plan.markAccomplished(id, day(4));
  EXPECT_EQ(plan.items()[0].accomplishedAt, day(6));
  EXPECT_EQ(errorOf([&] { plan.markAccomplished(UUID::random(), day(6)); }), Case::missing);
  plan.remove(id);
  EXPECT_TRUE(plan.items().empty());
}

TEST(DailyPriorities, IsValidChecksEveryLimit) {
  const DailyPriority a = item({"2026-03-05"});
  std::vector<DailyPriority> many;
  while (many.size() < 201) many.push_back(item({}));

  struct Row {
    const char* name;
    std::vector<DailyPriority> items;
    bool valid;
  };
  const Row rows[] = {
      {"empty", {}, true},
      {"three on a day, arabic-indic digits",
       {a, item({"2026-03-05"}),
        item({"2026-03-05", "\u0662\u0660\u0662\u0666-\u0660\u0663-\u0660\u0665"})},
       true},
      {"month 13 is only a shape", {item({"2026-13-45"})}, true},
      {"201 items", many, false},
      {"repeated id", {a, a}, false},
      {"blank title", {item({}, " \n")}, false},
      {"one-digit month", {item({"2026-3-05"})}, false},
      {"trailing newline", {item({"2026-03-05\n"})}, false},
      {"91 keys", {item(keysFrom(day(1), 91))}, false},
      {"key twice in one item", {item({"2026-03-05", "2026-03-05"})}, false},
      {"fourth on a day",
       {a, item({"2026-03-05"}), item({"2026-03-05"}), item({"2026-03-05"})},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DailyPriorities(row.items).isValid(), row.valid);
  }
}

TEST(DailyPriorities, JsonRoundTripsAndRejectsMissingFields) {
  DailyPriorities plan;
  plan.add("open", march5, newYork);
  plan.markAccomplished(plan.add("done", march5, newYork), march5 + 0.5);
  const Json written = plan.toJson();
  EXPECT_FALSE(written["items"][0].contains("accomplishedAt"));
  EXPECT_EQ(DailyPriorities::fromJson(JsonReader(json::parse(json::dump(written)))), plan);

  const Json withNull = json::parse(
      R"({"items":[{"id":"0f8b3c1e-5a7d-4e2b-9c61-3d4f5a6b7c8d","title":"t","createdAt":1,)"
      R"("plannedDays":[],"accomplishedAt":null,"extra":true}]})");
  EXPECT_FALSE(DailyPriorities::fromJson(JsonReader(withNull)).items()[0].accomplishedAt);
  for (
      const char* bad :
      {R"({})", R"({"items":[{"id":"x","title":"t","createdAt":1,"plannedDays":[]}]})",
       R"({"items":[{"id":"0f8b3c1e-5a7d-4e2b-9c61-3d4f5a6b7c8d","title":"t","createdAt":1,"plannedDays":[5]}]})"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(DailyPriorities::fromJson(JsonReader(json::parse(bad))), DecodingError);
  }
}

TEST(DailyPriorities, ErrorSentences) {
  EXPECT_EQ(DailyPriorities::Error(Case::invalidTitle).errorDescription(),
            "Use a priority of 1\u2013120 characters.");
  EXPECT_STREQ(DailyPriorities::Error(Case::full).what(),
               "Choose at most three priorities for a day. Remove one from today to make room.");
}

}  // namespace
}  // namespace vorlane
