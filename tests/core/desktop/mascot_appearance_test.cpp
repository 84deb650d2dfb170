#include "core/desktop/mascot_appearance.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

MascotAppearance decodeText(const char* text) {
  Json value = Json::parse(text);
  return MascotAppearance::decode(JsonReader(value));
}

TEST(MascotAppearance, Sanitized) {
  struct Row {
    double value;
    double opacity;
    double ropeWidth;
  };
  const Row rows[] = {
      {-0.3, 0, 1}, {1.7, 1, 1.7}, {NAN, 1, 4}, {-inf, 1, 4}, {inf, 1, 4},
      {0.5, 0.5, 1}, {12, 1, 8}, {6, 1, 6},
  };
  const MascotColor tint(0.1, 0.2, 0.3);
  for (const auto& row : rows) {
    MascotAppearance raw{.monkeyOpacity = row.value, .ropeOpacity = row.value,
                         .bannerOpacity = row.value, .ropeWidth = row.value,
                         .monkeyColor = tint, .ropeColor = std::nullopt, .bannerColor = tint};
    MascotAppearance s = raw.sanitized();
    EXPECT_EQ(s.monkeyOpacity, row.opacity) << row.value;
    EXPECT_EQ(s.ropeOpacity, row.opacity) << row.value;
    EXPECT_EQ(s.bannerOpacity, row.opacity) << row.value;
    EXPECT_EQ(s.ropeWidth, row.ropeWidth) << row.value;
    EXPECT_EQ(s.monkeyColor, tint);
    EXPECT_EQ(s.ropeColor, std::nullopt);
    EXPECT_EQ(s.bannerColor, tint);
  }
  EXPECT_EQ(MascotAppearance().sanitized(), MascotAppearance());
}

TEST(MascotAppearance, EqualityIsExact) {
  EXPECT_EQ(MascotAppearance(), MascotAppearance());
  EXPECT_NE(MascotAppearance(), MascotAppearance{.monkeyColor = MascotColor(0, 0, 0)});
  EXPECT_NE(MascotAppearance{.monkeyColor = MascotColor(0, 0, 0)},
            MascotAppearance{.monkeyColor = MascotColor(0, 0, 0.01)});
  MascotAppearance withNaN{.ropeWidth = NAN};
  EXPECT_NE(withNaN, withNaN);
  EXPECT_EQ(withNaN.sanitized(), withNaN.sanitized());
}

TEST(MascotAppearance, EncodesStoredValuesAndOnlyPresentColours) {
  EXPECT_EQ(json::dump(MascotAppearance().encode()),
            R"({"monkeyOpacity":1,"ropeOpacity":1,"bannerOpacity":1,"ropeWidth":4})");
  MascotAppearance unsanitised{.monkeyOpacity = 1.5, .ropeWidth = 0.5,
                               .bannerColor = MascotColor(0, 1, 0)};
  EXPECT_EQ(json::dump(unsanitised.encode()),
            R"({"monkeyOpacity":1.5,"ropeOpacity":1,"bannerOpacity":1,"ropeWidth":0.5,)"
            R"("bannerColor":{"red":0,"green":1,"blue":0}})");
  for (double bad : {double(NAN), inf, -inf}) {
    EXPECT_THROW(MascotAppearance{.bannerOpacity = bad}.encode(), EncodingError) << bad;
  }
}

TEST(MascotAppearance, TolerantDecodingIsSanitised) {
  struct Row {
    const char* json;
    MascotAppearance expected;
  };
  const Row rows[] = {
      {"{}", MascotAppearance()},
      {R"({"ropeWidth": 20, "monkeyColor": {"red": 1, "green": 0}})",
       MascotAppearance{.ropeWidth = 8}},
      {R"({"ropeColor": {"red": 2, "green": 0.5, "blue": 0}})",
       MascotAppearance{.ropeColor = MascotColor(1, 0.5, 0)}},
      {R"({"monkeyOpacity": "0.5", "ropeOpacity": null, "bannerOpacity": false,
           "ropeWidth": [3]})",
       MascotAppearance()},
      {R"({"monkeyOpacity": 0.25, "ropeOpacity": -1, "bannerOpacity": 0.5, "ropeWidth": 2,
           "bannerColor": 7, "ropeColor": null, "unknown": {}})",
       MascotAppearance{.monkeyOpacity = 0.25, .ropeOpacity = 0, .bannerOpacity = 0.5,
                        .ropeWidth = 2}},
  };
  for (const auto& row : rows) EXPECT_EQ(decodeText(row.json), row.expected) << row.json;

  for (const char* bad : {"[]", "null", "1", R"("default")"}) {
    EXPECT_THROW(decodeText(bad), DecodingError) << bad;
  }
}

TEST(MascotAppearance, RoundTripsASanitisedAppearance) {
  MascotAppearance a{.monkeyOpacity = 0.8, .ropeOpacity = 0.1, .bannerOpacity = 0,
                     .ropeWidth = 7.5, .monkeyColor = MascotColor(0.2, 0.3, 0.4),
                     .ropeColor = MascotColor(1, 1, 1), .bannerColor = std::nullopt};
  Json written = a.encode();
  EXPECT_EQ(MascotAppearance::decode(JsonReader(written)), a);
}

}  // namespace
}  // namespace vorlane
