// The status item as the shell builds it: told of every change, its commands reaching the
// coordinator and the shell's own windows.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "app/app_delegate.h"
#include "core/settings/preferences.h"
#include "platform/logging/log_capture.h"
#include "tests/app/fake_app_services.h"

namespace vorlane {
namespace {

QAction* actionTitled(const QMenu& menu, const QString& text) {
  for (QAction* a : menu.actions()) {
    if (a->text() == text) return a;
    if (a->menu()) {
      if (QAction* inner = actionTitled(*a->menu(), text)) return inner;
    }
  }
  return nullptr;
}

class AppStatusItemTest : public testing::Test {
 protected:
  void SetUp() override {
    RecordPreferencesStore(services.recordStore)
        .modify([](Preferences& p) { p.hasCompletedOnboarding = true; });
    ASSERT_TRUE(delegate.applicationDidFinishLaunching());
    ASSERT_NE(delegate.statusItem(), nullptr);
  }
  void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  // Opens the menu as the tray does, runs the entry, and lets it run once the menu closed.
  void choose(const QString& title) {
    QMenu* menu = delegate.statusItem()->menu();
    emit menu->aboutToShow();
    QAction* action = actionTitled(*menu, title);
    ASSERT_NE(action, nullptr) << title.toStdString();
    ASSERT_TRUE(action->isEnabled()) << title.toStdString();
    action->trigger();
    QCoreApplication::processEvents();
  }

  LogCapture log;
  FakeAppServices services;
  AppDelegate delegate{services};
};

TEST_F(AppStatusItemTest, ACoordinatorChangeRedrawsTheItem) {
  const QString before = delegate.statusItem()->toolTip();
  delegate.coordinator()->mute(MuteDuration::oneHour);
  EXPECT_EQ(delegate.statusItem()->button().symbol, "figure.climbing.circle");
  EXPECT_NE(delegate.statusItem()->toolTip(), before);
  EXPECT_EQ(delegate.statusItem()->toolTip().left(22), "Vorlane - muted until ");
}

TEST_F(AppStatusItemTest, MenuCommandsReachTheCoordinatorAndTheShell) {
  choose("For 15 minutes");
  EXPECT_TRUE(delegate.coordinator()->mutedUntil().has_value());
  choose("Vorlane now");
  EXPECT_FALSE(services.presenter->performed.empty());
  choose("About Vorlane");
  ASSERT_NE(delegate.aboutWindow(), nullptr);
  EXPECT_TRUE(delegate.aboutWindow()->isVisible());
  // No preferences window in this build: its entry is there, disabled.
  emit delegate.statusItem()->menu()->aboutToShow();
  EXPECT_FALSE(actionTitled(*delegate.statusItem()->menu(), "Preferences...")->isEnabled());
}

}  // namespace
}  // namespace vorlane
