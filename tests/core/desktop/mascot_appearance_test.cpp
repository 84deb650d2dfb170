#include "core/desktop/mascot_appearance.h"

#include <cmath>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

MascotAppearance decodeText(const char* text) {
  Json value = Json::parse(text);
  return MascotAppearance::decode(JsonReader(value));
}

TEST(MascotAppearance, SanitizedClampsNumbersAndKeepsColours) {
  // {value, sanitised opacity, sanitised rope width}
  const double rows[][3] = {{-0.3, 0, 1}, {1.7, 1, 1.7}, {NAN, 1, 4}, {-INFINITY, 1, 4},
                            {0.5, 0.5, 1}, {12, 1, 8}};
  const MascotColor tint(0.1, 0.2, 0.3);
  for (const auto& r : rows) {
    MascotAppearance raw{.monkeyOpacity = r[0], .ropeOpacity = r[0], .bannerOpacity = r[0],
                         .ropeWidth = r[0], .monkeyColor = tint, .ropeColor = std::nullopt,
                         .bannerColor = tint};
    MascotAppearance expected{.monkeyOpacity = r[1], .ropeOpacity = r[1], .bannerOpacity = r[1],
                              .ropeWidth = r[2], .monkeyColor = tint, .ropeColor = std::nullopt,
                              .bannerColor = tint};
    EXPECT_EQ(raw.sanitized(), expected) << r[0];
  }
  MascotAppearance withNaN{.ropeWidth = NAN};
  EXPECT_NE(withNaN, withNaN);  // exact comparison, as the stored value is
}

TEST(MascotAppearance, EncodesStoredValuesAndOnlyPresentColours) {
  EXPECT_EQ(json::dump(MascotAppearance().encode()),
            R"({"monkeyOpacity":1,"ropeOpacity":1,"bannerOpacity":1,"ropeWidth":4})");
  MascotAppearance unsanitised{.monkeyOpacity = 1.5, .ropeWidth = 0.5,
                               .bannerColor = MascotColor(0, 1, 0)};
  EXPECT_EQ(json::dump(unsanitised.encode()),
            R"({"monkeyOpacity":1.5,"ropeOpacity":1,"bannerOpacity":1,"ropeWidth":0.5,)"
            R"("bannerColor":{"red":0,"green":1,"blue":0}})");
  EXPECT_THROW(MascotAppearance{.bannerOpacity = NAN}.encode(), EncodingError);
}

TEST(MascotAppearance, TolerantDecodingIsSanitised) {
  const std::pair<const char*, MascotAppearance> rows[] = {
      {"{}", MascotAppearance()},
      {R"({"ropeWidth": 20, "monkeyColor": {"red": 1, "green": 0}})",
       MascotAppearance{.ropeWidth = 8}},
      {R"({"ropeColor": {"red": 2, "green": 0.5, "blue": 0}})",
       MascotAppearance{.ropeColor = MascotColor(1, 0.5, 0)}},
      {R"({"monkeyOpacity": "0.5", "ropeOpacity": null, "bannerOpacity": false, "ropeWidth": [3]})",
       MascotAppearance()},
      {R"({"monkeyOpacity": 0.25, "ropeOpacity": -1, "ropeWidth": 2, "bannerColor": 7})",
       MascotAppearance{.monkeyOpacity = 0.25, .ropeOpacity = 0, .ropeWidth = 2}},
  };
  for (const auto& [text, expected] : rows) EXPECT_EQ(decodeText(text), expected) << text;
  EXPECT_THROW(decodeText("[]"), DecodingError);
}

}  // namespace
}  // namespace vorlane
