#include "ui/windows/resume_note/resume_note_controller.h"

#include <QWidget>

#include "ui/windows/resume_note/resume_note_view.h"

namespace vorlane {

void ResumeNoteController::show(const std::string& goal, const std::string& note, bool returning,
                                bool placeSaved, std::function<void(const std::string&)> save,
                                std::function<void()> resume) {
  const QString title =
      returning ? QStringLiteral("Where was I?") : QStringLiteral("Leave yourself a next step");
  host_.show(title, QSize(width, height), {.resizable = false, .reuseVisible = false},
             [&](FeatureWindow::CloseAction close) -> QWidget* {
               // Resuming closes the window even when the session has gone in the meantime.
               auto resumed = [resume = std::move(resume), close] {
                 if (resume) resume();
                 close();
               };
               return new ResumeNoteView(QString::fromStdString(goal), QString::fromStdString(note),
                                         returning, placeSaved, std::move(save),
                                         std::move(resumed));
             });
}

void ResumeNoteController::close() {
  if (QWidget* window = host_.window()) window->close();
}

}  // namespace vorlane
