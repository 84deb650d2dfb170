#pragma once

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "platform/calendar/consent_prompt.h"
#include "ui/kit/feature_window.h"

namespace vorlane {

class CalendarConsentWindow;

// Asks through one CalendarConsentWindow, made for a question and deleted once answered or
// closed, so that it holds nothing between questions. A question asked while the window is
// up joins it: every waiting caller gets the one answer. Main thread only; must outlive
// whoever asks through it.
class CalendarConsentPrompt final : public ConsentPrompt {
 public:
  CalendarConsentPrompt();
  // A question still open is answered as closed, so no caller waits forever.
  ~CalendarConsentPrompt() override;

  void ask(const std::vector<std::string>& folders, std::function<void(Answer)> answer) override;

  // The window while a question waits for its answer; for tests.
  CalendarConsentWindow* window() const;

 private:
  void answered(Answer answer);

  std::vector<std::function<void(Answer)>> waiting_;
  // Every question is centred. Last: its answered windows (they answer from their own
  // slots) go while the prompt their answers reach is still whole.
  FeatureWindow host_{FeatureWindow::Placement::centred};
};

}  // namespace vorlane
