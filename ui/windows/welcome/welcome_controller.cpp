#include "ui/windows/welcome/welcome_controller.h"

#include <QSystemTrayIcon>
#include <QWidget>

#include "ui/windows/welcome/onboarding_view.h"

namespace vorlane {

WelcomeController::WelcomeController(std::function<bool()> trayAvailable)
    : trayAvailable_(trayAvailable ? std::move(trayAvailable)
                                   : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {}

void WelcomeController::show(const QString& hotKeyName, std::function<void()> vorlaneNow) {
  const bool tray = trayAvailable_();
  host_.show(QStringLiteral("Welcome to Vorlane"), QSize(width, height), false, false,
             [&](FeatureWindow::CloseAction close) -> QWidget* {
               return new OnboardingView(hotKeyName, tray, std::move(vorlaneNow), std::move(close));
             });
}

bool WelcomeController::isOpen() const {
  const QWidget* window = host_.window();
  return window != nullptr && window->isVisible();
}

}  // namespace vorlane
