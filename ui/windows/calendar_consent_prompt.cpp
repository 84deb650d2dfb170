#include "ui/windows/calendar_consent_prompt.h"

#include <utility>

#include "ui/windows/calendar_consent_window.h"
#include "ui/kit/window_placement.h"

namespace vorlane {

CalendarConsentPrompt::CalendarConsentPrompt() = default;

CalendarConsentPrompt::~CalendarConsentPrompt() { answered(Answer::dismissed); }

void CalendarConsentPrompt::ask(const std::vector<std::string>& folders,
                                std::function<void(Answer)> answer) {
  if (answer) waiting_.push_back(std::move(answer));
  const bool made = !window_;
  if (made) {
    window_ = std::make_unique<CalendarConsentWindow>([this](Answer given) { answered(given); });
  }
  window_->setPlaces(folders);
  if (made) centreOnPointerScreen(*window_);
  bringToFront(*window_);
}

void CalendarConsentPrompt::answered(Answer answer) {
  // Taken first: an answer may lead to another question.
  auto waiting = std::exchange(waiting_, {});
  for (const auto& callback : waiting) callback(answer);
}

}  // namespace vorlane
