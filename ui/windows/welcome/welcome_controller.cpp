#include "ui/windows/welcome/welcome_controller.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include "platform/logging/log.h"
#include "ui/windows/welcome/welcome_view.h"

namespace vorlane {

WelcomeController::WelcomeController(std::function<bool()> trayAvailable)
    : trayAvailable_(trayAvailable ? std::move(trayAvailable)
                                   : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {}

void WelcomeController::show(const QString& hotKeyName, std::function<void()> vorlaneNow) {
  const bool tray = trayAvailable_();
  // Where the user was told the menu is, should they not find it there.
  Log::lifecycle().info("welcome shown: %{public}s", whereTheMenuIs(tray).toStdString());
  host_.show(QStringLiteral("Welcome to Vorlane"), QSize(width, height),
             {.resizable = false, .reuseVisible = false},
             [&](FeatureWindow::CloseAction close) -> QWidget* {
               return new WelcomeView(hotKeyName, tray, std::move(vorlaneNow), std::move(close));
             });
}

bool WelcomeController::isOpen() const {
  const QWidget* window = host_.window();
  return window != nullptr && window->isVisible();
}

}  // namespace vorlane
