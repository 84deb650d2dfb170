#include "ui/window/screen_change_watcher.h"

#include <QGuiApplication>
#include <QScreen>

namespace vorlane {

ScreenChangeWatcher::ScreenChangeWatcher(QObject* parent) : QObject(parent) {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr) return;
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
    watch(screen);
    emit changed();
  });
  connect(app, &QGuiApplication::screenRemoved, this, &ScreenChangeWatcher::changed);
  connect(app, &QGuiApplication::primaryScreenChanged, this, &ScreenChangeWatcher::changed);
}

void ScreenChangeWatcher::watch(QScreen* screen) {
  connect(screen, &QScreen::geometryChanged, this, &ScreenChangeWatcher::changed);
  connect(screen, &QScreen::availableGeometryChanged, this, &ScreenChangeWatcher::changed);
}

}  // namespace vorlane
