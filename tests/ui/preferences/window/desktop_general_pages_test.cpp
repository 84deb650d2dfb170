#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

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

// The Desktop page open as a tray comes and goes follows it; one shown later reads the tray as
// it is then.
TEST(PreferencesWindowPages, AnOpenDesktopPageFollowsTheTray) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation;
  auto screens = std::make_shared<FakeScreenProvider>();
  screens->displays = {display("DP-1", "Dell U2720Q", 0, 1080)};
  bool tray = false;
  Observers<> trayChanges;
  PreferencesWindow::Services services;
  services.calendar = [] { return Calendar("UTC", "en_US"); };
  services.screens = screens;
  services.trayAvailable = [&tray] { return tray; };
  services.followTray = [&trayChanges](std::function<void()> changed) {
    return trayChanges.subscribe([changed = std::move(changed)] { changed(); });
  };
  PreferencesWindow window(store, navigation, services);
  const auto desktop = [&window] { return dynamic_cast<DesktopPanel*>(window.panel()); };
  ASSERT_NE(desktop(), nullptr);
  EXPECT_FALSE(desktop()->presenceNote()->isHidden());

  tray = true;
  trayChanges.notify();
  EXPECT_TRUE(desktop()->presenceNote()->isHidden());
  ASSERT_NE(desktop()->clickThroughToggle(), nullptr);

  navigation.setSelection(PreferencesSection::general);
  tray = false;
  trayChanges.notify();  // another page shows: nothing to follow
  navigation.setSelection(PreferencesSection::desktop);
  ASSERT_NE(desktop(), nullptr);
  EXPECT_FALSE(desktop()->presenceNote()->isHidden());
  EXPECT_EQ(desktop()->clickThroughToggle(), nullptr);
}

}  // namespace
}  // namespace vorlane
