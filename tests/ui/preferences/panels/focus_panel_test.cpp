#include "ui/preferences/panels/focus_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>

#include "core/settings/preferences.h"
#include "tests/ui/preferences/recording_preferences_store.h"

namespace vorlane {
namespace {

struct FocusPanelTest : ::testing::Test {
  void make(Preferences record) {
    store = std::make_unique<testing::RecordingPreferencesStore>(record);
    binding = std::make_unique<PreferencesBinding>(*store);
    panel = std::make_unique<FocusPanel>(
        *binding, [this] { ++previews; }, nullptr);
  }

  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<FocusPanel> panel;
  int previews = 0;
};

TEST_F(FocusPanelTest, SteppersStopAtTheirLimitsAndBringAStoredOutlierBackInOneStep) {
  const struct {
    const char* name;
    std::int64_t work, breakLength;
    bool workDown, workUp, breakDown, breakUp;
    std::int64_t workAfterDown, workAfterUp;
  } rows[] = {
      {"at the tops", 90, 30, true, false, true, false, 89, 90},
      {"at the bottoms", 1, 1, false, true, false, true, 1, 2},
      {"stored above", 200, 45, true, false, true, false, 90, 200},
      {"stored below", -7, 0, false, true, false, true, -7, 1},
  };
  for (const auto& row : rows) {
    make(Preferences({.workMinutes = row.work, .breakMinutes = row.breakLength}));
    MinuteStepper& work = *panel->workStepper();
    MinuteStepper& breaks = *panel->breakStepper();
    EXPECT_EQ(work.text(), QStringLiteral("Focus: %1 minutes").arg(row.work)) << row.name;
    EXPECT_EQ(breaks.text(), QStringLiteral("Break: %1 minutes").arg(row.breakLength)) << row.name;
    EXPECT_EQ(work.decrement()->isEnabled(), row.workDown) << row.name;
    EXPECT_EQ(work.increment()->isEnabled(), row.workUp) << row.name;
    EXPECT_EQ(breaks.decrement()->isEnabled(), row.breakDown) << row.name;
    EXPECT_EQ(breaks.increment()->isEnabled(), row.breakUp) << row.name;
    EXPECT_TRUE(store->writes.empty()) << row.name << ": shown, never written back";

    work.decrement()->click();
    EXPECT_EQ(store->preferences().workMinutes, row.workAfterDown) << row.name;
    make(Preferences({.workMinutes = row.work, .breakMinutes = row.breakLength}));
    panel->workStepper()->increment()->click();
    EXPECT_EQ(store->preferences().workMinutes, row.workAfterUp) << row.name;
    EXPECT_LE(store->writes.size(), 1u) << row.name;
  }
}

TEST_F(FocusPanelTest, TheStepperRangesAreTheOnesTheCoordinatorUsesUnchanged) {
  for (const std::int64_t minutes : {-5, 0, 1, 25, 90, 91, 1000}) {
    const Preferences record({.workMinutes = minutes, .breakMinutes = minutes});
    EXPECT_EQ(record.effectiveWorkMinutes(),
              std::clamp(minutes, FocusPanel::workMinutesRange.lowerBound,
                         FocusPanel::workMinutesRange.upperBound));
    EXPECT_EQ(record.effectiveBreakMinutes(),
              std::clamp(minutes, FocusPanel::breakMinutesRange.lowerBound,
                         FocusPanel::breakMinutesRange.upperBound));
  }
}

TEST_F(FocusPanelTest, EachControlWritesOnceWithOnlyItsFieldChanged) {
  using Change = std::function<void(Preferences&)>;
  const struct {
    const char* name;
    std::function<void(FocusPanel&)> act;
    Change expected;
  } rows[] = {
      {"focus +", [](FocusPanel& p) { p.workStepper()->increment()->click(); },
       [](Preferences& r) { r.workMinutes = 26; }},
      {"break -", [](FocusPanel& p) { p.breakStepper()->decrement()->click(); },
       [](Preferences& r) { r.breakMinutes = 4; }},
      {"celebrate", [](FocusPanel& p) { p.celebrateToggle()->click(); },
       [](Preferences& r) { r.celebrateSessions = false; }},
      {"invitations", [](FocusPanel& p) { p.invitationsToggle()->click(); },
       [](Preferences& r) { r.idleFocusInvitationsEnabled = false; }},
      {"encouragements", [](FocusPanel& p) { p.encouragementsToggle()->click(); },
       [](Preferences& r) { r.encouragementsEnabled = false; }},
  };
  for (const auto& row : rows) {
    make(Preferences());
    row.act(*panel);
    Preferences expected;
    row.expected(expected);
    ASSERT_EQ(store->writes.size(), 1u) << row.name;
    EXPECT_EQ(store->writes.front(), expected) << row.name;
  }
}

TEST_F(FocusPanelTest, PreviewFollowsTheCelebrationSettingAndRunsOncePerPress) {
  make(Preferences({.celebrateSessions = false, .workMinutes = 1}));
  EXPECT_EQ(panel->workStepper()->text(), QStringLiteral("Focus: 1 minutes"));
  EXPECT_FALSE(panel->previewButton()->isEnabled());
  panel->celebrateToggle()->click();
  EXPECT_TRUE(panel->previewButton()->isEnabled());
  panel->previewButton()->click();
  panel->previewButton()->click();
  EXPECT_EQ(previews, 2);
}

TEST_F(FocusPanelTest, AChangeMadeElsewhereIsShownWithoutWritingBack) {
  make(Preferences());
  store->changeElsewhere([](Preferences& p) {
    p.workMinutes = 50;
    p.encouragementsEnabled = false;
    p.celebrateSessions = false;
  });
  EXPECT_EQ(panel->workStepper()->text(), QStringLiteral("Focus: 50 minutes"));
  EXPECT_FALSE(panel->encouragementsToggle()->isChecked());
  EXPECT_FALSE(panel->previewButton()->isEnabled());
  EXPECT_TRUE(store->writes.empty());
}

}  // namespace
}  // namespace vorlane
