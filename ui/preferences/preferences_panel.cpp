#include "ui/preferences/preferences_panel.h"

#include <QVBoxLayout>

#include "ui/preferences/form_section.h"

namespace vorlane {

PreferencesPanel::PreferencesPanel(PreferencesBinding& binding, QWidget* parent)
    : QWidget(parent), binding_(binding), column_(new QVBoxLayout(this)) {
  column_->setContentsMargins(24, 18, 24, 18);
  column_->setSpacing(16);
}

void PreferencesPanel::follow() {
  subscription_ = binding_.follow([this](const Preferences& record) { redraw(record); });
}

FormSection* PreferencesPanel::addSection(const QString& title) {
  auto* section = new FormSection(title, this);
  column_->addWidget(section);
  return section;
}

void PreferencesPanel::finishColumn() { column_->addStretch(1); }

}  // namespace vorlane
