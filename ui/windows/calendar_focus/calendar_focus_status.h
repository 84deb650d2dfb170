#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "coordination/calendar_focus/calendar_focus_state.h"
#include "foundation/date.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vorlane {

// The calendar focus window's status block: one form per state of the model (the offered
// block, the access that stops reading, a failure in red, the opt-in note, a progress line
// while waiting, or the no-gap note). It only shows; the settings button is the window's.
class CalendarFocusStatus final : public QWidget {
 public:
  // Writes a moment as the short clock time of the user's locale.
  using TimeText = std::function<QString(Date)>;

  explicit CalendarFocusStatus(QWidget* parent = nullptr);

  void present(const CalendarFocusState& state, const TimeText& timeText);

  // "Open Calendar privacy settings", shown while access is required.
  QPushButton* settingsButton() const { return settings_; }
  // Every line shown now, top to bottom, one per line.
  QString shownText() const;
  // Whether the failure line (in red) is shown.
  bool showsFailure() const;

 private:
  void showLines(const QString& headline, const QString& detail);

  QLabel* headline_ = nullptr;
  QLabel* detail_ = nullptr;
  QLabel* failure_ = nullptr;
  QWidget* progress_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* progressTitle_ = nullptr;
  QPushButton* settings_ = nullptr;
};

}  // namespace vorlane
