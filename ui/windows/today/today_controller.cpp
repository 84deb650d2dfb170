#include "ui/windows/today/today_controller.h"

#include "ui/windows/today/today_view.h"

namespace vorlane {

TodayController::TodayController(WindowServices services) : services_(std::move(services)) {}

void TodayController::show(DailyPrioritiesStore& store, int minutes,
                           std::optional<std::string> recoveryError,
                           std::function<void()> discardRecovery,
                           std::function<void(const UUID&, bool)> start) {
  host_.show(QStringLiteral("Today \u2014 Vorlane"), QSize(width, height),
             {.resizable = true, .reuseVisible = true},
             [&](FeatureWindow::CloseAction) -> QWidget* {
               return new TodayView(store, minutes, std::move(recoveryError),
                                    std::move(discardRecovery), std::move(start), services_);
             });
}

}  // namespace vorlane
