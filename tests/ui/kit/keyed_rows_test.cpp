#include "ui/kit/keyed_rows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {
namespace {

struct Item {
  int key;
  std::string text;
};

// A row as a list draws one: what it shows and a button that can hold the keyboard.
class Row final : public QWidget {
 public:
  Row(const Item& item, QWidget* parent) : QWidget(parent), item_(item) {
    auto* line = new QHBoxLayout(this);
    line->addWidget(new QLabel(QString::fromStdString(item.text), this));
    button_ = new QPushButton(QStringLiteral("Act"), this);
    line->addWidget(button_);
  }
  const Item& item() const { return item_; }
  QPushButton* button() const { return button_; }

 private:
  Item item_;
  QPushButton* button_ = nullptr;
};

using Rows = KeyedRows<Row, Item, int>;

// A scrolled list of rows over a stretch, as the windows lay theirs out.
struct List {
  List() {
    list = new QWidget;
    auto* column = new QVBoxLayout(list);
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch(1);
    scroll.setWidgetResizable(true);
    scroll.setWidget(list);
    scroll.resize(240, 200);
    rows.emplace(*list);
  }

  Rows::Pass show(const std::vector<Item>& items, std::size_t budget = 1000) {
    const Rows::Ways ways{[](const Row& row) { return row.item().key; },
                          [](const Item& item) { return item.key; },
                          [](Row& row, const Item& item) { return row.item().text == item.text; },
                          [this](const Item& item) { return new Row(item, list); }};
    Rows::Pass pass = rows->show(items, ways, QApplication::focusWidget(), budget);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return pass;
  }
  std::vector<int> keys() const {
    std::vector<int> keys;
    for (Row* row : rows->rows()) keys.push_back(row->item().key);
    return keys;
  }
  Row* rowOf(int key) const {
    for (Row* row : rows->rows()) {
      if (row->item().key == key) return row;
    }
    return nullptr;
  }

  QScrollArea scroll;
  QWidget* list = nullptr;
  std::optional<Rows> rows;
};

std::vector<Item> numbered(int count) {
  std::vector<Item> items;
  for (int key = 1; key <= count; ++key) items.push_back({key, "row " + std::to_string(key)});
  return items;
}

TEST(KeyedRowsTest, KeepsEachKeysRowRemakesOnlyChangedOnesAndFollowsTheOrder) {
  List list;
  const Rows::Pass first = list.show({{1, "a"}, {2, "b"}, {3, "c"}});
  EXPECT_EQ(first.made.size(), 3U);
  Row* one = list.rowOf(1);
  Row* two = list.rowOf(2);
  Row* three = list.rowOf(3);

  const Rows::Pass second = list.show({{3, "c"}, {1, "a"}, {2, "changed"}});
  EXPECT_EQ(list.keys(), (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(list.rowOf(3), three);
  EXPECT_EQ(list.rowOf(1), one);
  EXPECT_NE(list.rowOf(2), two);
  EXPECT_EQ(list.rowOf(2)->item().text, "changed");
  ASSERT_EQ(second.made.size(), 1U);
  EXPECT_EQ(second.made[0], list.rowOf(2));
  EXPECT_EQ(second.order, list.rows->rows());
  // The stretch stays after the rows.
  auto* column = static_cast<QBoxLayout*>(list.list->layout());
  EXPECT_NE(column->itemAt(column->count() - 1)->spacerItem(), nullptr);

  // A key gone takes its row out; a repeated key gets a row of its own, made anew each pass.
  list.show({{1, "a"}, {1, "a"}});
  EXPECT_EQ(list.keys(), (std::vector<int>{1, 1}));
  EXPECT_EQ(list.rows->rows()[0], one);
  const Rows::Pass repeated = list.show({{1, "a"}, {1, "a"}});
  EXPECT_EQ(repeated.made.size(), 1U);
  EXPECT_EQ(list.rows->rows()[0], one);
}

TEST(KeyedRowsTest, MakesNoMoreThanTheBudgetAndSaysWhatIsLeft) {
  List list;
  const Rows::Pass first = list.show(numbered(5), 2);
  EXPECT_EQ(list.keys(), (std::vector<int>{1, 2}));
  EXPECT_TRUE(first.more);
  EXPECT_FALSE(first.madeBeforeKept);
  const Rows::Pass rest = list.show(numbered(5), 10);
  EXPECT_EQ(list.keys(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_FALSE(rest.more);
  EXPECT_EQ(rest.made.size(), 3U);

  std::vector<Item> withFirst = numbered(5);
  withFirst.insert(withFirst.begin(), Item{0, "new"});
  EXPECT_TRUE(list.show(withFirst).madeBeforeKept);
}

TEST(KeyedRowsTest, KeepsTheKeyboardAndTheScrollPositionWhereTheyWere) {
  List list;
  list.show(numbered(30));
  list.scroll.show();
  list.scroll.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&list.scroll));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QScrollBar* bar = list.scroll.verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  bar->setValue(bar->maximum() / 2);
  const int scrolled = bar->value();
  QPushButton* focused = list.rowOf(20)->button();
  focused->setFocus(Qt::OtherFocusReason);
  ASSERT_EQ(QApplication::focusWidget(), focused);

  // Rows past the focused one change and go; the rows above stay as they were.
  std::vector<Item> items = numbered(28);
  items[24].text = "changed";
  const Rows::Pass pass = list.show(items);
  EXPECT_FALSE(pass.lostFocus);
  EXPECT_EQ(pass.made.size(), 1U);
  EXPECT_TRUE(pass.made[0]->isVisible());
  EXPECT_EQ(pass.made[0]->width(), list.list->width());
  EXPECT_EQ(QApplication::focusWidget(), focused);
  EXPECT_EQ(bar->value(), scrolled);

  // The focused row's going is said.
  items.erase(items.begin() + 19);
  EXPECT_TRUE(list.show(items).lostFocus);
  EXPECT_EQ(list.rowOf(20), nullptr);
}

}  // namespace
}  // namespace vorlane
