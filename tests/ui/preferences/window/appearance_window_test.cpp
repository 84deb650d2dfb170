#include <gtest/gtest.h>

#include <QApplication>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

#include "tests/support/fake_confirmation_prompt.h"
#include "tests/ui/preferences/controls/fake_color_chooser.h"
#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/preferences/panels/appearance_panel.h"
#include "ui/preferences/window/preferences_sidebar.h"
#include "ui/preferences/window/preferences_window.h"

namespace vorlane {
namespace {

// Opened on Appearance (the mascot's own menu entry), the keyboard goes from the sidebar to
// the page, the preview's disclosure and then to the monkey's opacity, so that the page can be
// worked without a pointer.
TEST(AppearanceWindow, TheKeyboardReachesThePreviewThenTheMonkeysOpacity) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation(PreferencesSection::appearance);
  auto prompt = std::make_shared<FakeConfirmationPrompt>();
  PreferencesWindow window(store, navigation,
                           {.voices = nullptr,
                            .onPreview = nullptr,
                            .onPreviewCelebration = nullptr,
                            .calendar = [] { return Calendar("UTC", "en_US"); },
                            .now = nullptr,
                            .muteHotKeyName = QString(),
                            .appNames = std::nullopt,
                            .confirmation = prompt,
                            .colors = std::make_shared<testing::FakeColorChooser>()});
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* panel = dynamic_cast<AppearancePanel*>(window.panel());
  ASSERT_NE(panel, nullptr);
  window.sidebar()->setFocus();
  window.sidebar()->setFocus();
  // The page's scroll area first, which scrolls a long page from the keyboard.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window.panel()->parentWidget()->parentWidget());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), panel->previewToggle());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(panel->previewToggle()->isChecked());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), panel->monkeyOpacity());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
  EXPECT_EQ(store.preferences().mascotAppearance, (MascotAppearance{.monkeyOpacity = 0}));
  EXPECT_EQ(store.writes.size(), 1u);

  // The page as the user sees it; kept in $VORLANE_KEEP_SCREENSHOTS when set.
  store.changeElsewhere([](Preferences& p) {
    p.mascotAppearance = {.ropeWidth = 6, .bannerColor = MascotColor(0.2, 0.45, 0.7)};
  });
  window.resize(PreferencesWindow::width, 1180);
  QCoreApplication::processEvents();
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.size(), window.size() * window.devicePixelRatio());
  if (const char* keep = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
    shot.save(QString::fromLocal8Bit(keep) + QStringLiteral("/appearance-panel.png"));
  }
}

}  // namespace
}  // namespace vorlane
