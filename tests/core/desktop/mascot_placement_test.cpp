#include "core/desktop/mascot_placement.h"

#include <cmath>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

void expectPlacement(const MascotPlacement& p, double horizontal, double vertical) {
  EXPECT_DOUBLE_EQ(p.horizontal(), horizontal);
  EXPECT_DOUBLE_EQ(p.vertical(), vertical);
}

TEST(MascotPlacement, ClampsAndReplacesNonFiniteByTheFallback) {
  const double rows[][4] = {
      {0.3, 0.7, 0.3, 0.7}, {-0.5, 2, 0, 1}, {NAN, NAN, 1, 0},
      {-INFINITY, -INFINITY, 1, 0}, {INFINITY, INFINITY, 1, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r[0] << ", " << r[1]);
    expectPlacement(MascotPlacement(r[0], r[1]), r[2], r[3]);
  }
}

TEST(MascotPlacement, OriginAndInsetUseTheFreeSpans) {
  EXPECT_DOUBLE_EQ(MascotPlacement(1, 0).originX(100, 1440), 1200);
  EXPECT_DOUBLE_EQ(MascotPlacement(0.5, 0.5).topInset(900, 24), 232);
  // No free room, or no number at all: the edge.
  for (double width : {340.0, 200.0, double(NAN)}) {
    EXPECT_DOUBLE_EQ(MascotPlacement(0.8, 0).originX(100, width), 100) << width;
  }
  for (double height : {484.0, 300.0, double(NAN)}) {
    EXPECT_DOUBLE_EQ(MascotPlacement(0, 0.8).topInset(height, 24), 24) << height;
  }
}

TEST(MascotPlacement, Moved) {
  struct Row {
    const char* name;
    double dx, dy, width, height, horizontal, vertical;
  };
  // From (0.5, 0.5) with headroom 24; a 1440x900 area has free spans 1100 and 416.
  const Row rows[] = {
      {"right by a tenth: originX moves 110", 110, 0, 1440, 900, 0.6, 0.5},
      {"up lowers the fraction", 0, 41.6, 1440, 900, 0.5, 0.4},
      {"past the right and top edges", 5000, 5000, 1440, 900, 1, 0},
      {"past the left and bottom edges", -5000, -5000, 1440, 900, 0, 1},
      {"no free width gives 0", 110, 0, 340, 900, 0, 0.5},
      {"no free height gives 0", 0, -10, 1440, 484, 0.5, 0},
      {"NaN width gives 0", 10, 0, NAN, 900, 0, 0.5},
      {"non-finite result takes the fallback", NAN, INFINITY, 1440, 900, 1, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    expectPlacement(MascotPlacement(0.5, 0.5).moved(row.dx, row.dy, row.width, row.height, 24),
                    row.horizontal, row.vertical);
  }
}

TEST(MascotPlacement, JsonRoundTripAndTolerantDecoding) {
  Json written = MascotPlacement(0.25, 0.75).encode();
  EXPECT_EQ(json::dump(written), R"({"horizontal":0.25,"vertical":0.75})");
  EXPECT_EQ(MascotPlacement::decode(JsonReader(written)), MascotPlacement(0.25, 0.75));

  const std::pair<const char*, MascotPlacement> rows[] = {
      {"{}", MascotPlacement(1, 0)},
      {R"({"horizontal": "0.5", "vertical": true})", MascotPlacement(1, 0)},
      {R"({"horizontal": 0.25, "vertical": null})", MascotPlacement(0.25, 0)},
      {R"({"horizontal": -5, "vertical": 7})", MascotPlacement(0, 1)},
  };
  for (const auto& [text, expected] : rows) {
    Json value = Json::parse(text);
    EXPECT_EQ(MascotPlacement::decode(JsonReader(value)), expected) << text;
  }
  for (const char* bad : {"[]", "0.5", "null"}) {
    Json value = Json::parse(bad);
    EXPECT_THROW(MascotPlacement::decode(JsonReader(value)), DecodingError) << bad;
  }
}

}  // namespace
}  // namespace vorlane
