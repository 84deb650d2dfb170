#pragma once

#include <QString>

#include "ui/windows/feature_window.h"

namespace vorlane {

// The About window, "About Vorlane": fixed 460 x 340, made on first request and kept. Asked
// again while on screen, it is only raised.
class AboutController final {
 public:
  static constexpr int width = 460;
  static constexpr int height = 340;

  void show(const QString& version, const QString& hotKeyName);

  FeatureWindow& host() { return host_; }

 private:
  FeatureWindow host_;
};

}  // namespace vorlane
