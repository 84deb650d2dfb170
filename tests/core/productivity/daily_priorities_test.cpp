#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/productivity/daily_priorities.h"

namespace vorlane {
namespace {

using Case = DailyPriorities::Error::Case;
using Keys = std::vector<std::string>;

const Calendar newYork("America/New_York", "en_US");

Date day(int d) { return *newYork.date(2026, 3, d, 12, 0, 0); }

Keys keysFrom(Date first, int count) {
  Keys keys;
  for (int d = 0; d < count; ++d) {
    keys.push_back(DailyPriorities::dayKey(newYork.addingDays(d, first), newYork));
  }
  return keys;
}

DailyPriority item(Keys days, std::string title = "Plan") {
  return {UUID::random(), std::move(title), day(1), std::move(days), std::nullopt};
}

// The error thrown, checking that it left the value as it was.
std::optional<Case> errorOf(DailyPriorities& plan, const std::function<void()>& action) {
  const DailyPriorities before = plan;
  try {
    action();
  } catch (const DailyPriorities::Error& error) {
    EXPECT_EQ(plan, before);
    return error.value();
  }
  return std::nullopt;
}

TEST(DailyPriorities, DayKeyIsTheDayInTheCalendarsZone) {
  EXPECT_EQ(DailyPriorities::dayKey(day(5), newYork), "2026-03-05");
  EXPECT_EQ(DailyPriorities::dayKey(*newYork.date(987, 6, 1), newYork), "0987-06-01");
  const Date evening = *newYork.date(2026, 3, 5, 22, 0, 0);
  EXPECT_EQ(DailyPriorities::dayKey(evening, Calendar("Asia/Tokyo")), "2026-03-06");
}

TEST(DailyPriorities, AddChecksTitleThenDayThenArchive) {
  DailyPriorities plan;
  const UUID id = plan.add("  Write\n the   report ", day(5), newYork);
  EXPECT_EQ(plan.items()[0], (DailyPriority{id, "Write the report", day(5), {"2026-03-05"}, {}}));
  EXPECT_EQ(errorOf(plan, [&] { plan.add(" \n ", day(5), newYork); }), Case::invalidTitle);
  EXPECT_EQ(errorOf(plan, [&] { plan.add(std::string(121, 'x'), day(5), newYork); }),
            Case::invalidTitle);
  plan.markAccomplished(plan.add(std::string(120, 'x'), day(5), newYork), day(5));
  plan.add("third", day(5), newYork);

  std::vector<DailyPriority> items = plan.items();
  while (items.size() < 200) items.push_back(item({"2026-04-01"}));
  DailyPriorities full(items);
  // Accomplished priorities still fill the day, and a full day is reported first.
  EXPECT_EQ(errorOf(full, [&] { full.add("fourth", day(5), newYork); }), Case::full);
  EXPECT_EQ(errorOf(full, [&] { full.add("elsewhere", day(6), newYork); }), Case::storageFull);
  EXPECT_STREQ(DailyPriorities::Error(Case::invalidTitle).what(),
               "Use a priority of 1\u2013120 characters.");
}

TEST(DailyPriorities, CarryForwardOntoAFullDay) {
  DailyPriorities plan;
  const UUID done = plan.add("done", day(5), newYork);
  plan.markAccomplished(done, day(5));
  const UUID open = plan.add("open", day(5), newYork);
  const UUID other = plan.add("other", day(5), newYork);
  plan.add("b", day(6), newYork);
  plan.add("c", day(6), newYork);
  plan.carryForward(open, day(6), newYork);
  EXPECT_EQ(plan.items()[1].plannedDays, (Keys{"2026-03-05", "2026-03-06"}));

  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(UUID::random(), day(7), newYork); }),
            Case::missing);
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(done, day(7), newYork); }), Case::alreadyDone);
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(open, day(6), newYork); }), std::nullopt);
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(other, day(6), newYork); }), Case::full);
}

TEST(DailyPriorities, CarryForwardKeepsTheLatestNinetyDays) {
  const Keys days = keysFrom(day(2), 90);
  const DailyPriority planned = item(days);
  DailyPriorities plan({planned});
  plan.carryForward(planned.id, day(1), newYork);  // earlier than all: the new key goes
  EXPECT_EQ(plan.items()[0].plannedDays, days);
  const Date later = newYork.addingDays(200, day(1));
  plan.carryForward(planned.id, later, newYork);
  Keys expected(days.begin() + 1, days.end());
  expected.push_back(DailyPriorities::dayKey(later, newYork));
  EXPECT_EQ(plan.items()[0].plannedDays, expected);
}

TEST(DailyPriorities, TodayEarlierUnfinishedAndRemoval) {
  DailyPriority done = item({"2026-03-04"}, "done");
  done.accomplishedAt = day(4);
  DailyPriorities plan({item({"2026-03-04"}, "yesterday"),
                        item({"2026-03-04", "2026-03-05"}, "both"), done,
                        item({"2026-03-06"}, "tomorrow"), item({}, "nowhere")});
  const auto titles = [](const std::vector<DailyPriority>& items) {
    Keys out;
    for (const DailyPriority& p : items) out.push_back(p.title);
    return out;
  };
  EXPECT_EQ(titles(plan.today(day(5), newYork)), Keys{"both"});
  EXPECT_EQ(titles(plan.earlierUnfinished(day(5), newYork)), (Keys{"yesterday", "nowhere"}));

  const DailyPriorities before = plan;
  plan.remove(UUID::random());
  plan.removeFromToday(UUID::random(), day(5), newYork);
  EXPECT_EQ(plan, before);
  const UUID both = plan.items()[1].id;
  plan.removeFromToday(both, day(5), newYork);
  EXPECT_EQ(plan.items()[1].plannedDays, Keys{"2026-03-04"});
  plan.markAccomplished(both, day(6));
  plan.markAccomplished(both, day(4));
  EXPECT_EQ(plan.items()[1].accomplishedAt, day(6));
  EXPECT_EQ(errorOf(plan, [&] { plan.markAccomplished(UUID::random(), day(6)); }), Case::missing);
  plan.remove(both);
  EXPECT_EQ(titles(plan.items()), (Keys{"yesterday", "done", "tomorrow", "nowhere"}));
}

TEST(DailyPriorities, IsValidChecksEveryLimit) {
  const DailyPriority a = item({"2026-03-05"});
  std::vector<DailyPriority> many;
  while (many.size() < 201) many.push_back(item({}));
  const std::string arabicIndic = "\u0662\u0660\u0662\u0666-\u0660\u0663-\u0660\u0665";
  struct Row {
    const char* name;
    std::vector<DailyPriority> items;
    bool valid;
  };
  const Row rows[] = {
      {"empty", {}, true},
      {"three on a day", {a, item({"2026-03-05"}), item({"2026-03-05", arabicIndic})}, true},
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
    EXPECT_EQ(DailyPriorities(row.items).isValid(), row.valid) << row.name;
  }
}

TEST(DailyPriorities, JsonRoundTripsAndRequiresItsFields) {
  DailyPriorities plan;
  plan.add("open", day(5), newYork);
  plan.markAccomplished(plan.add("done", day(5), newYork), day(5) + 0.5);
  const Json written = plan.toJson();
  EXPECT_FALSE(written["items"][0].contains("accomplishedAt"));
  EXPECT_EQ(DailyPriorities::fromJson(JsonReader(json::parse(json::dump(written)))), plan);

  // Null or missing "accomplishedAt" reads as open; unknown keys are ignored.
  Json relaxed = written;
  relaxed["items"][1]["accomplishedAt"] = nullptr;
  relaxed["items"][1]["colour"] = "red";
  EXPECT_FALSE(DailyPriorities::fromJson(JsonReader(relaxed)).items()[1].accomplishedAt);

  Json noID = written, badDay = written;
  noID["items"][0].erase("id");
  badDay["items"][0]["plannedDays"][0] = 5;
  for (const Json& bad : {Json::object(), noID, badDay}) {
    EXPECT_THROW(DailyPriorities::fromJson(JsonReader(bad)), DecodingError) << json::dump(bad);
  }
}

}  // namespace
}  // namespace vorlane
