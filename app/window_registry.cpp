#include "app/window_registry.h"

#include "ui/kit/desktop_texts.h"
#include "ui/preferences/preferences_controller.h"
#include "ui/windows/about_controller.h"
#include "ui/windows/focus_session_editor_controller.h"
#include "ui/windows/quick_command_controller.h"
#include "ui/windows/reminder_editor_controller.h"
#include "ui/windows/welcome_controller.h"

namespace vorlane {

WindowRegistry registeredWindows(const WindowContext& context) {
  WindowRegistry w;
  w.features.quickCommands = std::make_shared<QuickCommandController>();
  w.features.focusEditor = std::make_shared<FocusSessionEditorController>();
  w.features.reminderEditor =
      std::make_shared<ReminderEditorController>(context.clock, context.calendar);
  w.about = std::make_shared<AboutController>();
  w.welcome = std::make_shared<WelcomeController>();
  w.preferences = std::make_shared<PreferencesController>(
      context.clock, context.calendar, QString::fromLatin1(muteShortcutName));
  return w;
}

}  // namespace vorlane
