// The application's windows as the registry makes them.

#include "app/window_registry.h"

#include <gtest/gtest.h>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_confirmation_prompt.h"
#include "tests/support/fake_url_opener.h"
#include "ui/preferences/window/preferences_controller.h"
#include "ui/windows/about/about_controller.h"
#include "ui/windows/calendar_consent/calendar_consent_prompt.h"
#include "ui/windows/welcome/welcome_controller.h"

namespace vorlane {
namespace {

// Every kind is registered once, where the one who opens it looks for it: the coordinator's
// among the features, the status item's and the shell's among the shell's.
TEST(WindowRegistry, EveryKindIsMadeWhereItsOpenerLooks) {
  const Calendar berlin("Europe/Berlin", "en_GB");
  const auto clock = std::make_shared<FakeClock>(*berlin.date(2026, 3, 10, 11, 0, 0));
  FakeConfirmationPrompt confirmation;
  FakeUrlOpener urls;
  const WindowRegistry w = registeredWindows({
      .clock = clock,
      .calendar = [berlin] { return berlin; },
      .services = {*clock, [berlin] { return berlin; }, confirmation, urls},
      .trayAvailable = [] { return true; },
  });
  using enum WindowKind;
  EXPECT_EQ(w.features.kinds(),
            (std::vector<WindowKind>{quickCommand, focusSessionEditor, resumeNote, today,
                                     focusHistory, weeklyReflection, calendarFocus}));
  EXPECT_EQ(w.shell.kinds(), (std::vector<WindowKind>{reminderEditor, preferences, about, welcome,
                                                      calendarConsent}));
  for (const WindowKind kind : allWindowKinds) EXPECT_TRUE(w.has(kind)) << static_cast<int>(kind);
  EXPECT_NE(w.features.get<TodayWindow>(), nullptr);
  EXPECT_NE(w.shell.get<ReminderEditorWindow>(), nullptr);
  EXPECT_NE(w.shell.get<AboutController>(), nullptr);
  EXPECT_NE(w.shell.get<WelcomeController>(), nullptr);
  EXPECT_NE(w.shell.get<PreferencesController>(), nullptr);
  EXPECT_NE(w.shell.get<CalendarConsentPrompt>(), nullptr);
}

}  // namespace
}  // namespace vorlane
