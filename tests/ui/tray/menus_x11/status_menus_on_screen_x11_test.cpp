// The status menu as the tray and the mascot open it, on a screen of 1280x800: it stays on the
// screen as its rows follow the state, and a long list of reminders keeps to one column.

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include "foundation/calendar.h"
#include "tests/support/fake_status_source.h"
#include "tests/support/menu_action.h"
#include "tests/support/menu_on_screen.h"
#include "tests/support/trayless_status_item.h"
#include "ui/tray/status_item_controller.h"

namespace vorlane {
namespace {

class StatusMenusOnScreenTest : public ::testing::Test {
 protected:
  StatusMenusOnScreenTest() { source->state.nextVisit = "next visit at 12:00"; }
  ~StatusMenusOnScreenTest() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // A focus session starts with a goal as long as a row shows: more rows, and wider ones.
  void focusStarts() {
    source->state.session.start(*Calendar("UTC").date(2026, 3, 10, 11, 0),
                                "Draft the chapter on the migration of the winter birds");
    item.refresh();
  }
  // Opened in the corner, the menu grows past it as a session starts, and is moved back.
  void expectStaysOnScreenAsASessionAddsRows(QMenu& menu) {
    menu.popup(area.bottomRight());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    ASSERT_TRUE(onScreen(menu));
    const QRect opened = menu.geometry();
    focusStarts();
    ASSERT_NE(actionTitled(menu, "Pause session"), nullptr);
    EXPECT_GT(opened.left() + menu.width() - 1, area.right()) << "no wider than the room";
    EXPECT_GT(opened.top() + menu.height() - 1, area.bottom()) << "no taller than the room";
    EXPECT_TRUE(onScreen(menu));
    menu.hide();
  }

  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  std::shared_ptr<FakeStatusSource> source = std::make_shared<FakeStatusSource>();
  StatusItemController item{
      traylessStatusItem(std::make_shared<StatusItemActions>(source, nullptr, StatusItemHooks{}))};
};

TEST_F(StatusMenusOnScreenTest, TheTrayMenuStaysOnScreenAsASessionAddsRows) {
  expectStaysOnScreenAsASessionAddsRows(*item.menu());
}

// The mascot's context menu carries the status rows below its own.
TEST_F(StatusMenusOnScreenTest, TheMascotsMenuStaysOnScreenAsASessionAddsRows) {
  QMenu menu;
  menu.addAction(QStringLiteral("Move left"));
  item.fillMenu(menu);
  expectStaysOnScreenAsASessionAddsRows(menu);
}

// Qt laid a hundred rows out in three columns, 1,122 px wide.
TEST_F(StatusMenusOnScreenTest, AHundredRemindersShowAsManyAsOneColumnHoldsAndCountTheRest) {
  for (int i = 0; i < 100; ++i) {
    source->state.reminders.push_back(
        {UUID::random(), "Water the plants " + std::to_string(i), "tomorrow at 09:00"});
  }
  source->state.reminderCount = 100;
  QMenu& menu = *item.menu();
  menu.popup(area.topLeft());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
  QAction* reminders = actionTitled(menu, "Reminders (100)");
  ASSERT_NE(reminders, nullptr);
  QMenu& list = *reminders->menu();
  menu.setActiveAction(reminders);
  list.popup(menu.geometry().topRight());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

  const QList<QAction*> rows = list.actions();
  ASSERT_GT(rows.size(), 20) << "a column of 800 px holds more";
  ASSERT_LT(rows.size(), 100) << "all hundred shown";
  const auto hidden = 100 - (rows.size() - 1);
  EXPECT_EQ(rows.back()->text().toStdString(), "More reminders (" + std::to_string(hidden) + ")");
  EXPECT_TRUE(rows.back()->isEnabled());
  ASSERT_NE(rows.back()->menu(), nullptr) << "the next page";
  EXPECT_TRUE(rows.back()->menu()->isEmpty()) << "read only when it opens";
  for (QAction* row : rows) {
    EXPECT_EQ(list.actionGeometry(row).left(), list.actionGeometry(rows.front()).left())
        << row->text().toStdString() << " in a second column";
  }
  EXPECT_LE(list.height(), area.height());
  EXPECT_TRUE(onScreen(list));
  // Not a column shorter than it could be: one more row would not have fitted.
  const int rowHeight = list.actionGeometry(rows.front()).height();
  EXPECT_GT(list.height() + rowHeight, area.height());
  list.hide();
  menu.hide();
}

}  // namespace
}  // namespace vorlane
