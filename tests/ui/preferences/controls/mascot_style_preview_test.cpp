#include "ui/preferences/controls/mascot_style_preview.h"

#include <gtest/gtest.h>

#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {
namespace {

struct Render {
  MascotAppearance appearance;
  bool dark;
};

// Counts the renders and keeps what the scene held at each.
struct CountingRenderer {
  MascotStylePreview::Renderer hook() {
    return [this](MascotScene& scene, qreal ratio) {
      renders.push_back({scene.appearance(), scene.theme().isDark});
      return failing ? QImage() : MascotStylePreview::renderScene(scene, ratio);
    };
  }
  std::vector<Render> renders;
  bool failing = false;
};

// Pixels that differ between two renders of the same size.
int differingPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
  }
  return count;
}

TEST(MascotStylePreview, RendersOnlyWhenTheAppearanceOrTheThemeChanges) {
  CountingRenderer renderer;
  MascotStylePreview preview(nullptr, renderer.hook());
  const MascotAppearance faded{.monkeyOpacity = 0.5};
  const MascotAppearance thin{.ropeWidth = 1};
  const struct {
    const char* name;
    MascotAppearance appearance;
    bool dark;
    size_t renders;
  } steps[] = {
      {"first showing", MascotAppearance(), false, 1},
      {"same values", MascotAppearance(), false, 1},
      {"dark", MascotAppearance(), true, 2},
      {"dark again", MascotAppearance(), true, 2},
      {"monkey faded", faded, true, 3},
      {"rope thinned", thin, true, 4},
      {"thin again", thin, true, 4},
      {"light", thin, false, 5},
  };
  for (const auto& step : steps) {
    preview.showAppearance(step.appearance, step.dark);
    ASSERT_EQ(renderer.renders.size(), step.renders) << step.name;
    EXPECT_EQ(renderer.renders.back().appearance, step.appearance) << step.name;
    EXPECT_EQ(renderer.renders.back().dark, step.dark) << step.name;
  }
}

TEST(MascotStylePreview, LightAndDarkPicturesDiffer) {
  MascotStylePreview light(nullptr);
  MascotStylePreview dark(nullptr);
  light.showAppearance(MascotAppearance(), false);
  dark.showAppearance(MascotAppearance(), true);
  ASSERT_FALSE(light.image().isNull());
  ASSERT_EQ(light.image().size(), dark.image().size());
  EXPECT_EQ(light.image().deviceIndependentSize(), MascotStylePreview::sceneSize);
  EXPECT_GT(differingPixels(light.image(), dark.image()), 100);
}

TEST(MascotStylePreview, AnInvisibleMonkeyRopeAndBannerLeaveAnEmptyPicture) {
  MascotStylePreview preview(nullptr);
  preview.showAppearance(MascotAppearance(), false);
  const QImage shown = preview.image();
  preview.showAppearance({.monkeyOpacity = 0, .ropeOpacity = 0, .bannerOpacity = 0}, false);
  const QImage hidden = preview.image();
  int painted = 0;
  for (int y = 0; y < hidden.height(); ++y) {
    for (int x = 0; x < hidden.width(); ++x) painted += qAlpha(hidden.pixel(x, y)) != 0;
  }
  EXPECT_EQ(painted, 0);
  EXPECT_GT(differingPixels(shown, hidden), 1000);
}

TEST(MascotStylePreview, AFailedRenderKeepsThePictureAndIsNotRetriedForTheSameValues) {
  CountingRenderer renderer;
  MascotStylePreview preview(nullptr, renderer.hook());
  preview.showAppearance(MascotAppearance(), false);
  const QImage first = preview.image();
  ASSERT_FALSE(first.isNull());
  renderer.failing = true;
  preview.showAppearance({.ropeWidth = 8}, false);
  EXPECT_EQ(preview.image(), first) << "the previous picture stays";
  preview.showAppearance({.ropeWidth = 8}, false);
  EXPECT_EQ(renderer.renders.size(), 2u) << "the failed values are recorded";
}

}  // namespace
}  // namespace vorlane
