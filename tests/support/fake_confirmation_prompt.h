#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "ui/kit/confirmation_prompt.h"

namespace vorlane {

// Keeps every question asked, unanswered, until the test answers the latest one, as the user
// would: confirm, cancel, or the asking window goes away first (then nothing is answered,
// as with the real prompt).
class FakeConfirmationPrompt final : public ConfirmationPrompt {
 public:
  struct Asked {
    QPointer<QWidget> parent;
    Confirmation confirmation;
    std::function<void(bool)> answer;
  };

  void ask(QWidget& parent, const Confirmation& confirmation,
           std::function<void(bool)> answer) override {
    asked_.push_back({&parent, confirmation, std::move(answer)});
  }

  const std::vector<Asked>& asked() const { return asked_; }
  // Whether a question is still waiting for its answer.
  bool pending() const { return !asked_.empty() && asked_.back().answer != nullptr; }

  void confirm() { answer(true); }
  void cancel() { answer(false); }

 private:
  void answer(bool confirmed) {
    if (!pending()) throw std::logic_error("no confirmation is waiting for an answer");
    Asked& latest = asked_.back();
    const auto reply = std::exchange(latest.answer, nullptr);
    if (latest.parent) reply(confirmed);
  }

  std::vector<Asked> asked_;
};

}  // namespace vorlane
