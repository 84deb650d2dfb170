#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "foundation/observers.h"
#include "foundation/uuid.h"
#include "ui/kit/message_line.h"
#include "ui/kit/window_content.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vorlane {

class CalendarFocusModel;
class CalendarFocusStatus;
class DailyPrioritiesStore;

// The calendar focus window's content: the opt-in, the status of the model, a goal typed or
// taken from today's open priorities, and Close, Refresh and Start. Every calendar read and
// message is the model's; the view reads again when it comes on screen, when the application
// becomes active and on Refresh, and drops whatever is under way when it leaves the screen.
// Its subscriptions belong to it and end with it.
class CalendarFocusView final : public WindowContent {
 public:
  // Gets the block's minutes, the cleaned goal and the chosen priority; throws a refusal.
  using Start = std::function<void(int, const std::string&, std::optional<UUID>)>;
  // Calls `onActive` whenever the application becomes active, for as long as `context` lives.
  using ActivationWatch = std::function<void(QObject* context, std::function<void()> onActive)>;

  struct Services {
    std::shared_ptr<const Clock> clock;
    std::function<Calendar()> calendar;
    // Shows where the user's calendars are kept (the desktop's counterpart of a privacy page).
    std::function<void()> openCalendarsFolder;
    ActivationWatch watchActivation;
  };

  CalendarFocusView(CalendarFocusModel& model, DailyPrioritiesStore& priorities, Start start,
                    Services services, QWidget* parent = nullptr);
  ~CalendarFocusView() override;

  // Presses Start: re-checks the calendar through the model and closes once started.
  void startFocus();

  QPushButton* enableButton() const { return enable_; }
  QPushButton* disconnectButton() const { return disconnect_; }
  QPushButton* refreshButton() const { return refresh_; }
  QPushButton* startButton() const { return start_; }
  QPushButton* closeButton() const { return close_; }
  QComboBox* picker() const { return picker_; }
  QLineEdit* goalField() const { return goal_; }
  CalendarFocusStatus* status() const { return status_; }
  QLabel* checkedLine() const { return checked_; }
  // The chosen priority; none is "A new goal".
  const std::optional<UUID>& priorityID() const { return priorityID_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* buildScrolledPart();
  void addGoalPart(QWidget* inner, QVBoxLayout* column);
  // Draws everything from the model; changes nothing in it.
  void redraw();
  void fillPicker();
  void selectPickerEntry();
  void choosePriority(int index);
  void goalEdited(const QString& text);
  void openSettings();
  void disappear();
  // Runs `action`; a throw is logged and its sentence shown in red instead of leaving the slot.
  void guarded(const std::function<void()>& action);
  QString timeText(Date date) const;

  CalendarFocusModel& model_;
  DailyPrioritiesStore& priorities_;
  Start startAction_;
  Services services_;

  std::optional<UUID> priorityID_;
  bool appeared_ = false;
  bool disappeared_ = false;
  // Enable was pressed: once suggestions are on and the read is done, the keyboard goes to
  // the goal (the hidden button would otherwise hand it to Close).
  bool goalAfterEnable_ = false;

  QPushButton* enable_ = nullptr;
  QWidget* enabledRow_ = nullptr;
  QPushButton* disconnect_ = nullptr;
  CalendarFocusStatus* status_ = nullptr;
  MessageLine* problem_ = nullptr;
  QWidget* pickerRow_ = nullptr;
  QComboBox* picker_ = nullptr;
  QLineEdit* goal_ = nullptr;
  QLabel* checked_ = nullptr;
  QLabel* rules_ = nullptr;
  QPushButton* close_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QPushButton* start_ = nullptr;

  Observers<>::Subscription modelChanges_;
  Observers<>::Subscription priorityChanges_;
};

}  // namespace vorlane
