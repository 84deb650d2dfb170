#include "core/desktop/mascot_placement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlane {
namespace {

TEST(MascotPlacement, ClampsToTheFallbackNotTheNearerBoundFindsTheEdgesAndDecodesTolerantly) {
  EXPECT_EQ(MascotPlacement(-0.5, 2), MascotPlacement(0, 1));
  for (double x : {NAN, INFINITY, -INFINITY})
    EXPECT_EQ(MascotPlacement(x, x), MascotPlacement(1, 0)) << x;
  EXPECT_EQ(MascotPlacement(1, 0).originX(100, 1440), 1200);
  EXPECT_EQ(MascotPlacement(0.5, 0.5).topInset(900, 24), 232);
  for (double span : {340.0, double(NAN)})
    EXPECT_EQ(MascotPlacement(0.8, 0).originX(100, span), 100) << span;
  for (double span : {484.0, double(NAN)})
    EXPECT_EQ(MascotPlacement(0, 0.8).topInset(span, 24), 24) << span;
  const Json written = MascotPlacement(0.25, 0.75).encode();
  EXPECT_EQ(json::dump(written), R"({"horizontal":0.25,"vertical":0.75})");
  EXPECT_EQ(MascotPlacement::decode(JsonReader(written)), MascotPlacement(0.25, 0.75));
  EXPECT_EQ(
      MascotPlacement::decode(JsonReader(Json::parse(R"({"horizontal": "0.5", "vertical": 7})"))),
      MascotPlacement(1, 1));
  EXPECT_THROW(MascotPlacement::decode(JsonReader(Json::parse("[]"))), DecodingError);
}

TEST(MascotPlacement, MovedByADragWithinTheFreeSpans) {
  // From (0.5, 0.5) with headroom 24; a 1440x900 area has free spans 1100 and 416.
  const std::tuple<const char*, double, double, double, double, double, double> rows[] = {
      {"right by a tenth (originX moves 110), up lowers the fraction", 110, 41.6, 1440, 900, 0.6,
       0.4},
      {"past the right and top edges", 5000, 5000, 1440, 900, 1, 0},
      {"no free width or NaN height gives 0", 110, 0, 340, NAN, 0, 0},
      {"non-finite result takes the fallback", NAN, INFINITY, 1440, 900, 1, 0},
  };
  for (const auto& [name, dx, dy, width, height, horizontal, vertical] : rows) {
    const MascotPlacement moved = MascotPlacement(0.5, 0.5).moved(dx, dy, width, height, 24);
    EXPECT_DOUBLE_EQ(moved.horizontal(), horizontal) << name;
    EXPECT_DOUBLE_EQ(moved.vertical(), vertical) << name;
  }
}

}  // namespace
}  // namespace vorlane
