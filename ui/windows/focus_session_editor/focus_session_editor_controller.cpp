#include "ui/windows/focus_session_editor/focus_session_editor_controller.h"

#include <QWidget>

#include "ui/windows/focus_session_editor/focus_session_editor_view.h"

namespace vorlane {

void FocusSessionEditorController::show(int minutes, bool replacing, bool starter,
                                        std::function<void(const std::string&)> start) {
  const QString title =
      starter ? QStringLiteral("Just five minutes") : QStringLiteral("New focus session");
  host_.show(title, QSize(width, height), {.resizable = false, .reuseVisible = true},
             [&](FeatureWindow::CloseAction close) -> QWidget* {
               // The window closes only once the caller's start has gone through.
               auto started = [start = std::move(start), close](const std::string& goal) {
                 if (start) start(goal);
                 close();
               };
               return new FocusSessionEditorView(minutes, replacing, starter, std::move(started));
             });
}

bool FocusSessionEditorController::isOpen() const {
  const QWidget* window = host_.window();
  return window != nullptr && window->isVisible() && !window->isMinimized();
}

}  // namespace vorlane
