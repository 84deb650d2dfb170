#include "ui/preferences/form_section.h"

#include <QFormLayout>
#include <QLabel>

#include "ui/windows/window_text.h"

namespace vorlane {

FormSection::FormSection(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), rows_(new QFormLayout(this)) {
  rows_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  rows_->setRowWrapPolicy(QFormLayout::DontWrapRows);
  rows_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  rows_->setVerticalSpacing(10);
  rows_->setContentsMargins(14, 12, 14, 14);
}

void FormSection::addRow(const QString& label, QWidget* control) {
  rows_->addRow(plainLabel(label, this), control);
}

void FormSection::addRow(QWidget* control) { rows_->addRow(control); }

QLabel* FormSection::addNote(const QString& text) {
  QLabel* note = plainLabel(text, this);
  note->setWordWrap(true);
  setSecondary(*note);
  rows_->addRow(note);
  return note;
}

}  // namespace vorlane
