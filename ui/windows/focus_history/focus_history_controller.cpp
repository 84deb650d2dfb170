#include "ui/windows/focus_history/focus_history_controller.h"

#include <QWidget>

#include "ui/windows/focus_history/focus_history_view.h"

namespace vorlane {

void FocusHistoryController::show(FocusHistoryStore& store) {
  host_.show(QStringLiteral("Focus history"), QSize(width, height),
             {.resizable = true, .reuseVisible = true},
             [&](FeatureWindow::CloseAction) -> QWidget* {
               // Closed only by its title bar: the view takes no close action.
               return new FocusHistoryView(store, services_);
             });
}

}  // namespace vorlane
