#pragma once

#include "coordination/windows/feature_windows.h"
#include "ui/kit/feature_window.h"

namespace vorlane {

// The quick command window, "Vorlane quick actions": fixed 510 wide and as tall as its lines,
// with no empty band above the buttons. Asked again while on screen, it is only raised, keeping
// what was typed and the latest result; after a close it opens empty.
class QuickCommandController final : public QuickCommandWindow {
 public:
  static constexpr int width = 510;

  void show(bool shortcutAvailable,
            std::function<std::string(const std::string&)> execute) override;

  FeatureWindow& host() { return host_; }

 private:
  FeatureWindow host_;
};

}  // namespace vorlane
