#include "ui/preferences/controls/quiet_app_list.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/desktop/windows/window_class.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

// Identifiers can be long and unbroken: the label gives way to the window's width rather
// than widening the panel, and its tooltip holds the whole text.
QLabel* fitted(QLabel* label) {
  // A minimum of its own replaces the label's full-text minimum in the layout.
  label->setMinimumWidth(40);
  label->setToolTip(label->text());
  return label;
}

}  // namespace

QuietAppList::QuietAppList(PreferencesBinding& binding, AppNames names, QWidget* parent)
    : QWidget(parent),
      binding_(binding),
      names_(std::move(names)),
      rows_(new QVBoxLayout),
      field_(new QLineEdit(this)),
      add_(new QPushButton(QStringLiteral("Add"), this)),
      refusal_(plainLabel(QString(), this)),
      more_(plainLabel(QString(), this)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(8);
  rows_->setContentsMargins(0, 0, 0, 0);
  rows_->setSpacing(4);
  column->addLayout(rows_);
  setSecondary(*more_);
  more_->hide();
  column->addWidget(more_);

  field_->setPlaceholderText(QStringLiteral("Window class, such as obs"));
  field_->setAccessibleName(QStringLiteral("Window class to keep quiet for"));
  auto* adding = new QHBoxLayout;
  adding->addWidget(field_, 1);
  adding->addWidget(add_);
  column->addLayout(adding);
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet(QStringLiteral("color: %1").arg(errorTextColor().name()));
  refusal_->hide();
  column->addWidget(refusal_);

  connect(add_, &QPushButton::clicked, this, &QuietAppList::addTyped);
  connect(field_, &QLineEdit::returnPressed, this, &QuietAppList::addTyped);
  connect(field_, &QLineEdit::textEdited, refusal_, &QLabel::hide);
}

void QuietAppList::setIDs(const std::set<std::string>& ids) {
  if (drawn_ && ids == shown_) return;
  drawn_ = true;
  shown_ = ids;
  // The pressed "Remove" may be among the old rows: they go once its click has returned.
  while (QLayoutItem* item = rows_->takeAt(0)) {
    if (QWidget* row = item->widget()) {
      row->hide();
      row->deleteLater();
    }
    delete item;
  }
  // std::set orders by byte, so upper case sorts first, whatever the shown names.
  std::size_t listed = 0;
  for (const std::string& id : ids) {
    if (listed++ == longestList) break;
    rows_->addWidget(makeRow(id));
  }
  const bool cut = ids.size() > longestList;
  if (cut) {
    more_->setText(QStringLiteral("and %1 more, kept as stored").arg(ids.size() - longestList));
  }
  more_->setVisible(cut);
}

QWidget* QuietAppList::makeRow(const std::string& id) {
  auto* row = new QWidget(this);
  row->setProperty("appId", QString::fromStdString(id));
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  const QString name = names_.name(id);
  QLabel* nameLabel = fitted(plainLabel(name, row));
  line->addWidget(nameLabel, 0);
  // What the identifier matches here; the window class where that adds nothing to the name.
  QString shown = AppNames::linuxMatch(id);
  if (shown.isEmpty() || shown == name) {
    shown = QString::fromStdString(windowClassForAppID(id).value_or(id));
  }
  if (shown != name) {
    QLabel* detail = fitted(plainLabel(shown, row));
    detail->setObjectName(QStringLiteral("match"));
    setSecondary(*detail);
    line->addWidget(detail);
  }
  line->addStretch(1);
  auto* remove = new QPushButton(QStringLiteral("Remove"), row);
  remove->setFlat(true);
  remove->setAccessibleName(QStringLiteral("Remove ") + name + QStringLiteral(" from quiet apps"));
  connect(remove, &QPushButton::clicked, this,
          [this, id] { binding_.edit([&id](Preferences& p) { p.blockedAppIDs.erase(id); }); });
  line->addWidget(remove);
  return row;
}

void QuietAppList::addTyped() {
  const std::optional<std::string> id = appIDForTypedWindowClass(field_->text().toStdString());
  if (!id) {
    refusal_->setText(QStringLiteral(
        "Type a window class as a window reports it, such as obs, on one line and under 128 "
        "characters."));
    refusal_->show();
    return;
  }
  refusal_->hide();
  field_->clear();
  binding_.edit([&id](Preferences& p) { p.blockedAppIDs.insert(*id); });
}

QList<QPushButton*> QuietAppList::removeButtons() const {
  QList<QPushButton*> buttons;
  for (int i = 0; i < rows_->count(); ++i) {
    if (QWidget* row = rows_->itemAt(i)->widget()) {
      buttons << row->findChild<QPushButton*>();
    }
  }
  return buttons;
}

}  // namespace vorlane
