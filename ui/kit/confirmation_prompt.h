#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vorlane {

// One yes-or-no question a window puts before it does something it cannot undo.
struct Confirmation {
  QString message;                                 // "Clear all focus history?"
  QString confirmLabel;                            // "Clear history"; the default button (Return)
  bool destructive = true;                         // drawn as the destructive choice
  QString cancelLabel = QStringLiteral("Cancel");  // Escape, and closing the prompt
};

// Asks a confirmation over a window without waiting for the answer: ask() returns at once
// and `answer` runs later on the main thread, with true for the confirming button and false
// for every other way out. It runs at most once, and never after `parent` is gone, so it
// may use the window that asked.
class ConfirmationPrompt {
 public:
  virtual ~ConfirmationPrompt() = default;
  virtual void ask(QWidget& parent, const Confirmation& confirmation,
                   std::function<void(bool confirmed)> answer) = 0;
};

}  // namespace vorlane
