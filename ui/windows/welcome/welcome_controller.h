#pragma once

#include <QString>
#include <functional>

#include "ui/kit/feature_window.h"

namespace vorlane {

// The welcome window, "Welcome to Vorlane": fixed 460 x 340. Each showing builds a new
// welcome, replacing one still on screen; "Not now" and "Show me" close it.
class WelcomeController final {
 public:
  static constexpr int width = 460;
  static constexpr int height = 340;

  // `trayAvailable` is asked at each showing (a tray may come and go); the desktop's own
  // answer when absent, the check the mascot makes.
  explicit WelcomeController(std::function<bool()> trayAvailable = nullptr);

  // `vorlaneNow` runs for "Show me", before the window closes.
  void show(const QString& hotKeyName, std::function<void()> vorlaneNow);
  // The window is on screen.
  bool isOpen() const;

  FeatureWindow& host() { return host_; }

 private:
  std::function<bool()> trayAvailable_;
  FeatureWindow host_;
};

}  // namespace vorlane
