#include "ui/preferences/window/preferences_controller.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/ui/preferences/recording_preferences_store.h"

namespace vorlane {
namespace {

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class PreferencesControllerTest : public ::testing::Test {
 protected:
  PreferencesController::Targets targets() {
    ++asked;
    return {.store = withStore ? &store : nullptr,
            .voices = nullptr,
            .speak = [this](const std::string& text) { spoken.push_back(text); },
            .celebrate = [this] { ++celebrations; }};
  }
  std::function<PreferencesController::Targets()> maker() {
    return [this] { return targets(); };
  }
  bool press(const QString& text) {
    for (QPushButton* button : controller.window()->findChildren<QPushButton*>()) {
      if (button->text() == text) {
        button->click();
        return true;
      }
    }
    return false;
  }

  testing::RecordingPreferencesStore store;
  // 2026-05-28 20:26:40 UTC.
  std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>(Date::fromUnix(1780000000));
  PreferencesController controller{clock, [] { return Calendar("UTC", "en_US"); },
                                   QStringLiteral("Ctrl+Alt+Super+M"), AppNames({}, "")};
  bool withStore = true;
  int asked = 0;
  int celebrations = 0;
  std::vector<std::string> spoken;
};

TEST_F(PreferencesControllerTest, WithoutAStoreOnlyTheSectionIsKept) {
  withStore = false;
  controller.show(PreferencesSection::voice, maker());
  EXPECT_EQ(controller.window(), nullptr);
  EXPECT_EQ(controller.navigation().selection(), PreferencesSection::voice);
  controller.show(std::nullopt, nullptr);
  EXPECT_EQ(controller.window(), nullptr) << "no targets, no window";

  withStore = true;
  controller.show(std::nullopt, maker());
  ASSERT_NE(controller.window(), nullptr);
  EXPECT_EQ(asked, 2) << "asked again while nothing was made";
  EXPECT_EQ(controller.navigation().shownSection(), PreferencesSection::voice);
}

TEST_F(PreferencesControllerTest, DeletedWhenClosedMadeAgainAndGoneWithTheController) {
  std::optional<PreferencesController> owned(
      std::in_place, clock, [] { return Calendar("UTC", "en_US"); },
      QStringLiteral("Ctrl+Alt+Super+M"), AppNames({}, ""));
  settle();
  const qsizetype widgetsBefore = QApplication::allWidgets().size();
  owned->show(std::nullopt, maker());
  const QPointer<QWidget> window(owned->window());
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vorlane Preferences"));
  EXPECT_EQ(window->size(), QSize(PreferencesWindow::width, PreferencesWindow::height));
  owned->show(PreferencesSection::general, maker());
  // Still inside the 800-wide screen, with its frame: a window is never placed beyond it.
  window->move(4, 40);
  window->resize(PreferencesWindow::width + 10, PreferencesWindow::height + 10);

  window->close();
  settle();
  EXPECT_TRUE(window.isNull()) << "a closed window keeps nothing";
  EXPECT_EQ(owned->window(), nullptr);
  EXPECT_EQ(QApplication::allWidgets().size(), widgetsBefore);
  // The closed panels no longer follow the store.
  store.changeElsewhere([](Preferences& p) { p.workMinutes = 29; });

  owned->show(std::nullopt, maker());
  const QPointer<QWidget> again(owned->window());
  ASSERT_FALSE(again.isNull());
  EXPECT_TRUE(again->isVisible());
  EXPECT_EQ(static_cast<PreferencesWindow*>(again.data())->shownSection(),
            PreferencesSection::general)
      << "the last panel again";
  EXPECT_EQ(again->pos(), QPoint(4, 40));
  EXPECT_EQ(again->size(), QSize(PreferencesWindow::width + 10, PreferencesWindow::height + 10));
  EXPECT_EQ(asked, 2) << "the targets are read when a window is made only";

  owned.reset();
  EXPECT_TRUE(again.isNull());
  // The panels no longer follow the store.
  store.changeElsewhere([](Preferences& p) { p.workMinutes = 31; });
}

// Closed and shown again before the loop deletes the closed one (the tray's entry clicked
// while it closes): the shown one is a new window that stays, on the section asked.
TEST_F(PreferencesControllerTest, AShowingBeforeTheClosedWindowIsDeletedMakesANewOne) {
  std::optional<PreferencesController> owned(
      std::in_place, clock, [] { return Calendar("UTC", "en_US"); },
      QStringLiteral("Ctrl+Alt+Super+M"), AppNames({}, ""));
  owned->show(std::nullopt, maker());
  const QPointer<QWidget> closing(owned->window());
  closing->close();
  owned->show(PreferencesSection::voice, maker());
  const QPointer<QWidget> shown(owned->window());
  ASSERT_FALSE(shown.isNull());
  EXPECT_NE(shown, closing);
  settle();
  EXPECT_TRUE(closing.isNull());
  ASSERT_FALSE(shown.isNull());
  EXPECT_TRUE(shown->isVisible());
  EXPECT_EQ(static_cast<PreferencesWindow*>(shown.data())->shownSection(),
            PreferencesSection::voice);

  // One closed again and not yet deleted goes with the controller, before the store.
  shown->close();
  owned.reset();
  EXPECT_TRUE(shown.isNull());
  store.changeElsewhere([](Preferences& p) { p.workMinutes = 33; });
}

TEST_F(PreferencesControllerTest, ThePreviewsReachTheTargets) {
  controller.show(PreferencesSection::focus, maker());
  ASSERT_TRUE(press(QStringLiteral("Preview celebration")));
  EXPECT_EQ(celebrations, 1);

  controller.show(PreferencesSection::voice, maker());
  ASSERT_TRUE(press(QStringLiteral("Preview voice")));
  ASSERT_EQ(spoken.size(), 1u);
  // Dated by the controller's clock and calendar: 20:26 in UTC.
  EXPECT_EQ(spoken[0], "It's eight twenty-six");
}

}  // namespace
}  // namespace vorlane
