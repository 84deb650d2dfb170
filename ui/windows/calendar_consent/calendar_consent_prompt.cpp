#include "ui/windows/calendar_consent/calendar_consent_prompt.h"

#include <utility>

#include "ui/windows/calendar_consent/calendar_consent_window.h"

namespace vorlane {

CalendarConsentPrompt::CalendarConsentPrompt() = default;

CalendarConsentPrompt::~CalendarConsentPrompt() { answered(Answer::dismissed); }

void CalendarConsentPrompt::ask(const std::vector<std::string>& folders,
                                std::function<void(Answer)> answer) {
  if (answer) waiting_.push_back(std::move(answer));
  // The places come first: the height follows them, and the window is centred at it.
  QWidget* window = host_.open(
      [&] {
        auto* made = new CalendarConsentWindow([this](Answer given) { answered(given); });
        made->setPlaces(folders);
        return made;
      },
      false);
  static_cast<CalendarConsentWindow*>(window)->setPlaces(folders);
}

CalendarConsentWindow* CalendarConsentPrompt::window() const {
  return static_cast<CalendarConsentWindow*>(host_.window());
}

void CalendarConsentPrompt::answered(Answer answer) {
  // Gone first, like the waiting callers: an answer may lead to another question, which
  // gets a window of its own.
  host_.retire();
  auto waiting = std::exchange(waiting_, {});
  for (const auto& callback : waiting) callback(answer);
}

}  // namespace vorlane
