#include "app/window_registry.h"

#include "ui/windows/about_controller.h"
#include "ui/windows/quick_command_controller.h"
#include "ui/windows/welcome_controller.h"

namespace vorlane {

WindowRegistry registeredWindows([[maybe_unused]] const WindowContext& context) {
  WindowRegistry w;
  w.features.quickCommands = std::make_shared<QuickCommandController>();
  w.about = std::make_shared<AboutController>();
  w.welcome = std::make_shared<WelcomeController>();
  return w;
}

}  // namespace vorlane
