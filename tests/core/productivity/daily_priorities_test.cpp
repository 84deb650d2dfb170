#include "core/productivity/daily_priorities.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {
namespace {

using Case = DailyPriorities::Error::Case;
using Keys = std::vector<std::string>;

const Calendar newYork("America/New_York", "en_US");

// Noon on that day of March 2026 (or as many days after the first).
Date day(int d) { return newYork.addingDays(d - 1, *newYork.date(2026, 3, 1, 12, 0, 0)); }

DailyPriority item(Keys days, std::string title = "Plan") {
  return {UUID::random(), std::move(title), day(1), std::move(days), std::nullopt};
}

DailyPriority plannedOn(int count) {  // the first `count` days of March on
  Keys keys;
  for (int d = 1; d <= count; ++d) keys.push_back(DailyPriorities::dayKey(day(d), newYork));
  return item(keys);
}

// The error thrown, checking that it left the value as it was.
template <class Action>
std::optional<Case> errorOf(DailyPriorities& plan, Action action) {
  const DailyPriorities before = plan;
  try {
    action();
  } catch (const DailyPriorities::Error& error) {
    EXPECT_EQ(plan, before);
    return error.value();
  }
  return std::nullopt;
}

TEST(DailyPriorities, AddChecksTitleThenDayThenArchive) {
  EXPECT_EQ(DailyPriorities::dayKey(*newYork.date(2026, 3, 5, 22, 0, 0), Calendar("Asia/Tokyo")),
            "2026-03-06");
  DailyPriorities plan;
  const UUID id = plan.add("  Write\n the   report ", day(5), newYork);
  EXPECT_EQ(plan.items()[0], (DailyPriority{id, "Write the report", day(5), {"2026-03-05"}, {}}));
  EXPECT_EQ(errorOf(plan, [&] { plan.add(" \n ", day(5), newYork); }), Case::invalidTitle);
  EXPECT_EQ(errorOf(plan, [&] { plan.add("\u200B \u2060", day(5), newYork); }), Case::invalidTitle);
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

TEST(DailyPriorities, CarryForwardOntoAFullDayKeepsTheLatestNinetyDaysAndRoundTrips) {
  DailyPriorities plan;
  const UUID done = plan.add("done", day(5), newYork);
  plan.markAccomplished(done, day(5));
  const UUID open = plan.add("open", day(5), newYork);
  const UUID other = plan.add("other", day(5), newYork);
  plan.add("b", day(6), newYork);
  plan.add("c", day(6), newYork);
  plan.carryForward(open, day(6), newYork);
  EXPECT_EQ(plan.items()[1].plannedDays, (Keys{"2026-03-05", "2026-03-06"}));
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(done, day(7), newYork); }), Case::alreadyDone);
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(open, day(6), newYork); }), std::nullopt);
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(other, day(6), newYork); }), Case::full);
  EXPECT_EQ(DailyPriorities::fromJson(JsonReader(json::parse(json::dump(plan.toJson())))), plan);
  EXPECT_THROW(DailyPriorities::fromJson(JsonReader(Json::object())), DecodingError);

  const DailyPriority planned = plannedOn(90);
  DailyPriorities kept({planned});
  kept.carryForward(planned.id, day(0), newYork);  // earlier than all: the new key goes
  EXPECT_EQ(kept.items()[0].plannedDays, planned.plannedDays);
  kept.carryForward(planned.id, day(200), newYork);
  Keys expected(planned.plannedDays.begin() + 1, planned.plannedDays.end());
  expected.push_back(DailyPriorities::dayKey(day(200), newYork));
  EXPECT_EQ(kept.items()[0].plannedDays, expected);
}

TEST(DailyPriorities, IsValidChecksEveryLimit) {
  const DailyPriority a = item({"2026-03-05"}), b = item({"2026-03-05"});
  std::vector<DailyPriority> many;
  while (many.size() < 200) many.push_back(item({}));
  const std::pair<std::vector<DailyPriority>, bool> rows[] = {
      {many, true},
      {{a, b, item({"2026-03-05", "2026-13-45"})}, true},           // only the shape counts
      {{a, b, item({"2026-03-05"}), item({"2026-03-05"})}, false},  // a fourth on a day
      {{a, a}, false},                                              // a repeated id
      {{item({"2026-03-05\n"})}, false},
      {{plannedOn(90)}, true},
      {{plannedOn(91)}, false},
      {{item({"2026-03-05", "2026-03-05"})}, false},
      {{item({"2026-3-05"})}, false},  // a one-digit month
      {{item({"2026-03-05"}, "")}, false},
      {{item({"2026-03-05"}, "\u200B")}, true},  // stored before such titles were refused
      {{item({"2026-03-05"}, std::string(121, 'x'))}, false},
      {{item({"2026-03-05"}, std::string(120, 'x'))}, true},
  };
  for (const auto& [items, valid] : rows) EXPECT_EQ(DailyPriorities(items).isValid(), valid);
  many.push_back(item({}));
  EXPECT_FALSE(DailyPriorities(many).isValid());  // 201 items
  // An absent or null accomplishedAt reads as open.
  const std::string open = R"({"items":[{"id":"F47AC10B-58CC-4372-A567-0E02B2C3D479","title":"t",)"
                           R"("createdAt":0,"plannedDays":["2026-03-05"])";
  for (const std::string& text : {open + "}]}", open + R"(,"accomplishedAt":null}]})"}) {
    const DailyPriorities plan = DailyPriorities::fromJson(JsonReader(json::parse(text)));
    EXPECT_FALSE(plan.items().at(0).accomplishedAt) << text;
  }
}

TEST(DailyPriorities, DayViewsAndEditsByIDAsTheTodayWindowUsesThem) {
  DailyPriority past = item({"2026-03-02"}, "past"), done = item({"2026-03-02"}, "done"),
                never = item({}, "never"), now = item({"2026-03-02", "2026-03-05"}, "now"),
                later = item({"2026-03-02", "2026-03-09"}, "later");
  done.accomplishedAt = day(3);
  const DailyPriority twin{past.id, "twin", day(1), {"2026-03-05"}, std::nullopt};
  DailyPriorities plan({past, done, never, now, later, twin});
  const auto titles = [](const std::vector<DailyPriority>& items) {
    std::vector<std::string> out;
    for (const DailyPriority& i : items) out.push_back(i.title);
    return out;
  };
  EXPECT_EQ(titles(plan.today(day(5), newYork)), (Keys{"now", "twin"}));
  // Open, not planned today, latest day before today (or none): "later" waits on day 9.
  EXPECT_EQ(titles(plan.earlierUnfinished(day(5), newYork)), (Keys{"past", "never"}));

  const UUID unknown = UUID::random();
  const std::pair<const char*, std::function<void()>> unchanged[] = {
      {"remove from today, unknown id", [&] { plan.removeFromToday(unknown, day(5), newYork); }},
      {"delete, unknown id", [&] { plan.remove(unknown); }},
      {"accomplish again keeps the first moment", [&] { plan.markAccomplished(done.id, day(8)); }},
  };
  for (const auto& [name, edit] : unchanged) {
    const DailyPriorities before = plan;
    edit();
    EXPECT_EQ(plan, before) << name;
  }
  EXPECT_EQ(errorOf(plan, [&] { plan.carryForward(unknown, day(6), newYork); }), Case::missing);
  EXPECT_EQ(errorOf(plan, [&] { plan.markAccomplished(unknown, day(6)); }), Case::missing);
  plan.removeFromToday(now.id, day(5), newYork);
  EXPECT_EQ(plan.items()[3].plannedDays, (Keys{"2026-03-02"}));
  plan.remove(past.id);  // every item with that id
  EXPECT_EQ(titles(plan.items()), (Keys{"done", "never", "now", "later"}));
}

}  // namespace
}  // namespace vorlane
