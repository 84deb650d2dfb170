#include "ui/mascot/controller/appearance_observer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

namespace vorlane {

AppearanceObserver::AppearanceObserver(std::function<void(const MascotTheme&)> onChange)
    : onChange_(std::move(onChange)) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

bool AppearanceObserver::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange &&
      watched == QCoreApplication::instance() && onChange_) {
    onChange_(MascotTheme::current());
  }
  return false;
}

}  // namespace vorlane
