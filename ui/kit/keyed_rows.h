#pragma once

#include <QWidget>
#include <cstddef>
#include <functional>
#include <limits>
#include <unordered_map>
#include <vector>

class QBoxLayout;

namespace vorlane {

// What one pass of `KeyedRows::show` did.
template <typename Row>
struct KeyedRowsPass {
  // The rows on show, in the order of the items they stand for.
  std::vector<Row*> order;
  // The rows made in this pass.
  std::vector<Row*> made;
  // A row that went held the widget given as focused.
  bool lostFocus = false;
  // A new row lands before a kept one: the keyboard's order needs setting again.
  bool madeBeforeKept = false;
  // Items past the budget were left out, for a later pass.
  bool more = false;
};

// How a list's rows and its items meet.
template <typename Row, typename Item, typename Key>
struct KeyedRowsWays {
  // What a row stands for and what an item is; equal keys are one thing.
  std::function<Key(const Row&)> rowKey;
  std::function<Key(const Item&)> itemKey;
  // Brings a kept row up to its item's newer state; false when the row must be made again.
  std::function<bool(Row&, const Item&)> update;
  // A new row for `item`, a child of the list.
  std::function<Row*(const Item&)> make;
};

// The part of a keyed list that knows nothing of its rows' type. Main thread only.
class KeyedRowsBase {
 public:
  // The list's rows, in the order its layout holds them.
  std::vector<QWidget*> widgets() const;

 protected:
  // `list` is laid out by a box layout whose rows come first; what follows them (a stretch)
  // stays after them.
  explicit KeyedRowsBase(QWidget& list);

  QBoxLayout& column() const;
  // Takes `row` out of the list; true when it held `focused`. The row is deleted once
  // control is back in the loop: its own button is usually what asked for this.
  bool drop(QWidget& row, const QWidget* focused);
  // Lays the rows out in `order`, and shows `made` at their size in a list on screen.
  void place(const std::vector<QWidget*>& order, const std::vector<QWidget*>& made);

  QWidget& list_;
};

// The rows of a list, one per item's key: a pass keeps the row of every key still there,
// remakes only what changed, follows the items' order and takes out the rest, so the
// keyboard and the scroll position stay where they were. A second row for one key (a
// stored list may repeat a key) is made anew each pass. Main thread only.
template <typename Row, typename Item, typename Key>
class KeyedRows final : public KeyedRowsBase {
 public:
  using Ways = KeyedRowsWays<Row, Item, Key>;
  using Pass = KeyedRowsPass<Row>;

  explicit KeyedRows(QWidget& list) : KeyedRowsBase(list) {}

  std::vector<Row*> rows() const {
    std::vector<Row*> rows;
    for (QWidget* widget : widgets()) {
      if (auto* row = dynamic_cast<Row*>(widget)) rows.push_back(row);
    }
    return rows;
  }

  // Brings the rows in line with `items`, making at most `budget` new rows; `focused` is
  // the widget that had the keyboard before the pass.
  Pass show(const std::vector<Item>& items, const Ways& ways, const QWidget* focused,
            std::size_t budget = std::numeric_limits<std::size_t>::max()) {
    Pass pass;
    std::unordered_map<Key, Row*> byKey;
    std::vector<Row*> stale;
    for (Row* row : rows()) {
      if (!byKey.emplace(ways.rowKey(*row), row).second) stale.push_back(row);
    }
    for (const Item& item : items) {
      Row* row = nullptr;
      if (const auto kept = byKey.find(ways.itemKey(item)); kept != byKey.end()) {
        if (ways.update(*kept->second, item)) {
          row = kept->second;
          pass.madeBeforeKept = pass.madeBeforeKept || !pass.made.empty();
        } else {
          stale.push_back(kept->second);
        }
        byKey.erase(kept);
      }
      if (row == nullptr) {
        if (budget == 0) {
          pass.more = true;
          continue;
        }
        --budget;
        row = ways.make(item);
        pass.made.push_back(row);
      }
      pass.order.push_back(row);
    }
    for (const auto& [key, row] : byKey) stale.push_back(row);
    for (Row* row : stale) pass.lostFocus = drop(*row, focused) || pass.lostFocus;
    place({pass.order.begin(), pass.order.end()}, {pass.made.begin(), pass.made.end()});
    return pass;
  }
};

}  // namespace vorlane
