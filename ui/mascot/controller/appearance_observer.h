#pragma once

#include <QObject>
#include <functional>

#include "ui/mascot/scene/mascot_theme.h"

namespace vorlane {

// Reports the theme that matches the desktop each time the application palette changes.
// Without an application object nothing is observed; destroying the observer ends it.
class AppearanceObserver : public QObject {
 public:
  explicit AppearanceObserver(std::function<void(const MascotTheme&)> onChange);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const MascotTheme&)> onChange_;
};

}  // namespace vorlane
