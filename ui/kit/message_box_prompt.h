#pragma once

#include "ui/kit/confirmation_prompt.h"

namespace vorlane {

// The confirmation as a message box over its parent's window, opened with open(): modal to
// that window only, and never a nested event loop (no exec()). The box is the parent's
// child, so it goes when the parent goes, with no answer.
class MessageBoxPrompt final : public ConfirmationPrompt {
 public:
  void ask(QWidget& parent, const Confirmation& confirmation,
           std::function<void(bool confirmed)> answer) override;
};

}  // namespace vorlane
