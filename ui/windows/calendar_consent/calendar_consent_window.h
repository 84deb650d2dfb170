#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/calendar/consent_prompt.h"
#include "ui/kit/window_content.h"

class QLabel;
class QPushButton;

namespace vorlane {

// `place` as the consent question shows it: a folder under `home` written from "~", with a
// closing slash; anything else (a calendar service in words) as it is.
QString consentPlaceText(const std::string& place, const std::string& home);

// The question whether Vorlane may read the user's calendars: where it reads from, that it
// reads only availability, and Allow or Don't Allow. Never modal. Closing it (its close
// button or Escape) answers nothing, so nothing is stored; Return allows.
class CalendarConsentWindow final : public WindowContent {
 public:
  using Answer = ConsentPrompt::Answer;
  static constexpr int fixedWidth = 460;

  explicit CalendarConsentWindow(std::function<void(Answer)> onAnswer, QWidget* parent = nullptr);

  // The places named in the question, one line each.
  void setPlaces(const std::vector<std::string>& places);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Hides the window, then tells the answer once per showing.
  void answer(Answer answer);

  std::function<void(Answer)> onAnswer_;
  QLabel* places_ = nullptr;
  QPushButton* allow_ = nullptr;
  bool answered_ = false;
};

}  // namespace vorlane
