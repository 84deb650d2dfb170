#include "ui/preferences/panels/appearance_panel.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <limits>

#include "tests/support/fake_confirmation_prompt.h"
#include "tests/ui/preferences/controls/fake_color_chooser.h"
#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/kit/text_roles.h"
#include "ui/mascot/character/monkey_character_node.h"
#include "ui/mascot/scene/mascot_theme.h"
#include "ui/preferences/controls/color_well_row.h"

namespace vorlane {
namespace {

struct AppearancePanelTest : ::testing::Test {
  void make(Preferences record, const char* locale = "en_US") {
    panel.reset();
    store = std::make_unique<testing::RecordingPreferencesStore>(std::move(record));
    binding = std::make_unique<PreferencesBinding>(*store);
    const std::string localeName = locale;
    panel = std::make_unique<AppearancePanel>(
        *binding,
        AppearancePanel::Services{
            .calendar = [localeName] { return Calendar("UTC", localeName); },
            .confirmation = prompt,
            .colors = colors,
            .previewRenderer =
                [this](MascotScene& scene, qreal ratio) {
                  ++renders;
                  return MascotStylePreview::renderScene(scene, ratio);
                },
        },
        nullptr);
  }
  MascotAppearance stored() const { return store->preferences().mascotAppearance; }

  std::shared_ptr<FakeConfirmationPrompt> prompt = std::make_shared<FakeConfirmationPrompt>();
  std::shared_ptr<testing::FakeColorChooser> colors = std::make_shared<testing::FakeColorChooser>();
  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<AppearancePanel> panel;
  int renders = 0;
};

TEST_F(AppearancePanelTest, OpacitySlidersStoreExactTwentieths) {
  make(Preferences());
  for (int step = 0; step <= AppearancePanel::opacitySteps; ++step) {
    EXPECT_EQ(AppearancePanel::opacityAt(step), step / 20.0) << step;
    EXPECT_EQ(AppearancePanel::opacityStep(AppearancePanel::opacityAt(step)), step) << step;
  }
  // 3 * 0.05 would be 0.15000000000000002.
  panel->monkeyOpacity()->setValue(3);
  EXPECT_EQ(stored().monkeyOpacity, 0.15);
  panel->ropeOpacity()->setValue(0);
  EXPECT_EQ(stored().ropeOpacity, 0.0);
  panel->bannerOpacity()->setValue(11);
  EXPECT_EQ(stored().bannerOpacity, 0.55);
  EXPECT_EQ(store->writes.size(), 3u);
  EXPECT_EQ(panel->bannerPercent()->text(), QStringLiteral("55%"));
  EXPECT_EQ(panel->monkeyOpacity()->accessibleName(), QStringLiteral("Monkey opacity"));
  EXPECT_EQ(panel->bannerOpacity()->accessibleName(), QStringLiteral("Banners & controls opacity"));
}

TEST_F(AppearancePanelTest, ThicknessMovesInHalfPointsFromOneToEight) {
  make(Preferences());
  EXPECT_EQ(panel->thickness()->minimum(), 2);
  EXPECT_EQ(panel->thickness()->maximum(), 16);
  EXPECT_EQ(panel->thickness()->value(), 8);
  EXPECT_EQ(AppearancePanel::ropeWidthAt(2), 1.0);
  EXPECT_EQ(AppearancePanel::ropeWidthAt(16), 8.0);
  panel->thickness()->setValue(9);
  EXPECT_EQ(stored().ropeWidth, 4.5);
  EXPECT_EQ(panel->thicknessText()->text(), QStringLiteral("4.5 pt"));
}

TEST_F(AppearancePanelTest, PercentagesAndThicknessFollowTheLocale) {
  const struct {
    const char* locale;
    double opacity;
    double width;
    const char* percent;
    const char* thickness;
  } rows[] = {
      {"en_US", 0.55, 4, "55%", "4 pt"},     {"en_US", 1, 4.5, "100%", "4.5 pt"},
      {"en_US", 0, 1, "0%", "1 pt"},         {"de_DE", 0.55, 4.5, "55\u00A0%", "4,5 pt"},
      {"de_DE", 1, 8, "100\u00A0%", "8 pt"},
  };
  for (const auto& row : rows) {
    make(Preferences({.mascotAppearance = {.ropeOpacity = row.opacity, .ropeWidth = row.width}}),
         row.locale);
    EXPECT_EQ(panel->ropePercent()->text(), QString::fromUtf8(row.percent)) << row.locale;
    EXPECT_EQ(panel->thicknessText()->text(), QString::fromUtf8(row.thickness)) << row.locale;
    EXPECT_TRUE(store->writes.empty());
  }
}

// The percentages and the thickness keep their digits one width apart while a slider moves,
// at the page's text size.
TEST_F(AppearancePanelTest, PercentagesAndThicknessUseMonospacedDigitsAtThePageSize) {
  make(Preferences());
  QFont page = panel->font();
  page.setPixelSize(17);
  panel->setFont(page);
  const QString monospaced = withMonospacedDigits(QFont()).family();
  const struct {
    const char* name;
    QLabel* label;
  } rows[] = {{"monkey", panel->monkeyPercent()},
              {"rope", panel->ropePercent()},
              {"banner", panel->bannerPercent()},
              {"thickness", panel->thicknessText()}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.label->font().family(), monospaced);
    EXPECT_EQ(row.label->font().pixelSize(), 17);
  }
}

TEST_F(AppearancePanelTest, BadStoredValuesAreShownSanitisedAndWrittenOnlyWhenTheUserActs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Assigned, not built: a built record is sanitised already.
  Preferences bad;
  bad.mascotAppearance = {
      .monkeyOpacity = 1.5, .ropeOpacity = -0.2, .bannerOpacity = nan, .ropeWidth = 20};
  make(bad);
  const struct {
    const char* name;
    QSlider* slider;
    QLabel* percent;
    int step;
    const char* text;
  } rows[] = {
      {"above 1", panel->monkeyOpacity(), panel->monkeyPercent(), 20, "100%"},
      {"below 0", panel->ropeOpacity(), panel->ropePercent(), 0, "0%"},
      {"not a number", panel->bannerOpacity(), panel->bannerPercent(), 20, "100%"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.slider->value(), row.step) << row.name;
    EXPECT_EQ(row.percent->text(), QString::fromUtf8(row.text)) << row.name;
  }
  EXPECT_EQ(panel->thicknessText()->text(), QStringLiteral("8 pt"));
  EXPECT_TRUE(store->writes.empty());

  // The first change writes a record that can be saved: every number in range.
  panel->ropeOpacity()->setValue(4);
  ASSERT_EQ(store->writes.size(), 1u);
  EXPECT_EQ(stored(), (MascotAppearance{.monkeyOpacity = 1, .ropeOpacity = 0.2, .ropeWidth = 8}));
}

TEST_F(AppearancePanelTest, AHeldSliderIsNotMovedByAChangeFromElsewhere) {
  make(Preferences());
  panel->monkeyOpacity()->setSliderDown(true);
  store->changeElsewhere([](Preferences& p) { p.mascotAppearance.monkeyOpacity = 0.25; });
  EXPECT_EQ(panel->monkeyOpacity()->value(), 20);
  EXPECT_EQ(panel->monkeyPercent()->text(), QStringLiteral("25%"));
  panel->monkeyOpacity()->setSliderDown(false);
  store->changeElsewhere([](Preferences& p) { p.mascotAppearance.monkeyOpacity = 0.3; });
  EXPECT_EQ(panel->monkeyOpacity()->value(), 6);
  EXPECT_TRUE(store->writes.empty()) << "a redraw never writes back";
}

TEST_F(AppearancePanelTest, APickedColourIsStoredOpaqueAndDefaultClearsIt) {
  make(Preferences());
  ColorWellRow* rope = panel->ropeColor();
  EXPECT_FALSE(rope->defaultButton()->isEnabled());
  EXPECT_EQ(rope->shownColor(), MascotTheme::light().rope.toQColor());
  EXPECT_EQ(rope->defaultButton()->accessibleName(), QStringLiteral("Reset rope color"));

  rope->well()->click();
  ASSERT_EQ(colors->asked.size(), 1u);
  EXPECT_EQ(colors->asked.back().title, QStringLiteral("Rope"));
  colors->pick(QColor::fromRgbF(1, 0.5f, 0, 0.3f));
  ASSERT_TRUE(stored().ropeColor.has_value());
  EXPECT_EQ(*stored().ropeColor, MascotColor(1, QColor::fromRgbF(1, 0.5f, 0).greenF(), 0));
  EXPECT_EQ(rope->shownColor().alpha(), 255);
  EXPECT_TRUE(rope->defaultButton()->isEnabled());

  rope->defaultButton()->click();
  EXPECT_EQ(stored().ropeColor, std::nullopt);
  EXPECT_FALSE(rope->defaultButton()->isEnabled());
  EXPECT_EQ(store->writes.size(), 2u);
}

TEST_F(AppearancePanelTest, ACancelledChooserWritesNothing) {
  make(Preferences({.mascotAppearance = {.monkeyColor = MascotColor(0.1, 0.2, 0.3)}}));
  panel->furColor()->well()->click();
  ASSERT_EQ(colors->asked.size(), 1u);
  EXPECT_EQ(colors->asked.back().initial, QColor::fromRgbF(0.1f, 0.2f, 0.3f));
  colors->cancel();
  EXPECT_TRUE(store->writes.empty());
  EXPECT_EQ(stored().monkeyColor, MascotColor(0.1, 0.2, 0.3));
}

TEST_F(AppearancePanelTest, OnlyTheRopeAndBannerDefaultsFollowADarkWindow) {
  make(Preferences());
  const QColor fur = MonkeyCharacterNode::Palette::fur.toQColor();
  EXPECT_EQ(panel->furColor()->shownColor(), fur);
  EXPECT_EQ(panel->bannerColor()->shownColor(), MascotTheme::light().boardFill.toQColor());
  QPalette dark = panel->palette();
  dark.setColor(QPalette::Window, QColor(30, 30, 30));
  panel->setPalette(dark);
  EXPECT_EQ(panel->furColor()->shownColor(), fur);
  EXPECT_EQ(panel->ropeColor()->shownColor(), MascotTheme::dark().rope.toQColor());
  EXPECT_EQ(panel->bannerColor()->shownColor(), MascotTheme::dark().boardFill.toQColor());
  EXPECT_TRUE(store->writes.empty());
}

TEST_F(AppearancePanelTest, ResetAsksFirstAndRestoresOnlyTheAppearance) {
  const MascotAppearance styled{
      .monkeyOpacity = 0.4, .ropeWidth = 2.5, .bannerColor = MascotColor(0.2, 0.4, 0.6)};
  const Preferences record({.mascotAppearance = styled,
                            .mascotPlacements = {{"DP-1", MascotPlacement(0.2, 0.7)}},
                            .speechEnabled = false});
  make(record);
  panel->resetButton()->click();
  ASSERT_TRUE(prompt->pending());
  const Confirmation& asked = prompt->asked().back().confirmation;
  EXPECT_EQ(asked.message, QStringLiteral("Reset mascot appearance to its defaults?"));
  EXPECT_EQ(asked.confirmLabel, QStringLiteral("Reset appearance"));
  EXPECT_FALSE(asked.destructive);
  EXPECT_EQ(panel->resetButton()->text(), QStringLiteral("Reset appearance\u2026"));

  prompt->cancel();
  EXPECT_TRUE(store->writes.empty());

  panel->resetButton()->click();
  prompt->confirm();
  Preferences expected = record;
  expected.mascotAppearance = MascotAppearance();
  EXPECT_EQ(store->preferences(), expected);
  EXPECT_EQ(store->writes.size(), 1u);
  EXPECT_EQ(panel->monkeyOpacity()->value(), 20);
}

TEST_F(AppearancePanelTest, ThePreviewIsBuiltWhenFirstOpenedAndRedrawnOncePerChange) {
  make(Preferences());
  EXPECT_FALSE(panel->previewToggle()->isChecked());
  EXPECT_EQ(panel->lightPreview(), nullptr);
  EXPECT_EQ(renders, 0);
  panel->previewToggle()->click();
  ASSERT_NE(panel->lightPreview(), nullptr);
  EXPECT_EQ(renders, 2) << "light and dark";
  EXPECT_EQ(panel->lightPreview()->height(), 160);

  panel->monkeyOpacity()->setValue(10);
  EXPECT_EQ(renders, 4);
  // A change the preview does not show draws nothing new.
  store->changeElsewhere([](Preferences& p) { p.speechEnabled = false; });
  EXPECT_EQ(renders, 4);
  // Closing and opening again keeps the pictures.
  panel->previewToggle()->click();
  panel->previewToggle()->click();
  EXPECT_EQ(renders, 4);
}

}  // namespace
}  // namespace vorlane
