#pragma once

#include "coordination/windows/feature_windows.h"
#include "ui/kit/feature_window.h"
#include "ui/kit/window_services.h"

namespace vorlane {

// The Today window, "Today — Vorlane": 570 x 540 and resizable (never below what its
// content needs). That first height keeps the window and its title bar on a 720-pixel screen
// under a panel; a full day with an earlier unfinished priority is reached by scrolling the
// list. Asked again while on screen it is only raised, keeping what was typed and the values
// it was opened with; after a close it is built afresh from the new request.
class TodayController final : public TodayWindow {
 public:
  static constexpr int width = 570;
  static constexpr int height = 540;

  explicit TodayController(WindowServices services);

  void show(DailyPrioritiesStore& store, int minutes, std::optional<std::string> recoveryError,
            std::function<void()> discardRecovery,
            std::function<void(const UUID&, bool)> start) override;

  FeatureWindow& host() { return host_; }

 private:
  WindowServices services_;
  FeatureWindow host_;
};

}  // namespace vorlane
