#include "ui/kit/click_guard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>

#include "tests/support/double_click_interval.h"

namespace vorlane {
namespace {

// Two buttons in a column; pressing the first runs `onFirst` with the guard told first, as
// a window does before it re-lays.
struct Column {
  Column() {
    auto* layout = new QVBoxLayout(&area);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch(1);
    area.resize(200, 200);
    QObject::connect(first, &QPushButton::clicked, [this] {
      ++firstClicks;
      guard.contentChanging();
      if (onFirst) onFirst();
    });
    QObject::connect(second, &QPushButton::clicked, [this] { ++secondClicks; });
    area.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&area));
  }
  // A press and release at `at` on whatever lies there now, as the desktop delivers them.
  void clickAt(QPoint at) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QWidget* target = area.childAt(area.mapFromGlobal(at));
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFromGlobal(at));
  }
  static QPoint centreOf(const QWidget& widget) {
    return widget.mapToGlobal(widget.rect().center());
  }

  QWidget area;
  QPushButton* first = new QPushButton(QStringLiteral("Mark"), &area);
  QPushButton* second = new QPushButton(QStringLiteral("Delete"), &area);
  ClickGuard guard{area};
  std::function<void()> onFirst;
  int firstClicks = 0;
  int secondClicks = 0;
};

// Restores the desktop's interval after a row that changes it.
using Interval = DoubleClickInterval;

TEST(ClickGuard, ASecondClickLandsOnlyWhereTheUserAimed) {
  struct Row {
    const char* name;
    // Whether the first button goes away, so the second slides under the pointer.
    bool firstGoes;
    // Whether the second click comes from elsewhere (the pointer moved to the second button).
    bool pointerMoved;
    // The desktop's double-click interval; 0 means the second click comes after it.
    int interval;
    int firstClicks;
    int secondClicks;
  };
  const Row rows[] = {
      {"a button slid under a still pointer takes no click", true, false, 60'000, 1, 0},
      {"the same button, where it was, takes both", false, false, 60'000, 2, 0},
      {"a pointer that moved to the new button clicks it", true, true, 60'000, 1, 1},
      {"after the interval the new button takes the click", true, false, 0, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Interval interval(row.interval);
    Column column;
    if (row.firstGoes) column.onFirst = [&column] { column.first->hide(); };
    const QPoint aimed = Column::centreOf(*column.first);
    column.clickAt(aimed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (row.firstGoes) {
      ASSERT_EQ(column.area.childAt(column.area.mapFromGlobal(aimed)), column.second)
          << "the second button must have slid under the pointer";
    }
    column.clickAt(row.pointerMoved ? Column::centreOf(*column.second) + QPoint(60, 0) : aimed);
    EXPECT_EQ(column.firstClicks, row.firstClicks);
    EXPECT_EQ(column.secondClicks, row.secondClicks);
  }
}

TEST(ClickGuard, APressOnTheReplacedSpotIsRefusedAlsoAsADoubleClickEvent) {
  const Interval interval(60'000);
  Column column;
  column.onFirst = [&column] { column.first->hide(); };
  const QPoint aimed = Column::centreOf(*column.first);
  column.clickAt(aimed);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  EXPECT_TRUE(column.guard.isPending());
  // The desktop's second press of a double click.
  QTest::mouseDClick(column.second, Qt::LeftButton, {}, column.second->mapFromGlobal(aimed));
  EXPECT_EQ(column.secondClicks, 0);
  EXPECT_FALSE(column.second->isDown());
}

}  // namespace
}  // namespace vorlane
