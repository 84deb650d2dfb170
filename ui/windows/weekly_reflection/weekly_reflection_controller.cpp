#include "ui/windows/weekly_reflection/weekly_reflection_controller.h"

#include "ui/windows/weekly_reflection/weekly_reflection_view.h"

namespace vorlane {

WeeklyReflectionController::WeeklyReflectionController(std::shared_ptr<const Clock> clock,
                                                       std::function<Calendar()> calendar)
    : clock_(std::move(clock)), calendar_(std::move(calendar)) {}

void WeeklyReflectionController::show(FocusHistoryStore& history, DailyPrioritiesStore& priorities,
                                      std::function<void()> manageHistory) {
  host_.show(QStringLiteral("Weekly reflection \u2014 Vorlane"), QSize(width, height),
             {.resizable = true, .reuseVisible = true},
             [&](FeatureWindow::CloseAction) -> QWidget* {
               return new WeeklyReflectionView(history, priorities, std::move(manageHistory),
                                               clock_, calendar_);
             });
}

}  // namespace vorlane
