#include "ui/kit/keyed_rows.h"

#include <QBoxLayout>

namespace vorlane {

KeyedRowsBase::KeyedRowsBase(QWidget& list) : list_(list) {}

QBoxLayout& KeyedRowsBase::column() const { return static_cast<QBoxLayout&>(*list_.layout()); }

std::vector<QWidget*> KeyedRowsBase::widgets() const {
  std::vector<QWidget*> widgets;
  const QBoxLayout& rows = column();
  for (int i = 0; i < rows.count(); ++i) {
    if (QWidget* widget = rows.itemAt(i)->widget()) widgets.push_back(widget);
  }
  return widgets;
}

bool KeyedRowsBase::drop(QWidget& row, const QWidget* focused) {
  const bool heldFocus = focused != nullptr && (&row == focused || row.isAncestorOf(focused));
  column().removeWidget(&row);
  row.hide();
  row.setParent(nullptr);
  row.deleteLater();
  return heldFocus;
}

void KeyedRowsBase::place(const std::vector<QWidget*>& order, const std::vector<QWidget*>& made) {
  QBoxLayout& rows = column();
  // Each row shown into a working layout would lay out the whole list again at once: the
  // list is laid out once, after all of them.
  rows.setEnabled(false);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const int at = static_cast<int>(i);
    if (rows.itemAt(at) != nullptr && rows.itemAt(at)->widget() == order[i]) continue;
    rows.removeWidget(order[i]);
    rows.insertWidget(at, order[i]);
  }
  // Shown at their size in the list, so a row's first layout is already its real one; a
  // list not on screen yet shows its rows with itself.
  if (list_.isVisible()) {
    for (QWidget* row : made) {
      row->resize(list_.width(), row->heightForWidth(list_.width()));
      row->show();
    }
  }
  rows.setEnabled(true);
  rows.invalidate();
}

}  // namespace vorlane
