#pragma once

#include "ui/preferences/panels/preferences_panel.h"
#include "ui/preferences/text/app_names.h"

class QCheckBox;
class QComboBox;

namespace vorlane {

class Calendar;
class QuietAppList;

// The Schedule & Quiet page: the active hours, half-hour visits, the full-screen rule, the
// fixed rules and the quiet (presentation) apps.
class QuietPanel final : public PreferencesPanel {
 public:
  // `calendar` gives the locale of the hour labels; `muteHotKeyName` is shown as it is.
  QuietPanel(PreferencesBinding& binding, const Calendar& calendar, const QString& muteHotKeyName,
             AppNames names, QWidget* parent);

  QComboBox* startPicker() const { return start_; }
  QComboBox* endPicker() const { return end_; }
  QCheckBox* halfHourToggle() const { return halfHour_; }
  QCheckBox* fullscreenToggle() const { return fullscreen_; }
  QuietAppList* apps() const { return apps_; }

 protected:
  void redraw(const Preferences& record) override;

 private:
  QComboBox* hourPicker(const QStringList& labels, std::int64_t Preferences::*field,
                        QWidget* parent);

  QComboBox* start_ = nullptr;
  QComboBox* end_ = nullptr;
  QCheckBox* halfHour_ = nullptr;
  QCheckBox* fullscreen_ = nullptr;
  QuietAppList* apps_ = nullptr;
};

}  // namespace vorlane
