#include "app/application_entry.h"

#include <malloc.h>

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

#include "app/app_delegate.h"
#include "app/display_check.h"
#include "app/instance_contest.h"
#include "app/own_records.h"
#include "app/qt_platform_plugin.h"
#include "app/system_app_services.h"
#include "app/termination_deadline.h"
#include "app/termination_signals.h"
#include "app/x11_display_hold.h"
#include "foundation/system_zone.h"
#include "platform/logging/log.h"
#include "platform/logging/log_handler.h"
#include "platform/persistence/atomic_file.h"
#include "platform/persistence/xdg_folders.h"
#include "platform/session/instance_activation.h"
#include "platform/session/instance_locks.h"
#include "platform/session/process_settings.h"
#include "ui/kit/desktop_style.h"
#include "ui/kit/window_cache_release.h"

#ifndef VORLANE_VERSION
#define VORLANE_VERSION ""
#endif

namespace vorlane {
namespace {

// Ends the process a few seconds after its end has begun, if the orderly end has not ended it
// by then. Never freed: it watches the destructors run at exit too.
TerminationDeadline& endingDeadline() {
  static TerminationDeadline& deadline = *new TerminationDeadline();
  return deadline;
}

// Names a stage of the end as it goes, which is just before what was declared before it goes.
class EndingStageMark {
 public:
  explicit EndingStageMark(const char* stage) : stage_(stage) {}
  EndingStageMark(const EndingStageMark&) = delete;
  EndingStageMark& operator=(const EndingStageMark&) = delete;
  ~EndingStageMark() { endingDeadline().enter(stage_); }

 private:
  const char* stage_;
};

// Writes what the end must not lose, the running focus and the settings, with the end's
// clock running; the rest of the end then has a few seconds.
void endDelegate(AppDelegate& delegate, int status) {
  endingDeadline().begin(status);
  delegate.applicationWillTerminate();
  endingDeadline().saved();
}

// The delegate while the event loop may run. Qt's X client calls exit() when the X server
// goes away (at logout it may go before our SIGTERM), so the shut-down is also tied to the
// process's exit; the delegate's own guard keeps it to one run.
AppDelegate* liveDelegate = nullptr;

void terminateAtExit() {
  if (liveDelegate == nullptr) return;
  // Qt's X client ends with 1 when the X server has gone.
  endDelegate(*liveDelegate, 1);
  endingDeadline().enter("exiting");
}

void logZoneFallback(const std::string& zoneID) {
  Log::lifecycle().error(
      "time zone %{public}s is missing from the system's time-zone database; using ICU's "
      "own rules for it",
      zoneID);
}

// Settles whether this launch runs, against a copy that holds the lock (or, without a lock,
// the bus name). Publishes the activation as soon as this copy is the one, so that later
// launches are answered even while it is still starting. False when another copy runs: it
// has then been asked to show itself, and stderr says so.
bool becomeTheOneVorlane(InstanceLocks& locks, const QDBusConnection& bus,
                         const std::function<bool()>& onActivate,
                         std::unique_ptr<InstanceActivation>& activation) {
  const bool free = locks.take();
  // Without any lock the name itself decides.
  const bool guarded = !free || locks.guards();
  // With the locks this copy is the one: it waits in line for a name its ended predecessor
  // may still hold.
  const auto publish = [&] {
    activation = InstanceActivation::publish(
        bus, onActivate,
        guarded ? InstanceActivation::Claim::inLine : InstanceActivation::Claim::ifFree);
    return activation != nullptr;
  };
  if (!guarded && !bus.isConnected()) {
    Log::lifecycle().error(
        "no instance lock and no session bus: a second launch cannot be detected");
    return true;
  }
  if (guarded && free) {
    publish();
    return true;
  }
  if (!guarded && publish()) return true;
  InstanceContest contest{
      .claim = [&] { return guarded ? locks.take() : publish(); },
      .askHolderToShow =
          [&](std::chrono::milliseconds limit) {
            return InstanceActivation::activateRunning(bus, static_cast<int>(limit.count()));
          },
      .pause = [](std::chrono::milliseconds interval) { std::this_thread::sleep_for(interval); },
      .now = [] { return std::chrono::steady_clock::now(); },
  };
  switch (contest.settle()) {
    case InstanceContest::Outcome::claimed:
      if (guarded) publish();
      Log::lifecycle().info("the Vorlane that was running has ended; this launch runs instead");
      return true;
    case InstanceContest::Outcome::otherShown:
      std::fprintf(stderr, "vorlane: Vorlane is already running; it shows itself now\n");
      return false;
    case InstanceContest::Outcome::otherSilent:
      std::fprintf(stderr, "vorlane: Vorlane is already running\n");
      return false;
  }
  return false;
}

// Saves killed mid-write (a crash, a logout that would not wait) leave their temporary files
// beside the records, where nothing else would ever remove them. Only the copy holding the
// instance locks may: these outlive every save of the copy before it, so no save can still
// be running. Without them a copy that has ended may still be finishing its last save.
void removeTemporariesOfKilledSaves(const InstanceLocks& locks) {
  if (!locks.guards()) return;
  const std::pair<std::optional<std::filesystem::path>, bool (*)(std::string_view)> folders[] = {
      {configFolder(), &isOwnRecordFile}, {dataFolder(), &isOwnDataFile}};
  for (const auto& [folder, isOwn] : folders) {
    if (!folder) continue;
    for (const auto& removed : removeLeftoverTemporaries(*folder, isOwn)) {
      Log::lifecycle().info("removed %{public}s, left by a save that was interrupted",
                            removed.string());
    }
  }
}

}  // namespace

int runApplication(int argc, char** argv) {
  installLogHandler();
  setZoneFallbackObserver(&logZoneFallback);

  const DisplayEnvironment environment = currentDisplayEnvironment();
  // The X display that answered stays connected until Qt has connected to it too.
  X11DisplayHold display;
  if (const auto problem = missingDisplayMessage(
          environment, [&display](const std::string& name) { return display.open(name); },
          [] { return qtPlatformPluginLoads("wayland"); })) {
    std::fprintf(stderr, "%s\n", problem->c_str());
    return 1;
  }
  const QtPlatformChoice platforms = qtPlatformsFor(environment);
  if (platforms.waylandSetAside) {
    Log::lifecycle().info(
        "QT_QPA_PLATFORM \"%{public}s\" names only Wayland platforms; Vorlane needs X11, so it "
        "runs on xcb on the X display \"%{public}s\"",
        *environment.qtPlatform, *environment.x11Display);
  }
  setenv("QT_QPA_PLATFORM", platforms.platforms.c_str(), 1);
  // Held until the process ends.
  const std::unique_ptr<InstanceLocks> instance = InstanceLocks::forThisSession();
  applyProcessSettings();

  // Before the process ends: the static objects at exit, the locks.
  const EndingStageMark exiting("exiting");
  QApplication application(argc, argv);
  // The X connection and the buses' threads close with the application.
  const EndingStageMark closingApplication("closing the application");
  display.release();
  QApplication::setApplicationName(QStringLiteral("Vorlane"));
  QApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("com.corvantis.vorlane"));
  QApplication::setQuitOnLastWindowClosed(false);
  // The desktop's style, its buttons with room around their titles; the application owns it.
  QApplication::setStyle(new DesktopStyle());

  // A later launch reaches this one through the bus and sees the mascot visit, as "Show me";
  // one that asks while this one is still starting is shown once it has started.
  AppDelegate* launched = nullptr;
  bool askedWhileStarting = false;
  // A copy told to end no longer answers, so that the launch waits for it to go.
  const auto onActivate = [&launched, &askedWhileStarting] {
    if (TerminationSignals::received()) return false;
    if (launched != nullptr) {
      launched->vorlaneNow();
    } else {
      askedWhileStarting = true;
    }
    return true;
  };
  std::unique_ptr<InstanceActivation> activation;
  if (!becomeTheOneVorlane(*instance, QDBusConnection::sessionBus(), onActivate, activation)) {
    return 0;
  }
  // Before any record is read or written.
  removeTemporariesOfKilledSaves(*instance);

  SystemAppServices services;
  const EndingStageMark closingServices("closing the desktop services");
  AppDelegate delegate(services, [](const char* stage) { endingDeadline().enter(stage); });
  const WindowCacheRelease cacheRelease(application);
  // However the end comes, its clock starts first. A copy that is quitting stops answering
  // later launches at once, so that they wait for the lock instead of leaving it to a copy
  // about to go.
  const auto beginEnd = [&activation] {
    endingDeadline().begin(0);
    endingDeadline().enter("giving the bus name back");
    activation.reset();
  };
  const TerminationSignals endingSignals([&beginEnd](int) {
    beginEnd();
    QCoreApplication::quit();
  });
  // Every quit, the tray's Quit too.
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, [&delegate, &beginEnd] {
    beginEnd();
    endDelegate(delegate, 0);
    endingDeadline().enter("leaving the event loop");
  });
  liveDelegate = &delegate;
  static const bool registered = std::atexit(&terminateAtExit) == 0;
  (void)registered;

  if (!delegate.applicationDidFinishLaunching()) {
    liveDelegate = nullptr;
    std::fprintf(stderr, "vorlane: nothing to show in this build\n");
    return 1;
  }
  launched = &delegate;
  if (askedWhileStarting) delegate.vorlaneNow();
  // Start-up frees much of what it built (the scene, the menus, the settings); the freed
  // pages go back once the first drawing is done.
  QTimer::singleShot(5000, [] { malloc_trim(0); });
  QApplication::exec();
  beginEnd();
  endDelegate(delegate, 0);
  liveDelegate = nullptr;
  launched = nullptr;
  endingDeadline().enter("taking down what launch built");
  return 0;
}

}  // namespace vorlane
