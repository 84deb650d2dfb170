#include "ui/preferences/panels/desktop_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "tests/support/fake_screen_provider.h"
#include "tests/ui/preferences/recording_preferences_store.h"

namespace vorlane {
namespace {

enum Preset { left, center, right };

struct DesktopPanelTest : ::testing::Test {
  void make(Preferences record, bool tray = true) {
    panel.reset();
    store = std::make_unique<testing::RecordingPreferencesStore>(record);
    binding = std::make_unique<PreferencesBinding>(*store);
    panel = std::make_unique<DesktopPanel>(*binding, screens, tray, nullptr);
  }
  std::map<std::string, MascotPlacement> placements() const {
    return store->preferences().mascotPlacements;
  }
  // The user picks a row of "Show on".
  void choose(int row) {
    panel->screenPicker()->setCurrentIndex(row);
    emit panel->screenPicker()->activated(row);
  }

  FakeScreenProvider screens;
  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<DesktopPanel> panel;
};

using Placements = std::map<std::string, MascotPlacement>;

TEST_F(DesktopPanelTest, EachPositionActionWritesTheEditedDisplayOnlyAndOnce) {
  screens.displays = {display("DP-1", "Dell U2720Q", 0, 1080),
                      display("HDMI-1", "LG 27UL500", 1280, 900)};
  const Placements stored{{"DP-1", MascotPlacement(0.2, 0.7)},
                          {"HDMI-1", MascotPlacement(0.3, 0.3)}};
  const struct {
    const char* name;
    Placements before;
    std::function<void(DesktopPanel&)> act;
    MascotPlacement expected;
  } rows[] = {
      {"Left", stored, [](DesktopPanel& p) { p.presetButton(left)->click(); }, {0.0, 0.7}},
      {"Center", stored, [](DesktopPanel& p) { p.presetButton(center)->click(); }, {0.5, 0.7}},
      {"Right", stored, [](DesktopPanel& p) { p.presetButton(right)->click(); }, {1.0, 0.7}},
      {"Reset position", stored, [](DesktopPanel& p) { p.resetButton()->click(); }, {1.0, 0.0}},
      {"Center without an entry",
       {{"HDMI-1", MascotPlacement(0.3, 0.3)}},
       [](DesktopPanel& p) { p.presetButton(center)->click(); },
       {0.5, 0.0}},
      {"Reset without an entry writes one",
       {{"HDMI-1", MascotPlacement(0.3, 0.3)}},
       [](DesktopPanel& p) { p.resetButton()->click(); },
       {1.0, 0.0}},
      {"horizontal slider",
       stored,
       [](DesktopPanel& p) { p.horizontalSlider()->setValue(250); },
       {0.25, 0.7}},
      {"vertical slider",
       stored,
       [](DesktopPanel& p) { p.verticalSlider()->setValue(1000); },
       {0.2, 1.0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    make(Preferences({.mascotPlacements = row.before}));
    ASSERT_TRUE(store->writes.empty()) << "showing writes nothing";
    row.act(*panel);
    ASSERT_EQ(store->writes.size(), 1u);
    Placements expected = row.before;
    expected.insert_or_assign("DP-1", row.expected);
    EXPECT_EQ(placements(), expected) << "the other display's entry stays as it was";
  }
}

TEST_F(DesktopPanelTest, TheSlidersShowTheEditedDisplaysEntryElseTheRightEdgeAtTheTop) {
  screens.displays = {display("DP-1", "Dell", 0, 1080)};
  make(Preferences());
  EXPECT_EQ(panel->horizontalSlider()->value(), 1000);
  EXPECT_EQ(panel->verticalSlider()->value(), 0);
  make(Preferences({.mascotPlacements = {{"DP-1", MascotPlacement(0.2, 0.7)}}}));
  EXPECT_EQ(panel->horizontalSlider()->value(), 200);
  EXPECT_EQ(panel->verticalSlider()->value(), 700);

  // A change from elsewhere (a Ctrl-drag) shows at once, but not under a held thumb.
  panel->horizontalSlider()->setSliderDown(true);
  store->changeElsewhere([](Preferences& p) {
    p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0.9, 0.4));
  });
  EXPECT_EQ(panel->horizontalSlider()->value(), 200);
  EXPECT_EQ(panel->verticalSlider()->value(), 400);
  EXPECT_TRUE(store->writes.empty());
}

TEST_F(DesktopPanelTest, TheVerticalSliderNeedsMoreThanTheLeastCanvasHeight) {
  const struct {
    const char* name;
    int height;
    bool enabled;
  } rows[] = {{"460 high", 460, false}, {"461 high", 461, true}, {"tiny", 200, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    screens.displays = {display("DP-1", "Dell", 0, row.height)};
    make(Preferences());
    EXPECT_EQ(panel->verticalSlider()->isEnabled(), row.enabled);
    EXPECT_TRUE(panel->horizontalSlider()->isEnabled());
  }
}

TEST_F(DesktopPanelTest, ShowOnStoresTheIdentifierOrNothingForTheActiveWindowsDisplay) {
  screens.displays = {display("DP-1", "Dell U2720Q", 0, 1080),
                      display("HDMI-1", "LG 27UL500", 1280, 900)};
  make(Preferences({.preferredScreenID = "HDMI-1"}));
  QComboBox& picker = *panel->screenPicker();
  ASSERT_EQ(picker.count(), 3);
  EXPECT_EQ(picker.itemText(0), QStringLiteral("Display with the active window"));
  EXPECT_EQ(picker.itemText(1), QStringLiteral("Dell U2720Q"));
  EXPECT_EQ(picker.itemText(2), QStringLiteral("LG 27UL500"));
  EXPECT_EQ(picker.currentIndex(), 2);

  // The chosen display is the edited one.
  panel->presetButton(center)->click();
  EXPECT_EQ(placements(), (Placements{{"HDMI-1", MascotPlacement(0.5, 0.0)}}));

  choose(0);
  EXPECT_EQ(store->preferences().preferredScreenID, std::nullopt) << "absent, never \"\"";
  choose(1);
  EXPECT_EQ(store->preferences().preferredScreenID, std::optional<std::string>("DP-1"));
  const std::size_t writes = store->writes.size();
  choose(1);
  EXPECT_EQ(store->writes.size(), writes) << "the same choice again writes nothing";
}

TEST_F(DesktopPanelTest, WithoutAChoiceTheActiveWindowsDisplayIsEditedElseThePrimary) {
  screens.displays = {display("DP-1", "Dell", 0, 1080), display("HDMI-1", "LG", 1280, 900)};
  screens.primary = 1;
  make(Preferences());
  panel->presetButton(left)->click();
  screens.activeWindow = 0;
  panel->presetButton(center)->click();
  EXPECT_EQ(placements(), (Placements{{"HDMI-1", MascotPlacement(0.0, 0.0)},
                                      {"DP-1", MascotPlacement(0.5, 0.0)}}));
}

TEST_F(DesktopPanelTest, WithNoDisplayNothingIsWritten) {
  screens.displays = {};
  make(Preferences({.mascotPlacements = {{"", MascotPlacement(0.3, 0.6)}}}));
  EXPECT_FALSE(panel->editedScreen().has_value());
  EXPECT_EQ(panel->screenPicker()->count(), 1);
  EXPECT_FALSE(panel->verticalSlider()->isEnabled());
  EXPECT_EQ(panel->horizontalSlider()->value(), 300) << "the entry under the empty key shows";
  for (int preset : {left, center, right}) panel->presetButton(preset)->click();
  panel->resetButton()->click();
  panel->horizontalSlider()->setValue(10);
  EXPECT_TRUE(store->writes.empty());
}

TEST_F(DesktopPanelTest, AChosenDisplayThatIsGoneStaysStoredWhileThePrimaryIsEdited) {
  screens.displays = {display("DP-1", "Dell", 0, 1080), display("HDMI-1", "LG", 1280, 900)};
  make(Preferences({.preferredScreenID = "HDMI-1"}));
  screens.displays.pop_back();
  panel->refreshScreens();
  EXPECT_EQ(panel->screenPicker()->count(), 2);
  EXPECT_EQ(panel->screenPicker()->currentIndex(), -1) << "no row is chosen";
  panel->presetButton(center)->click();
  EXPECT_EQ(store->preferences().preferredScreenID, std::optional<std::string>("HDMI-1"));
  EXPECT_EQ(placements(), (Placements{{"DP-1", MascotPlacement(0.5, 0.0)}}));

  // Plugged back in: its row is chosen again and edited again.
  screens.displays.push_back(display("HDMI-1", "LG", 1280, 400));
  panel->refreshScreens();
  EXPECT_EQ(panel->screenPicker()->currentIndex(), 2);
  EXPECT_FALSE(panel->verticalSlider()->isEnabled()) << "the short display now";
}

TEST_F(DesktopPanelTest, TwoDisplaysOfOneModelAreToldApartByTheirConnectors) {
  screens.displays = {display("DP-1", "Dell U2720Q", 0, 1080),
                      display("DP-2", "Dell U2720Q", 1280, 1080), display("eDP-1", "", 2560, 800)};
  make(Preferences());
  EXPECT_EQ(panel->screenPicker()->itemText(1), QStringLiteral("Dell U2720Q (DP-1)"));
  EXPECT_EQ(panel->screenPicker()->itemText(2), QStringLiteral("Dell U2720Q (DP-2)"));
  EXPECT_EQ(panel->screenPicker()->itemText(3), QStringLiteral("eDP-1"));
}

TEST_F(DesktopPanelTest, TogglesAndThePresencePickerWriteTheirOwnField) {
  screens.displays = {display("DP-1", "Dell", 0, 1080)};
  using Change = std::function<void(Preferences&)>;
  const struct {
    const char* name;
    std::function<void(DesktopPanel&)> act;
    Change expected;
  } rows[] = {
      {"click-through", [](DesktopPanel& p) { p.clickThroughToggle()->click(); },
       [](Preferences& p) { p.mascotClickThrough = true; }},
      {"current time", [](DesktopPanel& p) { p.currentTimeToggle()->click(); },
       [](Preferences& p) { p.showCurrentTime = true; }},
      {"only during visits",
       [](DesktopPanel& p) {
         p.presencePicker()->setCurrentIndex(1);
         emit p.presencePicker()->activated(1);
       },
       [](Preferences& p) { p.presenceMode = PresenceMode::hidden; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    make(Preferences());
    row.act(*panel);
    Preferences expected;
    row.expected(expected);
    ASSERT_EQ(store->writes.size(), 1u);
    EXPECT_EQ(store->preferences(), expected);
  }
  make(Preferences({.presenceMode = PresenceMode::hidden}));
  EXPECT_EQ(panel->presencePicker()->currentText(), QStringLiteral("Only during visits"));
}

// Without a tray the monkey's right-click is the only way to the menu: the page says that
// "Only during visits" waits for a tray, and offers no click-through. As a tray comes or goes
// with the page open, both follow; the stored choices stay as they are.
TEST_F(DesktopPanelTest, ThePresenceNoteAndClickThroughFollowTheTray) {
  screens.displays = {display("DP-1", "Dell", 0, 1080)};
  const auto noteShown = [this] { return panel->presenceNote()->isVisibleTo(panel.get()); };
  const auto clickThroughShown = [this] {
    return panel->clickThroughToggle() != nullptr &&
           panel->clickThroughToggle()->isVisibleTo(panel.get());
  };
  const struct {
    const char* name;
    bool trayAtOpening;
    std::vector<bool> trayChanges;
  } rows[] = {
      {"opened without a tray, which comes and goes", false, {true, false}},
      {"opened with a tray, which goes and comes back", true, {false, true}},
      {"the same answer twice", false, {false, true, true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    make(Preferences({.presenceMode = PresenceMode::hidden, .mascotClickThrough = true}),
         row.trayAtOpening);
    EXPECT_EQ(noteShown(), !row.trayAtOpening);
    EXPECT_EQ(clickThroughShown(), row.trayAtOpening);
    for (const bool tray : row.trayChanges) {
      panel->setTrayShown(tray);
      EXPECT_EQ(noteShown(), !tray) << "tray " << tray;
      EXPECT_EQ(clickThroughShown(), tray) << "tray " << tray;
      if (tray) {
        EXPECT_TRUE(panel->clickThroughToggle()->isChecked());
      }
    }
    EXPECT_EQ(panel->presencePicker()->currentText(), QStringLiteral("Only during visits"));
    EXPECT_TRUE(store->writes.empty()) << "a tray's coming or going writes nothing";
  }
  EXPECT_TRUE(panel->presenceNote()->text().contains(QStringLiteral("Only during visits")));
}

TEST_F(DesktopPanelTest, WithoutASystemTrayClickThroughIsNotOffered) {
  screens.displays = {display("DP-1", "Dell", 0, 1080)};
  make(Preferences({.mascotClickThrough = true}), /*tray=*/false);
  EXPECT_EQ(panel->clickThroughToggle(), nullptr);
  make(Preferences({.mascotClickThrough = true}), /*tray=*/true);
  ASSERT_NE(panel->clickThroughToggle(), nullptr);
  EXPECT_TRUE(panel->clickThroughToggle()->isChecked());
}

}  // namespace
}  // namespace vorlane
