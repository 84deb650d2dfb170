#include "ui/preferences/controls/form_section.h"

#include <QFormLayout>
#include <QLabel>
#include <algorithm>

#include "ui/kit/window_text.h"

namespace vorlane {

FormSection::FormSection(const QString& title, QWidget* parent)
    // "&" is shown as written, not taken as a mnemonic ("Presence & clicks").
    : QGroupBox(QString(title).replace(QLatin1Char('&'), QStringLiteral("&&")), parent),
      rows_(new QFormLayout(this)) {
  rows_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  rows_->setRowWrapPolicy(QFormLayout::DontWrapRows);
  rows_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  rows_->setVerticalSpacing(10);
  rows_->setContentsMargins(14, 12, 14, 14);
}

void FormSection::addRow(const QString& label, QWidget* control) {
  QLabel* name = plainLabel(label, this);
  labels_ << name;
  rows_->addRow(name, control);
}

int FormSection::labelWidth() const {
  int widest = 0;
  for (const QLabel* label : labels_) widest = std::max(widest, label->sizeHint().width());
  return widest;
}

void FormSection::setLabelWidth(int width) {
  for (QLabel* label : labels_) label->setMinimumWidth(width);
}

void FormSection::addRow(QWidget* control) { rows_->addRow(control); }

void FormSection::setRowVisible(QWidget* control, bool visible) {
  rows_->setRowVisible(control, visible);
}

QLabel* FormSection::addNote(const QString& text) {
  QLabel* note = plainLabel(text, this);
  note->setWordWrap(true);
  setSecondary(*note);
  rows_->addRow(note);
  return note;
}

}  // namespace vorlane
