#include "app/window_registry.h"

#include "ui/kit/desktop_texts.h"
#include "ui/preferences/window/preferences_controller.h"
#include "ui/windows/about/about_controller.h"
#include "ui/windows/calendar_consent/calendar_consent_prompt.h"
#include "ui/windows/calendar_focus/calendar_focus_controller.h"
#include "ui/windows/focus_history/focus_history_controller.h"
#include "ui/windows/focus_session_editor/focus_session_editor_controller.h"
#include "ui/windows/quick_command/quick_command_controller.h"
#include "ui/windows/reminder_editor/reminder_editor_controller.h"
#include "ui/windows/resume_note/resume_note_controller.h"
#include "ui/windows/today/today_controller.h"
#include "ui/windows/weekly_reflection/weekly_reflection_controller.h"
#include "ui/windows/welcome/welcome_controller.h"

namespace vorlane {

WindowRegistry registeredWindows(const WindowContext& context) {
  WindowRegistry w;
  auto& features = w.features;
  features.set<QuickCommandWindow>(std::make_shared<QuickCommandController>());
  features.set<FocusSessionEditorWindow>(std::make_shared<FocusSessionEditorController>());
  features.set<CalendarFocusWindow>(
      std::make_shared<CalendarFocusController>(CalendarFocusController::Dependencies{
          .clock = context.clock,
          .calendar = context.calendar,
          .openUrl = [&urls = context.services.urls](const QUrl& url) { (void)urls.open(url); }}));
  features.set<TodayWindow>(std::make_shared<TodayController>(context.services));
  features.set<WeeklyReflectionWindow>(
      std::make_shared<WeeklyReflectionController>(context.clock, context.calendar));
  features.set<ResumeNoteWindow>(std::make_shared<ResumeNoteController>());
  features.set<FocusHistoryWindow>(std::make_shared<FocusHistoryController>(context.services));

  auto& shell = w.shell;
  shell.set<ReminderEditorWindow>(
      std::make_shared<ReminderEditorController>(context.clock, context.calendar));
  shell.set<AboutController>(std::make_shared<AboutController>());
  shell.set<WelcomeController>(std::make_shared<WelcomeController>(context.trayAvailable));
  shell.set<PreferencesController>(std::make_shared<PreferencesController>(
      context.clock, context.calendar, QString::fromLatin1(muteShortcutName)));
  shell.set<CalendarConsentPrompt>(std::make_shared<CalendarConsentPrompt>());
  return w;
}

}  // namespace vorlane
