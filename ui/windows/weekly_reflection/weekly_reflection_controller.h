#pragma once

#include <functional>
#include <memory>

#include "coordination/windows/feature_windows.h"
#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "ui/kit/feature_window.h"

namespace vorlane {

// The weekly reflection window, "Weekly reflection — Vorlane": 580 x 660 and resizable. Asked
// again while on screen it is only raised, keeping the chosen week and the scroll position;
// after a close it opens on this week. The week is the clock's, in the calendar read afresh at
// every refresh.
class WeeklyReflectionController final : public WeeklyReflectionWindow {
 public:
  static constexpr int width = 580;
  static constexpr int height = 660;

  WeeklyReflectionController(std::shared_ptr<const Clock> clock,
                             std::function<Calendar()> calendar);

  void show(FocusHistoryStore& history, DailyPrioritiesStore& priorities,
            std::function<void()> manageHistory) override;

  FeatureWindow& host() { return host_; }

 private:
  std::shared_ptr<const Clock> clock_;
  std::function<Calendar()> calendar_;
  FeatureWindow host_;
};

}  // namespace vorlane
