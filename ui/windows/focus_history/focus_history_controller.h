#pragma once

#include "coordination/windows/feature_windows.h"
#include "ui/kit/feature_window.h"
#include "ui/kit/window_services.h"

namespace vorlane {

// The focus history window, "Focus history": 510 x 450 and resizable. Asked again while on
// screen, it is only raised, with whatever error line it shows. The list follows the store
// live for as long as the window is open.
class FocusHistoryController final : public FocusHistoryWindow {
 public:
  static constexpr int width = 510;
  static constexpr int height = 450;

  // `services` must outlive the controller.
  explicit FocusHistoryController(WindowServices services) : services_(std::move(services)) {}

  void show(FocusHistoryStore& store) override;

  FeatureWindow& host() { return host_; }

 private:
  WindowServices services_;
  FeatureWindow host_;
};

}  // namespace vorlane
