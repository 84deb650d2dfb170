#pragma once

#include <functional>
#include <memory>

#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "ui/kit/feature_window.h"
#include "ui/windows/reminder_editor/reminder_editor_window.h"

namespace vorlane {

// The reminder editor window, "Add reminder" or "Edit reminder": fixed 440 wide and as tall
// as its lines, with no empty band above the buttons. Every request rebuilds it, even while on
// screen, so asking to add while an edit is open replaces the edit. Schedules are described with
// the clock's time and the calendar read afresh each time.
class ReminderEditorController final : public ReminderEditorWindow {
 public:
  static constexpr int width = 440;

  ReminderEditorController(std::shared_ptr<const Clock> clock, std::function<Calendar()> calendar);

  void show(std::optional<Reminder> reminder,
            std::function<Reminder(const std::string&, const std::string&)> save) override;

  FeatureWindow& host() { return host_; }

 private:
  std::shared_ptr<const Clock> clock_;
  std::function<Calendar()> calendar_;
  FeatureWindow host_;
};

}  // namespace vorlane
