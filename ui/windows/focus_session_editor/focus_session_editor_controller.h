#pragma once

#include "coordination/windows/feature_windows.h"
#include "ui/kit/feature_window.h"

namespace vorlane {

// The focus session editor window, "New focus session" or "Just five minutes": fixed
// 440 x 235 (taller when its lines need it). Asked again while on screen, it is only raised:
// its form, typed goal and `start` stay those of the first request. A confirmed goal goes to
// `start`, then the window closes; a `start` that throws leaves it open.
class FocusSessionEditorController final : public FocusSessionEditorWindow {
 public:
  static constexpr int width = 440;
  static constexpr int height = 235;

  void show(int minutes, bool replacing, bool starter,
            std::function<void(const std::string&)> start) override;
  bool isOpen() const override;

  FeatureWindow& host() { return host_; }

 private:
  FeatureWindow host_;
};

}  // namespace vorlane
