#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>

#include "tests/support/fake_screen_provider.h"
#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/preferences/panels/desktop_panel.h"
#include "ui/preferences/panels/general_panel.h"
#include "ui/preferences/window/preferences_window.h"

namespace vorlane {
namespace {

TEST(PreferencesWindowPages, DesktopAndGeneralShowTheirPanelsOverTheGivenDisplays) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation;
  auto screens = std::make_shared<FakeScreenProvider>();
  screens->displays = {display("DP-1", "Dell U2720Q", 0, 1080)};
  PreferencesWindow::Services services;
  services.calendar = [] { return Calendar("UTC", "en_US"); };
  services.screens = screens;
  services.trayAvailable = [] { return false; };
  PreferencesWindow window(store, navigation, services);
  auto* desktop = dynamic_cast<DesktopPanel*>(window.panel());
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop->screenPicker()->itemText(1), QStringLiteral("Dell U2720Q"));
  EXPECT_EQ(desktop->clickThroughToggle(), nullptr) << "the window passed on: no tray";

  navigation.setSelection(PreferencesSection::general);
  auto* general = dynamic_cast<GeneralPanel*>(window.panel());
  ASSERT_NE(general, nullptr);
  general->launchAtLoginToggle()->click();
  EXPECT_TRUE(store.preferences().launchAtLogin);
  EXPECT_EQ(store.writes.size(), 1u);
}

}  // namespace
}  // namespace vorlane
