#include "ui/mascot/scene/mascot_theme.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(MascotTheme, MatchesTheDesktopByTheWindowColour) {
  QPalette darkPalette;
  darkPalette.setColor(QPalette::Window, QColor(40, 40, 40));
  QPalette lightPalette;
  lightPalette.setColor(QPalette::Window, QColor(240, 240, 240));
  EXPECT_EQ(MascotTheme::matching(darkPalette), MascotTheme::dark());
  EXPECT_EQ(MascotTheme::matching(lightPalette), MascotTheme::light());
  EXPECT_TRUE(MascotTheme::dark().isDark);
  EXPECT_EQ(MascotTheme::dark().confetti, MascotTheme::coolConfetti());
}

TEST(MascotTheme, WithoutOverridesApplyingChangesNothing) {
  for (const MascotTheme* theme : {&MascotTheme::light(), &MascotTheme::dark()}) {
    EXPECT_EQ(theme->applying(MascotAppearance{}), *theme);
  }
}

TEST(MascotTheme, ARopeColourChangesOnlyTheRope) {
  MascotAppearance appearance;
  appearance.ropeColor = MascotColor(0.2, 0.4, 0.6);
  MascotTheme expected = MascotTheme::dark();
  expected.rope = Rgba{0.2, 0.4, 0.6, 1};
  EXPECT_EQ(MascotTheme::dark().applying(appearance), expected);
}

TEST(MascotTheme, ABannerColourDerivesSurfacesStrokeAndInk) {
  struct Row {
    const char* name;
    MascotColor banner;
    Rgba ink;
  };
  const Row rows[] = {{"white banner, black ink", MascotColor(1, 1, 1), Rgba::white(0)},
                      {"black banner, white ink", MascotColor(0, 0, 0), Rgba::white(1)}};
  for (const Row& row : rows) {
    MascotAppearance appearance;
    appearance.bannerColor = row.banner;
    const MascotTheme t = MascotTheme::light().applying(appearance);
    const Rgba b = toRgba(row.banner);
    const Rgba stroke = b.blended(0.35, row.ink);
    EXPECT_EQ(t.bubbleFill, b) << row.name;
    EXPECT_EQ(t.pillFill, b) << row.name;
    EXPECT_EQ(t.boardFill, b) << row.name;
    EXPECT_EQ(t.bubbleStroke, stroke) << row.name;
    EXPECT_EQ(t.boardStroke, stroke) << row.name;
    EXPECT_EQ(t.bubbleText, row.ink) << row.name;
    EXPECT_EQ(t.boardInk, row.ink) << row.name;
    EXPECT_EQ(t.pillHighlight, b.blended(0.15, row.ink)) << row.name;
    EXPECT_EQ(t.boardCaption, row.ink.withAlpha(0.8)) << row.name;
    EXPECT_EQ(t.rope, MascotTheme::light().rope) << row.name;
    EXPECT_EQ(t.celebrationGlow, MascotTheme::light().celebrationGlow) << row.name;
  }
  MascotAppearance white;
  white.bannerColor = MascotColor(1, 1, 1);
  EXPECT_DOUBLE_EQ(MascotTheme::light().applying(white).bubbleStroke.red, 0.65);
}

TEST(MascotTheme, PickedColoursDropAlphaAndInvalidOnesGiveNone) {
  const auto color = mascotColorFrom(QColor::fromRgbF(0.25, 0.5, 1.0, 0.3));
  ASSERT_TRUE(color.has_value());
  EXPECT_NEAR(color->red(), 0.25, 1e-4);
  EXPECT_NEAR(color->blue(), 1.0, 1e-4);
  EXPECT_FALSE(mascotColorFrom(QColor()).has_value());
}

}  // namespace
}  // namespace vorlane
