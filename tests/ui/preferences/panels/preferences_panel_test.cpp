#include "ui/preferences/panels/preferences_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <vector>

#include "tests/ui/preferences/recording_preferences_store.h"

namespace vorlane {
namespace {

// A page of two toggles that notes, at each redraw, what its toggles showed by then.
class TwoTogglesPanel final : public PreferencesPanel {
 public:
  explicit TwoTogglesPanel(PreferencesBinding& binding) : PreferencesPanel(binding, nullptr) {
    halfHour = toggle(QStringLiteral("Half hour"), &Preferences::halfHourVisitsEnabled, this);
    speech = toggle(QStringLiteral("Speech"), &Preferences::speechEnabled, this);
    follow();
  }

  QCheckBox* halfHour = nullptr;
  QCheckBox* speech = nullptr;
  std::vector<bool> halfHourAtRedraw;
  int toggledSignals = 0;

 protected:
  void redraw(const Preferences& /*record*/) override {
    halfHourAtRedraw.push_back(halfHour->isChecked());
  }
};

struct PreferencesPanelToggle : ::testing::Test {
  void make(Preferences record) {
    store = std::make_unique<testing::RecordingPreferencesStore>(record);
    binding = std::make_unique<PreferencesBinding>(*store);
    panel = std::make_unique<TwoTogglesPanel>(*binding);
    for (QCheckBox* box : {panel->halfHour, panel->speech}) {
      QObject::connect(box, &QCheckBox::toggled, [this] { ++panel->toggledSignals; });
    }
  }

  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<TwoTogglesPanel> panel;
};

TEST_F(PreferencesPanelToggle, AClickWritesOnlyItsFieldOnce) {
  const struct {
    const char* name;
    bool halfHour, speech;
  } rows[] = {{"both off", false, false},
              {"half hour on", true, false},
              {"speech on", false, true},
              {"both on", true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Preferences stored({.halfHourVisitsEnabled = row.halfHour, .speechEnabled = row.speech});
    make(stored);
    EXPECT_EQ(panel->halfHour->isChecked(), row.halfHour);
    EXPECT_EQ(panel->speech->isChecked(), row.speech);
    EXPECT_TRUE(store->writes.empty()) << "shown, never written back";

    panel->halfHour->click();
    Preferences expected = stored;
    expected.halfHourVisitsEnabled = !row.halfHour;
    ASSERT_EQ(store->writes.size(), 1u);
    EXPECT_EQ(store->writes.back(), expected);
    EXPECT_EQ(panel->speech->isChecked(), row.speech);
  }
}

TEST_F(PreferencesPanelToggle, AChangeElsewhereRedrawsTheBoxSilentlyBeforeThePage) {
  make(Preferences({.halfHourVisitsEnabled = false}));
  panel->toggledSignals = 0;
  store->changeElsewhere([](Preferences& p) {
    p.halfHourVisitsEnabled = true;
    p.speechEnabled = false;
  });
  EXPECT_TRUE(panel->halfHour->isChecked());
  EXPECT_FALSE(panel->speech->isChecked());
  EXPECT_EQ(panel->toggledSignals, 0) << "a redraw is not the user's change";
  EXPECT_TRUE(store->writes.empty());
  EXPECT_EQ(panel->halfHourAtRedraw, (std::vector<bool>{false, true}))
      << "the page's own redraw sees its toggles already drawn";
}

}  // namespace
}  // namespace vorlane
