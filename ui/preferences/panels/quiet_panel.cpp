#include "ui/preferences/panels/quiet_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

#include "ui/kit/window_text.h"
#include "ui/preferences/controls/form_section.h"
#include "ui/preferences/controls/quiet_app_list.h"
#include "ui/preferences/text/hour_labels.h"

namespace vorlane {
namespace {

// The index of a stored hour; none (-1, an empty picker) outside 0...23, never corrected.
int hourIndex(std::int64_t hour) { return hour >= 0 && hour <= 23 ? static_cast<int>(hour) : -1; }

}  // namespace

QuietPanel::QuietPanel(PreferencesBinding& binding, const Calendar& calendar,
                       const QString& muteHotKeyName, AppNames names, QWidget* parent)
    : PreferencesPanel(binding, parent) {
  const QStringList labels = hourLabels(calendar);
  FormSection* schedule = addSection(QStringLiteral("Visit schedule"));
  start_ = hourPicker(labels, &Preferences::activeStartHour, schedule);
  start_->setObjectName(QStringLiteral("activeStartHour"));
  schedule->addRow(QStringLiteral("Active from"), start_);
  end_ = hourPicker(labels, &Preferences::activeEndHour, schedule);
  end_->setObjectName(QStringLiteral("activeEndHour"));
  schedule->addRow(QStringLiteral("Active until"), end_);
  halfHour_ = toggle(QStringLiteral("Also visit on the half hour"),
                     &Preferences::halfHourVisitsEnabled, schedule);
  schedule->addRow(halfHour_);

  FormSection* quiet = addSection(QStringLiteral("Stay quiet"));
  quiet->addRow(QStringLiteral("Camera or microphone in use"),
                plainLabel(QStringLiteral("Always"), quiet));
  fullscreen_ =
      toggle(QStringLiteral("When an app is fullscreen"), &Preferences::quietInFullscreen, quiet);
  quiet->addRow(fullscreen_);
  quiet->addRow(QStringLiteral("Mute shortcut"), plainLabel(muteHotKeyName, quiet));
  quiet->addNote(QStringLiteral(
      "The desktop's Do Not Disturb is not inferred. Use Mute in the menu or its shortcut."));

  FormSection* presentation = addSection(QStringLiteral("Presentation apps"));
  presentation->addNote(
      QStringLiteral("Automatic visits stay quiet when one of these is frontmost."));
  apps_ = new QuietAppList(binding_, std::move(names), presentation);
  presentation->addRow(apps_);
  finishColumn();
  follow();
}

QComboBox* QuietPanel::hourPicker(const QStringList& labels, std::int64_t Preferences::*field,
                                  QWidget* parent) {
  auto* picker = new QComboBox(parent);
  for (int hour = 0; hour < labels.size(); ++hour) picker->addItem(labels[hour], hour);
  picker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  // `activated`: the user's choice only, never a redraw's.
  connect(picker, &QComboBox::activated, this, [this, picker, field](int index) {
    const std::int64_t hour = picker->itemData(index).toInt();
    binding_.edit([field, hour](Preferences& p) { p.*field = hour; });
  });
  return picker;
}

void QuietPanel::redraw(const Preferences& record) {
  const QSignalBlocker a(start_), b(end_);
  start_->setCurrentIndex(hourIndex(record.activeStartHour));
  end_->setCurrentIndex(hourIndex(record.activeEndHour));
  apps_->setIDs(record.blockedAppIDs);
}

}  // namespace vorlane
