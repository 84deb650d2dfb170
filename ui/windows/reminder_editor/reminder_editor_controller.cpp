#include "ui/windows/reminder_editor/reminder_editor_controller.h"

#include "ui/windows/reminder_editor/reminder_editor_view.h"

namespace vorlane {

ReminderEditorController::ReminderEditorController(std::shared_ptr<const Clock> clock,
                                                   std::function<Calendar()> calendar)
    : clock_(std::move(clock)), calendar_(std::move(calendar)) {}

void ReminderEditorController::show(
    std::optional<Reminder> reminder,
    std::function<Reminder(const std::string&, const std::string&)> save) {
  const QString title = reminder ? QStringLiteral("Edit reminder") : QStringLiteral("Add reminder");
  ReminderEditorView::Describe describe = [clock = clock_,
                                           calendar = calendar_](const Reminder& r) {
    return r.scheduleDescription(calendar(), clock->now());
  };
  host_.show(title, QSize(width, FeatureWindow::contentHeight),
             {.resizable = false, .reuseVisible = false},
             [&](const FeatureWindow::CloseAction&) -> QWidget* {
               return new ReminderEditorView(std::move(reminder), std::move(save),
                                             std::move(describe));
             });
}

}  // namespace vorlane
