#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "core/productivity/calendar_gap_finder.h"

namespace vorlane {
namespace {

const Date at(800000000);
constexpr double minute = 60;
constexpr double hour = 3600;

BusyInterval busy(double from, double to) { return {at + from, at + to}; }

TEST(CalendarGap, SuggestsABlockThatStopsShortOfTheNextBusyStretch) {
  struct Row {
    const char* name;
    double through;
    std::vector<BusyInterval> busy;
    std::int64_t maximumMinutes;
    std::optional<FocusOpportunity> expected;
  };
  const auto offer = [](std::int64_t minutes, std::optional<double> next) {
    return FocusOpportunity{minutes, at + minutes * minute,
                            next ? std::optional<Date>(at + *next) : std::nullopt};
  };
  const Row rows[] = {
      {"through equals at", 0, {}, 90, std::nullopt},
      {"through before at", -hour, {}, 90, std::nullopt},
      {"maximum of 4", 3 * hour, {}, 4, std::nullopt},
      {"free until through", 3 * hour, {}, 90, offer(90, {})},
      {"caller maximum", 3 * hour, {}, 25, offer(25, {})},
      {"maximum above 90", 3 * hour, {}, 200, offer(90, {})},
      {"exactly 5 minutes to through", 5 * minute, {}, 90, offer(5, {})},
      {"just under 5 minutes to through", 5 * minute - 1, {}, 90, std::nullopt},
      {"under way", 3 * hour, {busy(-minute, minute), busy(2 * hour, 3 * hour)}, 90, std::nullopt},
      {"starts exactly at at", 3 * hour, {busy(0, hour)}, 90, std::nullopt},
      {"ended exactly at at", 3 * hour, {busy(-hour, 0)}, 90, offer(90, {})},
      {"empty and inverted",
       3 * hour,
       {busy(hour, hour), busy(2 * hour, minute)},
       90,
       offer(90, {})},
      {"next in 7 minutes", 3 * hour, {busy(7 * minute, hour)}, 90, offer(5, 7 * minute)},
      {"next in 6:59", 3 * hour, {busy(7 * minute - 1, hour)}, 90, std::nullopt},
      {"58.5 minutes free", 3 * hour, {busy(hour + 30, 2 * hour)}, 90, offer(58, hour + 30)},
      {"starts exactly at through", hour, {busy(hour, 2 * hour)}, 90, offer(60, {})},
      {"unsorted and overlapping",
       3 * hour,
       {busy(2 * hour, 3 * hour), busy(40 * minute, 2 * hour), busy(50 * minute, 55 * minute),
        busy(-2 * hour, -hour)},
       90,
       offer(38, 40 * minute)},
      {"touching stretches",
       3 * hour,
       {busy(hour, 2 * hour), busy(30 * minute, hour)},
       90,
       offer(28, 30 * minute)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CalendarGap::suggest(at, at + row.through, row.busy, row.maximumMinutes),
              row.expected);
  }
}

}  // namespace
}  // namespace vorlane
