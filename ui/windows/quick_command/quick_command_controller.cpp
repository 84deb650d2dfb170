#include "ui/windows/quick_command/quick_command_controller.h"

#include "ui/windows/quick_command/quick_command_view.h"

namespace vorlane {

void QuickCommandController::show(bool shortcutAvailable,
                                  std::function<std::string(const std::string&)> execute) {
  host_.show(QStringLiteral("Vorlane quick actions"), QSize(width, FeatureWindow::contentHeight),
             {.resizable = false, .reuseVisible = true},
             [&](const FeatureWindow::CloseAction&) -> QWidget* {
               return new QuickCommandView(shortcutAvailable, std::move(execute));
             });
}

}  // namespace vorlane
