#include "app/application_entry.h"

#include <malloc.h>

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/app_delegate.h"
#include "app/display_check.h"
#include "app/system_app_services.h"
#include "app/termination_signals.h"
#include "foundation/system_zone.h"
#include "platform/logging/log.h"
#include "platform/logging/log_handler.h"
#include "platform/session/instance_activation.h"
#include "platform/session/instance_lock.h"
#include "ui/kit/desktop_style.h"
#include "ui/kit/window_cache_release.h"

#ifndef VORLANE_VERSION
#define VORLANE_VERSION ""
#endif

namespace vorlane {
namespace {

// The delegate while the event loop may run. Qt's X client calls exit() when the X server
// goes away (at logout it may go before our SIGTERM), so the shut-down is also tied to the
// process's exit; the delegate's own guard keeps it to one run.
AppDelegate* liveDelegate = nullptr;

void terminateAtExit() {
  if (liveDelegate != nullptr) liveDelegate->applicationWillTerminate();
}

void logZoneFallback(const std::string& zoneId) {
  Log::lifecycle().error(
      "time zone %{public}s is missing from the system's time-zone database; using ICU's "
      "own rules for it",
      zoneId);
}

// Takes this session's instance lock. Without one (no folder for it, or locks refused) the
// launch goes on unguarded, with an error line.
std::unique_ptr<InstanceLock> takeInstanceLock() {
  const auto file = InstanceLock::defaultLockFile();
  if (!file) {
    Log::lifecycle().error("no runtime or config folder: a second launch cannot be detected");
    return nullptr;
  }
  auto lock = std::make_unique<InstanceLock>(*file);
  if (lock->state() == InstanceLock::State::unavailable) {
    Log::lifecycle().error("instance lock %{public}s unavailable: %{public}s", file->string(),
                           lock->problem());
  }
  return lock;
}

// The second launch: asks the running Vorlane to show itself, says so, and ends with 0.
int handOverToRunningInstance(int argc, char** argv) {
  const QCoreApplication application(argc, argv);  // for the bus
  const bool shown = InstanceActivation::activateRunning(QDBusConnection::sessionBus());
  std::fprintf(stderr, "vorlane: Vorlane is already running%s\n",
               shown ? "; it shows itself now" : "");
  return 0;
}

}  // namespace

int runApplication(int argc, char** argv) {
  installLogHandler();
  setZoneFallbackObserver(&logZoneFallback);

  const DisplayEnvironment environment = currentDisplayEnvironment();
  if (const auto problem = missingDisplayMessage(environment, &canOpenX11Display)) {
    std::fprintf(stderr, "%s\n", problem->c_str());
    return 1;
  }
  setenv("QT_QPA_PLATFORM", qtPlatformsFor(environment).c_str(), 1);
  // Held until the process ends.
  const std::unique_ptr<InstanceLock> instance = takeInstanceLock();
  if (instance && instance->state() == InstanceLock::State::heldElsewhere) {
    return handOverToRunningInstance(argc, argv);
  }
  // The few threads (the X event queue, the bus) allocate little and never at the same time:
  // one heap serves them all, rather than a heap of its own each.
  mallopt(M_ARENA_MAX, 1);

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vorlane"));
  QApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("com.corvantis.vorlane"));
  QApplication::setQuitOnLastWindowClosed(false);
  // The desktop's style, its buttons with room around their titles; the application owns it.
  QApplication::setStyle(new DesktopStyle());

  SystemAppServices services;
  AppDelegate delegate(services);
  const WindowCacheRelease cacheRelease(application);
  const TerminationSignals endingSignals([](int) { QCoreApplication::quit(); });
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate,
                   [&delegate] { delegate.applicationWillTerminate(); });
  liveDelegate = &delegate;
  static const bool registered = std::atexit(&terminateAtExit) == 0;
  (void)registered;

  if (!delegate.applicationDidFinishLaunching()) {
    liveDelegate = nullptr;
    std::fprintf(stderr, "vorlane: nothing to show in this build\n");
    return 1;
  }
  // A second launch reaches this one through the bus and sees the mascot visit, as "Show me".
  const auto activation = InstanceActivation::publish(
      QDBusConnection::sessionBus(), [&delegate] { delegate.vorlaneNow(); });
  // Start-up frees much of what it built (the scene, the menus, the settings); the freed
  // pages go back once the first drawing is done.
  QTimer::singleShot(5000, [] { malloc_trim(0); });
  QApplication::exec();
  delegate.applicationWillTerminate();
  liveDelegate = nullptr;
  return 0;
}

}  // namespace vorlane
