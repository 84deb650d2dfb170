#include "core/desktop/mascot_placement.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

void expectPlacement(const MascotPlacement& p, double horizontal, double vertical) {
  EXPECT_DOUBLE_EQ(p.horizontal(), horizontal);
  EXPECT_DOUBLE_EQ(p.vertical(), vertical);
}

TEST(MascotPlacement, ClampsAndReplacesNonFiniteByTheFallback) {
  struct Row {
    const char* name;
    double horizontal, vertical;
    double expectedHorizontal, expectedVertical;
  };
  const Row rows[] = {
      {"in range", 0.3, 0.7, 0.3, 0.7},
      {"bounds", 0, 1, 0, 1},
      {"out of range", -0.5, 2, 0, 1},
      {"NaN", NAN, NAN, 1, 0},
      {"negative infinity is not the lower bound", -inf, -inf, 1, 0},
      {"positive infinity is not the upper bound", inf, inf, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    expectPlacement(MascotPlacement(row.horizontal, row.vertical), row.expectedHorizontal,
                    row.expectedVertical);
  }
}

TEST(MascotPlacement, OriginAndInsetUseTheFreeSpans) {
  EXPECT_DOUBLE_EQ(MascotPlacement(1, 0).originX(100, 1440), 1200);
  EXPECT_DOUBLE_EQ(MascotPlacement(0.5, 0).originX(100, 1440), 650);
  EXPECT_DOUBLE_EQ(MascotPlacement(0, 0).originX(100, 1440), 100);
  EXPECT_DOUBLE_EQ(MascotPlacement(0.5, 0.5).topInset(900, 24), 232);
  EXPECT_DOUBLE_EQ(MascotPlacement(0.5, 1).topInset(900, 24), 440);
  // No free room, or no number at all: the edge.
  for (double width : {340.0, 200.0, 0.0, -50.0, double(NAN)}) {
    EXPECT_DOUBLE_EQ(MascotPlacement(0.8, 0).originX(100, width), 100) << width;
  }
  for (double height : {484.0, 300.0, double(NAN)}) {
    EXPECT_DOUBLE_EQ(MascotPlacement(0, 0.8).topInset(height, 24), 24) << height;
  }
}

TEST(MascotPlacement, Moved) {
  struct Row {
    const char* name;
    double dx, dy, width, height;
    double expectedHorizontal, expectedVertical;
  };
  // From (0.5, 0.5) with headroom 24; a 1440x900 area has free spans 1100 and 416.
  const Row rows[] = {
      {"right by a tenth", 110, 0, 1440, 900, 0.6, 0.5},
      {"up lowers the fraction", 0, 41.6, 1440, 900, 0.5, 0.4},
      {"down raises the fraction", 0, -41.6, 1440, 900, 0.5, 0.6},
      {"past the right edge", 5000, 0, 1440, 900, 1, 0.5},
      {"past the left and bottom edges", -5000, -5000, 1440, 900, 0, 1},
      {"no free width", 110, 0, 340, 900, 0, 0.5},
      {"narrower than the column", 110, 0, 200, 900, 0, 0.5},
      {"no free height", 0, 10, 1440, 484, 0.5, 0},
      {"NaN width", 10, 0, NAN, 900, 0, 0.5},
      {"non-finite move takes the fallback", NAN, inf, 1440, 900, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    expectPlacement(MascotPlacement(0.5, 0.5).moved(row.dx, row.dy, row.width, row.height, 24),
                    row.expectedHorizontal, row.expectedVertical);
  }
}

TEST(MascotPlacement, MovedIsTheInverseOfOriginAndInset) {
  const MascotPlacement start(0.2, 0.3);
  for (double dx : {-100.0, 37.5, 250.0}) {
    for (double dy : {-60.0, 12.0, 50.0}) {
      MascotPlacement after = start.moved(dx, dy, 1920, 1080, 32);
      EXPECT_NEAR(after.originX(0, 1920) - start.originX(0, 1920), dx, 1e-9);
      // Up on screen is a smaller inset from the top.
      EXPECT_NEAR(after.topInset(1080, 32) - start.topInset(1080, 32), -dy, 1e-9);
    }
  }
}

TEST(MascotPlacement, JsonRoundTripAndTolerantDecoding) {
  MascotPlacement p(0.25, 0.75);
  Json written = p.encode();
  EXPECT_EQ(json::dump(written), R"({"horizontal":0.25,"vertical":0.75})");
  EXPECT_EQ(MascotPlacement::decode(JsonReader(written)), p);

  struct Row {
    const char* json;
    double horizontal, vertical;
  };
  const Row rows[] = {
      {"{}", 1, 0},
      {R"({"horizontal": null, "vertical": null})", 1, 0},
      {R"({"horizontal": "0.5", "vertical": true})", 1, 0},
      {R"({"horizontal": 0.25, "extra": 3})", 0.25, 0},
      {R"({"horizontal": 5, "vertical": -1})", 1, 0},
      {R"({"horizontal": -5, "vertical": 7})", 0, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.json);
    Json value = Json::parse(row.json);
    expectPlacement(MascotPlacement::decode(JsonReader(value)), row.horizontal, row.vertical);
  }
  for (const char* bad : {"[]", "0.5", "null", R"("right")"}) {
    Json value = Json::parse(bad);
    EXPECT_THROW(MascotPlacement::decode(JsonReader(value)), DecodingError) << bad;
  }
}

}  // namespace
}  // namespace vorlane
