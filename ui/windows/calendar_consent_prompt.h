#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/calendar/consent_prompt.h"

namespace vorlane {

class CalendarConsentWindow;

// Asks through one CalendarConsentWindow, made on the first question and kept. A question
// asked while the window is up joins it: every waiting caller gets the one answer.
// Main thread only; must outlive whoever asks through it.
class CalendarConsentPrompt final : public ConsentPrompt {
 public:
  CalendarConsentPrompt();
  // A question still open is answered as closed, so no caller waits forever.
  ~CalendarConsentPrompt() override;

  void ask(const std::vector<std::string>& folders, std::function<void(Answer)> answer) override;

  // The window, once a question was asked; for tests.
  CalendarConsentWindow* window() const { return window_.get(); }

 private:
  void answered(Answer answer);

  std::unique_ptr<CalendarConsentWindow> window_;
  std::vector<std::function<void(Answer)>> waiting_;
};

}  // namespace vorlane
