#include "ui/preferences/panels/preferences_panel.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/preferences/controls/form_section.h"

namespace vorlane {

PreferencesPanel::PreferencesPanel(PreferencesBinding& binding, QWidget* parent)
    : QWidget(parent), binding_(binding), column_(new QVBoxLayout(this)) {
  // Set before any row exists, so that the labels are measured in the font they show in.
  QFont pageFont = font();
  pageFont.setPixelSize(pageFontPixels);
  setFont(pageFont);
  column_->setContentsMargins(24, 18, 24, 18);
  column_->setSpacing(16);
}

void PreferencesPanel::follow() {
  subscription_ = binding_.follow([this](const Preferences& record) {
    drawToggles(record);
    redraw(record);
  });
}

QCheckBox* PreferencesPanel::toggle(const QString& text, bool Preferences::*field,
                                    QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  // `clicked`, not `toggled`: only the user's own change is written.
  connect(box, &QCheckBox::clicked, this, [this, field](bool on) {
    binding_.edit([field, on](Preferences& p) { p.*field = on; });
  });
  toggles_.append({box, field});
  return box;
}

void PreferencesPanel::drawToggles(const Preferences& record) {
  for (const Toggle& toggle : toggles_) {
    const QSignalBlocker blocker(toggle.box);
    toggle.box->setChecked(record.*toggle.field);
  }
}

FormSection* PreferencesPanel::addSection(const QString& title) {
  auto* section = new FormSection(title, this);
  column_->addWidget(section);
  sections_ << section;
  return section;
}

void PreferencesPanel::finishColumn() {
  column_->addStretch(1);
  int widest = 0;
  for (const FormSection* section : sections_) widest = std::max(widest, section->labelWidth());
  for (FormSection* section : sections_) section->setLabelWidth(widest);
}

}  // namespace vorlane
