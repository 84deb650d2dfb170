#include "core/desktop/mascot_color.h"

#include <cmath>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(MascotColor, ClampsEachChannelAndZeroesNonFinite) {
  MascotColor c(1.2, -1, INFINITY);
  EXPECT_EQ(c.red(), 1);
  EXPECT_EQ(c.green(), 0);
  EXPECT_EQ(c.blue(), 0);
  EXPECT_EQ(MascotColor(NAN, -INFINITY, 0.5), MascotColor(0, 0, 0.5));
}

TEST(MascotColor, InkChoice) {
  for (const MascotColor& c : {MascotColor(1, 1, 1), MascotColor(1, 0, 0), MascotColor(0, 1, 0)}) {
    EXPECT_TRUE(c.usesDarkInk()) << c.red() << " " << c.green();
  }
  EXPECT_FALSE(MascotColor(0, 0, 1).usesDarkInk());  // luminance 0.0722
  // Along the greys, from black, the ink switches exactly once, to dark, near 0.4603.
  int switches = 0;
  bool previous = false;
  for (int i = 0; i <= 10000; ++i) {
    double g = i / 10000.0;
    bool dark = MascotColor(g, g, g).usesDarkInk();
    if (dark != previous) {
      ++switches;
      EXPECT_NEAR(g, 0.4603, 0.0002);
    }
    previous = dark;
  }
  EXPECT_EQ(switches, 1);
}

TEST(MascotColor, StrictJson) {
  EXPECT_EQ(json::dump(MascotColor(1, 0.5, 0).encode()), R"({"red":1,"green":0.5,"blue":0})");
  Json clamped = Json::parse(R"({"red": 2, "green": 0.5, "blue": -3, "alpha": 1})");
  EXPECT_EQ(MascotColor::decode(JsonReader(clamped)), MascotColor(1, 0.5, 0));
  for (const char* bad : {R"({"red": 1, "green": 0})", R"({"red": 1, "green": 0, "blue": null})",
                          R"({"red": true, "green": 0, "blue": 0})", "[1, 0, 0]"}) {
    Json value = Json::parse(bad);
    EXPECT_THROW(MascotColor::decode(JsonReader(value)), DecodingError) << bad;
  }
}

}  // namespace
}  // namespace vorlane
