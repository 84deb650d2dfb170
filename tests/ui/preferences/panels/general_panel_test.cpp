#include "ui/preferences/panels/general_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>

#include "platform/session/launch_at_login_setting.h"
#include "tests/support/fake_login_item.h"
#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"

namespace vorlane {
namespace {

struct GeneralPanelTest : ::testing::Test {
  void make(Preferences record, bool withSetting = true) {
    panel.reset();
    setting.reset();
    store = std::make_unique<testing::RecordingPreferencesStore>(record);
    binding = std::make_unique<PreferencesBinding>(*store);
    // Made before the panel, as at launch: it follows the store first.
    if (withSetting) {
      setting = std::make_unique<LaunchAtLoginSetting>(
          *store, [this] { return std::make_unique<FakeLoginItem>(entry); });
    }
    panel = std::make_unique<GeneralPanel>(*binding, setting.get(), nullptr);
  }

  LoginItemEntry entry;
  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<LaunchAtLoginSetting> setting;
  std::unique_ptr<GeneralPanel> panel;
};

TEST_F(GeneralPanelTest, TheToggleWritesTheSettingOnceAndTheLoginItemFollows) {
  make(Preferences());
  QCheckBox& toggle = *panel->launchAtLoginToggle();
  EXPECT_FALSE(toggle.isChecked());
  toggle.click();
  ASSERT_EQ(store->writes.size(), 1u);
  EXPECT_EQ(store->writes.back(), Preferences({.launchAtLogin = true}));
  EXPECT_TRUE(entry.enabled);
  toggle.click();
  ASSERT_EQ(store->writes.size(), 2u);
  EXPECT_FALSE(store->preferences().launchAtLogin);
  EXPECT_FALSE(entry.enabled);
  EXPECT_TRUE(panel->failureLine()->isHidden());
}

TEST_F(GeneralPanelTest, AFailedLoginItemIsShownWhileTheToggleKeepsTheStoredValue) {
  entry.failing = true;
  make(Preferences());
  panel->launchAtLoginToggle()->click();
  EXPECT_TRUE(store->preferences().launchAtLogin) << "the setting stays as the user set it";
  EXPECT_TRUE(panel->launchAtLoginToggle()->isChecked());
  EXPECT_FALSE(panel->failureLine()->isHidden());
  EXPECT_TRUE(panel->failureLine()->showsError());
  EXPECT_EQ(panel->failureLine()->text(),
            QStringLiteral("Launch at login could not be changed: Permission denied. It is tried "
                           "again at the next change."));

  // Any later write tries again; once it works, the line goes.
  entry.failing = false;
  store->changeElsewhere([](Preferences& p) { p.workMinutes = 30; });
  EXPECT_TRUE(entry.enabled);
  EXPECT_TRUE(panel->failureLine()->isHidden());
}

TEST_F(GeneralPanelTest, AFailureFromBeforeTheWindowOpenedIsShownAtOnce) {
  entry.failing = true;
  make(Preferences());
  store->changeElsewhere([](Preferences& p) { p.launchAtLogin = true; });
  panel = std::make_unique<GeneralPanel>(*binding, setting.get(), nullptr);
  EXPECT_TRUE(panel->failureLine()->showsError());
  EXPECT_TRUE(panel->launchAtLoginToggle()->isChecked());
}

TEST_F(GeneralPanelTest, WithoutTheFollowerTheToggleStillWritesAndNothingIsReported) {
  make(Preferences({.launchAtLogin = true}), /*withSetting=*/false);
  EXPECT_TRUE(panel->launchAtLoginToggle()->isChecked());
  EXPECT_TRUE(store->writes.empty());
  panel->launchAtLoginToggle()->click();
  EXPECT_FALSE(store->preferences().launchAtLogin);
  EXPECT_TRUE(panel->failureLine()->isHidden());
}

TEST_F(GeneralPanelTest, ThePrivacyNoteNamesThisComputer) {
  make(Preferences());
  EXPECT_EQ(panel->privacyLabel()->text(), QString::fromUtf8(vorlane::privacyNote));
  EXPECT_TRUE(panel->privacyLabel()->text().contains(QStringLiteral("this computer")));
}

}  // namespace
}  // namespace vorlane
