#include "core/desktop/mascot_color.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

TEST(MascotColor, ClampsEachChannelAndZeroesNonFinite) {
  struct Row {
    double r, g, b;
    MascotColor expected;
  };
  const Row rows[] = {
      {0.2, 0.4, 0.6, MascotColor(0.2, 0.4, 0.6)},
      {1.2, -1, inf, MascotColor(1, 0, 0)},
      {NAN, -inf, 0.5, MascotColor(0, 0, 0.5)},
  };
  for (const auto& row : rows) {
    MascotColor c(row.r, row.g, row.b);
    EXPECT_EQ(c, row.expected) << row.r << " " << row.g << " " << row.b;
    for (double channel : {c.red(), c.green(), c.blue()}) {
      EXPECT_TRUE(channel >= 0 && channel <= 1);
    }
  }
}

TEST(MascotColor, InkChoice) {
  struct Row {
    const char* name;
    MascotColor color;
    bool dark;
  };
  const Row rows[] = {
      {"white", MascotColor(1, 1, 1), true},
      {"red", MascotColor(1, 0, 0), true},
      {"green", MascotColor(0, 1, 0), true},
      {"grey 0.47", MascotColor(0.47, 0.47, 0.47), true},
      {"black", MascotColor(0, 0, 0), false},
      {"blue", MascotColor(0, 0, 1), false},
      {"grey 0.46", MascotColor(0.46, 0.46, 0.46), false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.color.usesDarkInk(), row.dark) << row.name;
}

TEST(MascotColor, InkSwitchesOnceAlongTheGreys) {
  int switches = 0;
  double switchedAt = -1;
  bool previous = MascotColor(0, 0, 0).usesDarkInk();
  for (int i = 1; i <= 10000; ++i) {
    double grey = i / 10000.0;
    bool dark = MascotColor(grey, grey, grey).usesDarkInk();
    if (dark != previous) {
      ++switches;
      switchedAt = grey;
    }
    previous = dark;
  }
  EXPECT_EQ(switches, 1);
  EXPECT_NEAR(switchedAt, 0.4603, 0.0002);
}

TEST(MascotColor, StrictJson) {
  MascotColor c(1, 0.5, 0);
  EXPECT_EQ(json::dump(c.encode()), R"({"red":1,"green":0.5,"blue":0})");
  Json clamped = Json::parse(R"({"red": 2, "green": 0.5, "blue": -3, "alpha": 1})");
  EXPECT_EQ(MascotColor::decode(JsonReader(clamped)), c);

  for (const char* bad : {R"({"red": 1, "green": 0})", R"({"red": 1, "green": 0, "blue": null})",
                          R"({"red": true, "green": 0, "blue": 0})",
                          R"({"red": "1", "green": 0, "blue": 0})", "[1, 0, 0]", "null"}) {
    Json value = Json::parse(bad);
    EXPECT_THROW(MascotColor::decode(JsonReader(value)), DecodingError) << bad;
  }
}

}  // namespace
}  // namespace vorlane
