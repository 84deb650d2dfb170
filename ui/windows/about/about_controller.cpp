#include "ui/windows/about/about_controller.h"

#include "ui/windows/about/about_view.h"

namespace vorlane {

AboutController::AboutController(std::function<LogDestination()> logDestination)
    : logDestination_(logDestination ? std::move(logDestination) : defaultLogDestination) {}

void AboutController::show(const QString& version, const QString& hotKeyName) {
  host_.show(QStringLiteral("About Vorlane"), QSize(width, height),
             {.resizable = false, .reuseVisible = true},
             [&](const FeatureWindow::CloseAction&) -> QWidget* {
               return new AboutView(version, hotKeyName, logDestination_());
             });
}

}  // namespace vorlane
