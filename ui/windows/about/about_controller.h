#pragma once

#include <QString>
#include <functional>

#include "platform/logging/log_sink.h"
#include "ui/kit/feature_window.h"

namespace vorlane {

// The About window, "About Vorlane": fixed 460 x 340, made on first request and kept. Asked
// again while on screen, it is only raised.
class AboutController final {
 public:
  static constexpr int width = 460;
  static constexpr int height = 340;

  // `logDestination` says where this run's log goes; this process's when absent.
  explicit AboutController(std::function<LogDestination()> logDestination = nullptr);

  void show(const QString& version, const QString& hotKeyName);

  FeatureWindow& host() { return host_; }

 private:
  std::function<LogDestination()> logDestination_;
  FeatureWindow host_;
};

}  // namespace vorlane
