#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "coordination/calendar_focus/calendar_focus_model.h"
#include "coordination/coordinator/visit_coordinator.h"
#include "core/settings/preferences.h"
#include "tests/app/fake_app_services.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/menu_action.h"
#include "tests/support/visit_coordinator_peer.h"
#include "ui/tray/status_item_controller.h"
#include "ui/windows/welcome/welcome_view.h"

namespace vorlane {
namespace {

class AppDelegateTest : public testing::Test {
 protected:
  void SetUp() override { QCoreApplication::setApplicationVersion(QStringLiteral("2.3.4")); }

  // The stored settings as a fresh store would read them.
  Preferences stored() { return RecordPreferencesStore(services.recordStore).preferences(); }
  void storeWelcomed() {
    RecordPreferencesStore(services.recordStore).modify([](Preferences& p) {
      p.hasCompletedOnboarding = true;
    });
  }
  std::vector<std::string> lifecycle() const { return logMessages(log, "lifecycle"); }

  LogCapture log;
  FakeAppServices services;
};

TEST_F(AppDelegateTest, LaunchBuildsTheServicesInOrderAndStartsTheCoordinator) {
  storeWelcomed();
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());

  EXPECT_EQ(services.made,
            (std::vector<std::string>{"reminders", "presenter", "speech", "ticker", "notifications",
                                      "environment", "hot keys", "session timers", "windows",
                                      "system events", "calendar source"}));
  EXPECT_EQ(services.tickInterval, 30);
  ASSERT_NE(delegate.coordinator(), nullptr);
  // Started: the heartbeat runs, notifications were asked for, the mascot got its settings.
  EXPECT_TRUE(services.ticker->running);
  EXPECT_EQ(services.notifications->authorizationRequests, 1);
  EXPECT_GE(services.presenter->presenceApplications, 1);
  // The coordinator follows the desktop's screen events.
  services.systemEvents->away.notify();
  EXPECT_TRUE(VisitCoordinatorPeer::delivery(*delegate.coordinator()).screenIsAway());
  ASSERT_FALSE(lifecycle().empty());
  EXPECT_EQ(lifecycle().front(), "Vorlane launching");
  // Launch at login is left alone until a setting changes.
  EXPECT_EQ(std::count(services.made.begin(), services.made.end(), "launch at login"), 0);
  EXPECT_EQ(delegate.welcomeWindow(), nullptr);
}

// Regression: a record kept unread (a value nested far too deep, say) was shown only in its
// window; the log said nothing of it.
TEST_F(AppDelegateTest, RecordsKeptUnreadAreNamedInTheLogAtLaunch) {
  storeWelcomed();
  const std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
  for (const char* key : {RecordFocusHistoryStore::key, RecordDailyPrioritiesStore::key}) {
    services.recordStore.setData(key, deep);
  }
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  const auto lines = lifecycle();
  for (const char* record : {"focus history", "daily priorities"}) {
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "the stored " + std::string(record) +
                             " could not be read: kept as it was, and not saved over until it "
                             "is cleared"),
              1)
        << record;
  }
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) {
                            return line.find("checkpoint") != std::string::npos;
                          }),
            0)
      << "a readable record is not named";
}

TEST_F(AppDelegateTest, WithoutAPresenterNothingStarts) {
  services.withPresenter = false;
  AppDelegate delegate(services);
  EXPECT_FALSE(delegate.applicationDidFinishLaunching());
  EXPECT_EQ(delegate.coordinator(), nullptr);
  EXPECT_FALSE(services.ticker->running);
  EXPECT_EQ(services.made, (std::vector<std::string>{"reminders", "presenter"}));
  const auto lines = log.lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().level, LogLevel::fault);
  delegate.applicationWillTerminate();  // still safe
}

TEST_F(AppDelegateTest, FirstLaunchStoresWelcomedBeforeTheWindowShowsAndOnlyOnce) {
  {
    AppDelegate delegate(services);
    ASSERT_TRUE(delegate.applicationDidFinishLaunching());
    EXPECT_TRUE(stored().hasCompletedOnboarding);
    QWidget* window = delegate.welcomeWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Welcome to Vorlane");
    auto* view = window->findChild<WelcomeView*>();
    ASSERT_NE(view, nullptr);
    // The write is not one of the login item's: it was left unread, nothing was done or
    // logged.
    EXPECT_TRUE(services.login.welcomeShownAtLook.empty());
    for (const auto& line : lifecycle())
      EXPECT_EQ(line.rfind("launch at login", 0), std::string::npos);
    // Not now closes the window and its content goes.
    const QPointer<QWidget> watched(view);
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(delegate.welcomeWindow(), nullptr);
    EXPECT_FALSE(window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
  }
  services.presenter = std::make_shared<FakeVisitPresenter>();
  services.ticker = std::make_shared<FakeTicker>();
  AppDelegate second(services);
  ASSERT_TRUE(second.applicationDidFinishLaunching());
  EXPECT_EQ(second.welcomeWindow(), nullptr);
  EXPECT_FALSE(welcomeWindowShown());
}

// The login item follows the setting only where the entry disagrees with it, and only once
// the coordinator has applied the change.
TEST_F(AppDelegateTest, SettingChangesApplyToTheCoordinatorThenToTheLoginItem) {
  struct Row {
    const char* name;
    bool requested;
    LaunchAtLoginStatus status;
    bool failing;
    bool service;
    int registrations;
    int unregistrations;
    const char* line;
  };
  const Row rows[] = {
      {"enable", true, LaunchAtLoginStatus::notRegistered, false, true, 1, 0,
       "launch at login set to true"},
      {"already enabled", true, LaunchAtLoginStatus::enabled, false, true, 0, 0, nullptr},
      {"disable", false, LaunchAtLoginStatus::enabled, false, true, 0, 1,
       "launch at login set to false"},
      {"already disabled", false, LaunchAtLoginStatus::notRegistered, false, true, 0, 0, nullptr},
      {"refused", true, LaunchAtLoginStatus::notRegistered, true, true, 1, 0,
       "launch at login failed: <private>"},
      {"no login item service", true, LaunchAtLoginStatus::notRegistered, false, false, 0, 0,
       "launch at login failed: <private>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeAppServices fresh;
    // Stored the other way, so that every row changes the setting.
    RecordPreferencesStore(fresh.recordStore).modify([&](Preferences& p) {
      p.hasCompletedOnboarding = true;
      p.launchAtLogin = !row.requested;
    });
    fresh.login.status = row.status;
    fresh.login.failing = row.failing;
    fresh.withLaunchAtLogin = row.service;
    AppDelegate delegate(fresh);
    ASSERT_TRUE(delegate.applicationDidFinishLaunching());
    const int applied = fresh.presenter->presenceApplications;
    const LogCapture changeLog;
    std::vector<int> appliedAtLook;
    fresh.login.onLook = [&] { appliedAtLook.push_back(fresh.presenter->presenceApplications); };

    // Another field changes too, one the mascot reads, so that the presenter hears of it.
    delegate.preferencesStore()->modify([&](Preferences& p) {
      p.launchAtLogin = row.requested;
      p.showCurrentTime = !p.showCurrentTime;
    });

    // The coordinator follows the store itself: every row changes the record once.
    EXPECT_EQ(fresh.presenter->presenceApplications, applied + 1);
    // The login item is looked at after the coordinator applied the change, never before.
    ASSERT_FALSE(appliedAtLook.empty());
    for (int seen : appliedAtLook) EXPECT_EQ(seen, applied + 1);
    EXPECT_EQ(fresh.login.registrations, row.registrations);
    EXPECT_EQ(fresh.login.unregistrations, row.unregistrations);
    EXPECT_EQ(logMessages(changeLog, "lifecycle"),
              row.line ? std::vector<std::string>{row.line} : std::vector<std::string>{});
    // Nothing is reverted or retried, and an unchanged record does not look again.
    EXPECT_EQ(delegate.preferencesStore()->preferences().launchAtLogin, row.requested);
    const size_t looks = fresh.login.welcomeShownAtLook.size();
    delegate.preferencesStore()->setPreferences(delegate.preferencesStore()->preferences());
    EXPECT_EQ(fresh.login.welcomeShownAtLook.size(), looks);
  }
}

// A step of the placement slider moves the mascot once and leaves the login item unread;
// the setting itself is looked at once.
TEST_F(AppDelegateTest, APlacementStepMovesTheMascotOnceAndLeavesTheLoginItemUnread) {
  storeWelcomed();
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  const int presence = services.presenter->presenceApplications;

  delegate.preferencesStore()->modify(
      [](Preferences& p) { p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0.3, 0)); });
  EXPECT_EQ(services.presenter->placementApplications, 1);
  EXPECT_EQ(services.presenter->presenceApplications, presence);
  EXPECT_EQ(std::count(services.made.begin(), services.made.end(), "launch at login"), 0);

  delegate.preferencesStore()->modify([](Preferences& p) { p.launchAtLogin = true; });
  EXPECT_EQ(services.login.welcomeShownAtLook.size(), 1u);
  EXPECT_EQ(services.login.registrations, 1);
  EXPECT_EQ(services.presenter->placementApplications, 1);
}

TEST_F(AppDelegateTest, ShutDownSavesTheRunningFocusStopsSpeechAndLogsOnce) {
  storeWelcomed();
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  delegate.coordinator()->focus().requestNewPomodoro();
  ASSERT_TRUE(services.windows.focusSessionEditor->start);
  services.windows.focusSessionEditor->start("Write the report");
  ASSERT_TRUE(delegate.coordinator()->focus().pomodoro().isRunning());
  EXPECT_EQ(services.recordStore.writeCount("focusRecovery.v1"), 0);

  delegate.applicationWillTerminate();
  delegate.applicationWillTerminate();

  EXPECT_EQ(services.recordStore.writeCount("focusRecovery.v1"), 1);
  EXPECT_EQ(services.speech->stops, 1);
  const auto lines = lifecycle();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Vorlane terminating");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Vorlane terminating"), 1);
}

// Each stage of the end is named as it starts; the running focus is saved in the first, before
// any stage that may wait on another process, and the teardown names its stages too.
TEST_F(AppDelegateTest, TheEndNamesItsStagesAndSavesTheFocusBeforeAllOthers) {
  storeWelcomed();
  std::vector<std::pair<std::string, int>> stages;  // with the focus saves done by then
  {
    AppDelegate delegate(services, [&](const char* stage) {
      stages.emplace_back(stage, services.recordStore.writeCount("focusRecovery.v1"));
    });
    ASSERT_TRUE(delegate.applicationDidFinishLaunching());
    delegate.coordinator()->focus().requestNewPomodoro();
    ASSERT_TRUE(services.windows.focusSessionEditor->start);
    services.windows.focusSessionEditor->start("Write the report");
    delegate.applicationWillTerminate();
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(stages.front().first, "saving the running focus");
    EXPECT_EQ(stages.front().second, 0);
    EXPECT_EQ(stages.back().first, "silencing speech");
    for (std::size_t i = 1; i < stages.size(); ++i) {
      EXPECT_EQ(stages[i].second, 1) << stages[i].first;
    }
  }
  EXPECT_NE(std::find_if(stages.begin(), stages.end(),
                         [](const auto& s) { return s.first == "closing the coordinator"; }),
            stages.end());
}

// The coordinator reads the services' reduce-motion setting, not a default of its own.
TEST_F(AppDelegateTest, CompletionRemindersFollowTheDesktopsReduceMotionSetting) {
  for (const bool reduce : {false, true}) {
    SCOPED_TRACE(reduce);
    FakeAppServices fresh;
    RecordPreferencesStore(fresh.recordStore).modify([](Preferences& p) {
      p.hasCompletedOnboarding = true;
    });
    fresh.reduceMotion = reduce;
    AppDelegate delegate(fresh);
    ASSERT_TRUE(delegate.applicationDidFinishLaunching());
    delegate.coordinator()->focus().requestNewPomodoro();
    fresh.windows.focusSessionEditor->start("Write the report");
    fresh.presenter->finishVisit();
    ASSERT_FALSE(fresh.timers.made.empty());
    for (const int second : {0, 31}) {
      fresh.fakeClock->set(*Calendar("Europe/Berlin", "en_GB").date(2026, 3, 10, 11, 24, second));
      fresh.timers.made.back()->fire();
      fresh.presenter->finishVisit();
    }
    EXPECT_EQ(fresh.presenter->completionReminders, (std::vector<bool>{reduce}));
  }
}

TEST_F(AppDelegateTest, TearDownReleasesTheShortcutsAndTheWindows) {
  storeWelcomed();
  std::optional<AppDelegate> delegate(std::in_place, services);
  ASSERT_TRUE(delegate->applicationDidFinishLaunching());
  std::vector<std::uint32_t> registered;
  for (std::uint32_t id : {muteHotKey.identifier, quickCommandHotKey.identifier}) {
    if (services.hotKeys->isRegistered(id)) registered.push_back(id);
  }
  delegate->showAbout();
  const QPointer<QWidget> about(delegate->aboutWindow());
  delegate.reset();
  for (std::uint32_t id : registered) EXPECT_FALSE(services.hotKeys->isRegistered(id));
  EXPECT_TRUE(about.isNull());
  // Nothing the delegate built still holds the mascot.
  EXPECT_EQ(services.presenter.use_count(), 1);
}

TEST_F(AppDelegateTest, AboutIsMadeAgainAfterACloseAndShowsTheVersionOrTheFallback) {
  for (const auto& [version, line] : {std::pair{"2.3.4", "Version 2.3.4"}, {"", "Version 0.1.0"}}) {
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version));
    AppDelegate delegate(services);
    delegate.showAbout();
    const QPointer<QWidget> first(delegate.aboutWindow());
    ASSERT_FALSE(first.isNull());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "a closed window is deleted";
    delegate.showAbout();
    QWidget* again = delegate.aboutWindow();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    QStringList texts;
    for (const QLabel* label : again->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QString::fromLatin1(line))) << line;
  }
}

// The status item as the shell builds it: told of every change, its commands reaching the
// coordinator and the shell's own windows.
TEST_F(AppDelegateTest, TheStatusItemFollowsTheCoordinatorAndItsMenuReachesTheShell) {
  storeWelcomed();
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  StatusItemController* item = delegate.statusItem();
  ASSERT_NE(item, nullptr);
  delegate.coordinator()->mute(MuteDuration::oneHour);
  EXPECT_EQ(item->button().symbol, "figure.climbing.circle");
  EXPECT_EQ(item->toolTip().left(22), "Vorlane - muted until ");
  delegate.coordinator()->reminders().unmute();

  // Opens the menu as the tray does, runs the entry, and lets it run once the menu closed.
  const auto choose = [&](const QString& title) {
    emit item->menu()->aboutToShow();
    QAction* action = actionTitled(*item->menu(), title);
    if (action == nullptr || !action->isEnabled()) return false;
    action->trigger();
    QCoreApplication::processEvents();
    return true;
  };
  ASSERT_TRUE(choose("For 15 minutes"));
  EXPECT_TRUE(delegate.coordinator()->reminders().mutedUntil().has_value());
  delegate.coordinator()->reminders().unmute();
  ASSERT_TRUE(choose("Vorlane now"));
  EXPECT_FALSE(services.presenter->performed.empty());
  ASSERT_TRUE(choose("About Vorlane"));
  ASSERT_NE(delegate.aboutWindow(), nullptr);
  EXPECT_TRUE(delegate.aboutWindow()->isVisible());
  // Preferences opens on the last panel shown; Appearance selects its own.
  ASSERT_NE(delegate.preferencesNavigation(), nullptr);
  delegate.preferencesNavigation()->setSelection(PreferencesSection::voice);
  ASSERT_TRUE(choose("Preferences..."));
  ASSERT_NE(delegate.preferencesWindow(), nullptr);
  EXPECT_TRUE(delegate.preferencesWindow()->isVisible());
  EXPECT_EQ(delegate.preferencesNavigation()->selection(), PreferencesSection::voice);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(AppDelegateTest, TheCalendarFocusReadsAsFarAsTheWorkLengthAndKeepsItsOptIn) {
  RecordPreferencesStore(services.recordStore).modify([](Preferences& p) {
    p.hasCompletedOnboarding = true;
    p.workMinutes = 40;
  });
  services.recordStore.setData("calendarFocusEnabled", "true");
  services.calendarSource->accessNow = CalendarAccess::granted;
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  ASSERT_TRUE(delegate.coordinator()->status().windows.contains(WindowKind::calendarFocus));
  delegate.coordinator()->show(WindowKind::calendarFocus);
  CalendarFocusModel* model = services.windows.calendar->model;
  ASSERT_NE(model, nullptr);
  EXPECT_TRUE(model->isEnabled());  // the stored opt-in, read at launch
  EXPECT_TRUE(services.calendarSource->asked.empty());

  model->refresh();
  ASSERT_EQ(services.calendarSource->asked.size(), 1u);
  const DateInterval asked = services.calendarSource->asked[0];
  EXPECT_EQ(asked.start, services.fakeClock->peek());
  EXPECT_EQ(asked.end - asked.start, (40 + 2) * 60);
}

TEST_F(AppDelegateTest, PreferencesAreMadeOnUseDeletedWhenClosedAndGoBeforeTheStore) {
  storeWelcomed();
  std::optional<AppDelegate> delegate(std::in_place, services);
  delegate->showPreferences(PreferencesSection::general);
  EXPECT_EQ(delegate->preferencesWindow(), nullptr) << "nothing to edit before launch";
  ASSERT_TRUE(delegate->applicationDidFinishLaunching());
  EXPECT_EQ(delegate->preferencesWindow(), nullptr) << "made on first use only";

  delegate->showPreferences();
  QPointer<QWidget> window(delegate->preferencesWindow());
  ASSERT_FALSE(window.isNull());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vorlane Preferences"));
  ASSERT_NE(delegate->preferencesNavigation(), nullptr);
  EXPECT_EQ(delegate->preferencesNavigation()->selection(), PreferencesSection::general)
      << "the panel asked for before launch";
  const QPointer<QWidget> closed(window);
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closed.isNull()) << "a closed window is deleted";
  EXPECT_EQ(delegate->preferencesWindow(), nullptr);
  delegate->showPreferences(PreferencesSection::appearance);
  window = delegate->preferencesWindow();
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(delegate->preferencesNavigation()->selection(), PreferencesSection::appearance);

  // A change made in the window reaches the coordinator through the store's hook.
  auto* halfHour = window->findChild<QCheckBox*>();
  EXPECT_EQ(halfHour, nullptr) << "the Appearance page has no toggle yet";
  delegate->showPreferences(PreferencesSection::focus);
  QCheckBox* toggle = nullptr;
  for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
    if (box->text() == QStringLiteral("Celebrate a finished session")) toggle = box;
  }
  ASSERT_NE(toggle, nullptr);
  toggle->click();
  EXPECT_FALSE(delegate->preferencesStore()->preferences().celebrateSessions);
  EXPECT_FALSE(stored().celebrateSessions);

  delegate.reset();
  EXPECT_TRUE(window.isNull());
}

TEST_F(AppDelegateTest, ThePreviewsSpeakThroughTheSpeechServiceAndCelebrateOnTheMascot) {
  storeWelcomed();
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  const auto press = [&](PreferencesSection section, const QString& title) {
    delegate.showPreferences(section);
    for (QPushButton* button : delegate.preferencesWindow()->findChildren<QPushButton*>()) {
      if (button->text() == title) {
        button->click();
        return true;
      }
    }
    return false;
  };
  services.presenter->finishVisit();
  const std::size_t spokenBefore = services.speech->spoken.size();
  ASSERT_TRUE(press(PreferencesSection::voice, QStringLiteral("Preview voice")));
  ASSERT_EQ(services.speech->spoken.size(), spokenBefore + 1);
  EXPECT_EQ(services.speech->spoken.back().text.rfind("It's ", 0), 0u);
  EXPECT_EQ(services.speech->spoken.back().moment, services.fakeClock->now());

  ASSERT_TRUE(press(PreferencesSection::focus, QStringLiteral("Preview celebration")));
  ASSERT_FALSE(services.presenter->performed.empty());
  EXPECT_EQ(services.presenter->performed.back().bubbleText, "Nice work");
}

// A window left out of the registry does not exist: its menu entry is disabled and asking
// for it does nothing, while what goes with it (the welcomed flag) still happens.
TEST_F(AppDelegateTest, WindowsMissingFromTheRegistryAreNeitherOfferedNorOpened) {
  services.shellWindows = false;
  AppDelegate delegate(services);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  EXPECT_TRUE(stored().hasCompletedOnboarding);
  EXPECT_EQ(delegate.welcomeWindow(), nullptr);
  delegate.showAbout();
  EXPECT_EQ(delegate.aboutWindow(), nullptr);
  StatusItemController* item = delegate.statusItem();
  ASSERT_NE(item, nullptr);
  emit item->menu()->aboutToShow();
  for (const char* entry : {"About Vorlane", "Preferences...", "Appearance…"}) {
    const QAction* action = actionTitled(*item->menu(), QString::fromUtf8(entry));
    ASSERT_NE(action, nullptr) << entry;
    EXPECT_FALSE(action->isEnabled()) << entry;
  }
  delegate.showPreferences(PreferencesSection::focus);
  EXPECT_EQ(delegate.preferencesWindow(), nullptr);
  EXPECT_EQ(delegate.preferencesNavigation(), nullptr);
  EXPECT_EQ(std::count(services.made.begin(), services.made.end(), "windows"), 1);
}

// The About window is the shared host's: Escape closes (and deletes) it, and it comes back
// alike, where it was left.
TEST_F(AppDelegateTest, AboutClosesWithEscapeAndReopensAlike) {
  AppDelegate delegate(services);
  delegate.showAbout();
  const QPointer<QWidget> window(delegate.aboutWindow());
  ASSERT_FALSE(window.isNull());
  EXPECT_EQ(window->windowTitle(), "About Vorlane");
  EXPECT_EQ(window->size(), QSize(460, 340));
  window->move(25, 35);
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  delegate.showAbout();
  QWidget* again = delegate.aboutWindow();
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->isVisible());
  EXPECT_EQ(again->windowTitle(), "About Vorlane");
  EXPECT_EQ(again->size(), QSize(460, 340));
  EXPECT_EQ(again->pos(), QPoint(25, 35));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace vorlane
