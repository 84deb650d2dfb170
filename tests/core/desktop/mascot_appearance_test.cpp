#include "core/desktop/mascot_appearance.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorlane {
namespace {

TEST(MascotColor, ClampsZeroesNonFiniteDecodesStrictlyAndChoosesTheInkByLuminance) {
  EXPECT_EQ(MascotColor(1.2, -1, INFINITY), MascotColor(1, 0, 0));
  EXPECT_EQ(MascotColor(NAN, -INFINITY, 0.5), MascotColor(0, 0, 0.5));
  const Json clamped = Json::parse(R"({"red": 2, "green": 0.5, "blue": -3, "alpha": 1})");
  EXPECT_EQ(MascotColor::decode(JsonReader(clamped)), MascotColor(1, 0.5, 0));
  for (const char* bad : {R"({"red": 1, "green": 0})", R"({"red": true, "green": 0, "blue": 0})"})
    EXPECT_THROW(MascotColor::decode(JsonReader(Json::parse(bad))), DecodingError) << bad;
  EXPECT_TRUE(MascotColor(1, 0, 0).usesDarkInk());                  // luminance 0.2126
  EXPECT_FALSE(MascotColor(0, 0, 1).usesDarkInk());                 // luminance 0.0722
  EXPECT_FALSE(MascotColor(0.4601, 0.4601, 0.4601).usesDarkInk());  // greys turn dark near 0.4603
  EXPECT_TRUE(MascotColor(0.4605, 0.4605, 0.4605).usesDarkInk());
}

TEST(MascotAppearance, SanitizedClampsNumbersToTheirFallbacksEncodesAsStoredAndDecodesTolerantly) {
  // {value, sanitised opacity, sanitised rope width}
  const double rows[][3] = {
      {-0.3, 0, 1}, {1.7, 1, 1.7}, {NAN, 1, 4}, {-INFINITY, 1, 4}, {12, 1, 8}};
  const MascotColor tint(0.1, 0.2, 0.3);
  for (const auto& r : rows) {
    const MascotAppearance raw{r[0], r[0], r[0], r[0], tint, std::nullopt, tint};
    const MascotAppearance expected{r[1], r[1], r[1], r[2], tint, std::nullopt, tint};
    EXPECT_EQ(raw.sanitized(), expected) << r[0];
  }
  const MascotAppearance stored{
      .monkeyOpacity = 1.5, .ropeWidth = 0.5, .bannerColor = MascotColor(0, 1, 0.5)};
  EXPECT_EQ(json::dump(stored.encode()),
            R"({"monkeyOpacity":1.5,"ropeOpacity":1,"bannerOpacity":1,)"
            R"("ropeWidth":0.5,"bannerColor":{"red":0,"green":1,"blue":0.5}})");
  EXPECT_THROW(MascotAppearance{.bannerOpacity = NAN}.encode(), EncodingError);
  const auto decoded = [](const char* text) {
    return MascotAppearance::decode(JsonReader(Json::parse(text)));
  };
  EXPECT_EQ(
      decoded(
          R"({"monkeyOpacity": "0.5", "ropeOpacity": null, "ropeWidth": [3], "bannerColor": 7})"),
      MascotAppearance());
  EXPECT_EQ(
      decoded(R"({"monkeyOpacity": 0.25, "ropeOpacity": -1, "ropeColor": {"red": 2, "green": 0.5,)"
              R"("blue": 0}})"),
      (MascotAppearance{
          .monkeyOpacity = 0.25, .ropeOpacity = 0, .ropeColor = MascotColor(1, 0.5, 0)}));
  EXPECT_THROW(decoded("[]"), DecodingError);
}

}  // namespace
}  // namespace vorlane
