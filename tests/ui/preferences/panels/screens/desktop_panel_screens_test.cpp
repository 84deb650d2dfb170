// The Desktop page over the displays Qt reports, two of them (see two_screens.json): one
// just tall enough for the vertical offset, one just too short.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QSlider>

#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/preferences/panels/desktop_panel.h"

namespace vorlane {
namespace {

TEST(DesktopPanelOnTwoDisplays, EachDisplayIsOfferedByNameAndEditedByItsOwnIdentifier) {
  ASSERT_EQ(QGuiApplication::screens().size(), 2) << "the two-display configuration is missing";
  QtScreenProvider screens(nullptr, nullptr);
  const struct {
    const char* name;
    std::optional<std::string> chosen;
    std::string edited;
    bool verticalEnabled;
  } rows[] = {
      {"the primary, 461 high", std::nullopt, "DP-1", true},
      {"chosen, 460 high", "HDMI-1", "HDMI-1", false},
      {"chosen, gone", "DP-9", "DP-1", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::RecordingPreferencesStore store(Preferences({.preferredScreenID = row.chosen}));
    PreferencesBinding binding(store);
    DesktopPanel panel(binding, screens, true, nullptr);
    ASSERT_EQ(panel.screenPicker()->count(), 3);
    // Offscreen displays have no maker or model: the connector names them.
    EXPECT_EQ(panel.screenPicker()->itemText(1), QStringLiteral("DP-1"));
    EXPECT_EQ(panel.screenPicker()->itemText(2), QStringLiteral("HDMI-1"));
    EXPECT_EQ(panel.verticalSlider()->isEnabled(), row.verticalEnabled);

    panel.presetButton(1)->click();
    EXPECT_EQ(store.preferences().mascotPlacements,
              (std::map<std::string, MascotPlacement>{{row.edited, MascotPlacement(0.5, 0.0)}}));
    EXPECT_EQ(store.preferences().preferredScreenID, row.chosen);
  }
}

}  // namespace
}  // namespace vorlane
