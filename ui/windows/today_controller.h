#pragma once

#include "coordination/feature_windows.h"
#include "ui/kit/window_services.h"
#include "ui/windows/feature_window.h"

namespace vorlane {

// The Today window, "Today — Vorlane": 570 x 680 and resizable (never below what its
// content needs). That first height shows a full day of titles wrapped to two lines and
// an earlier day's unfinished priority below them without scrolling. Asked again while on
// screen it is only raised, keeping what was typed and the values it was opened with; after
// a close it is built afresh from the new request.
class TodayController final : public TodayWindow {
 public:
  static constexpr int width = 570;
  static constexpr int height = 680;

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
