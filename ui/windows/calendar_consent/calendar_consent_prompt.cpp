#include "ui/windows/calendar_consent/calendar_consent_prompt.h"

#include <utility>

#include "ui/windows/calendar_consent/calendar_consent_window.h"
#include "ui/kit/window_placement.h"

namespace vorlane {

CalendarConsentPrompt::CalendarConsentPrompt() = default;

CalendarConsentPrompt::~CalendarConsentPrompt() {
  answered(Answer::dismissed);
}

void CalendarConsentPrompt::ask(const std::vector<std::string>& folders,
                                std::function<void(Answer)> answer) {
  if (answer) waiting_.push_back(std::move(answer));
  const bool made = !window_;
  if (made) {
    window_ = new CalendarConsentWindow([this](Answer given) { answered(given); });
  }
  window_->setPlaces(folders);
  if (made) centreOnPointerScreen(*window_);
  bringToFront(*window_);
}

CalendarConsentWindow* CalendarConsentPrompt::window() const { return window_.data(); }

void CalendarConsentPrompt::answered(Answer answer) {
  // Gone first, like the waiting callers: an answer may lead to another question, which
  // gets a window of its own.
  if (window_) {
    window_->hide();
    window_->deleteLater();
    retired_.add(window_);
    window_ = nullptr;
  }
  auto waiting = std::exchange(waiting_, {});
  for (const auto& callback : waiting) callback(answer);
}

}  // namespace vorlane
