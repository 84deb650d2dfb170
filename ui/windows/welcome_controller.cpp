#include "ui/windows/welcome_controller.h"

#include <QWidget>

#include "ui/windows/onboarding_view.h"

namespace vorlane {

void WelcomeController::show(const QString& hotKeyName, std::function<void()> vorlaneNow) {
  host_.show(QStringLiteral("Welcome to Vorlane"), QSize(width, height), false, false,
             [&](FeatureWindow::CloseAction close) -> QWidget* {
               return new OnboardingView(hotKeyName, std::move(vorlaneNow), std::move(close));
             });
}

bool WelcomeController::isOpen() const {
  const QWidget* window = host_.window();
  return window != nullptr && window->isVisible();
}

}  // namespace vorlane
