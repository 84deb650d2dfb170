#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "core/contracts/system_event_source.h"
#include "foundation/observers.h"

namespace vorlane {

// Follows the screen and the machine over D-Bus and tells three things: the screen went
// away (screen saver on, session locked or switched away), it came back (screen saver off,
// unlocked, session active again), and the machine woke from suspend.
//
// Sources: `ActiveChanged` of the freedesktop and GNOME screen savers on the session bus;
// logind on the system bus, `PrepareForSleep(false)` of the manager and the own session's
// `Lock`, `Unlock` and `Active`/`LockedHint` changes. The own session is looked up in the
// background, so a slow logind neither holds up the start nor is missed: each of the two
// calls gives up after `timeout`, and a missing or silent logind is logged once and leaves
// the session unwatched. A screen already away when its signals are first followed (a
// session locked or a screen saver on during the start) is told as well, once. Main thread.
class SystemEventsMonitor final : public QObject, public SystemEventSource {
  Q_OBJECT

 public:
  // Seconds the machine has spent suspended since boot.
  using SuspendedTime = std::function<double()>;

  SystemEventsMonitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                      SuspendedTime suspendedTime = systemSuspendedSeconds,
                      std::chrono::milliseconds timeout = std::chrono::minutes(2));

  Observers<>& screenWentAway() override { return wentAway_; }
  Observers<>& screenCameBack() override { return cameBack_; }
  Observers<>& didWake() override { return didWake_; }

  // Tells a wake that logind has not reported yet, known by the suspended time having grown
  // by more than a second since the last one told, then calls `then`. Timers stall during
  // suspend and may fire after a resume before logind's signal; they do their work in `then`.
  // logind's own signal for a wake told here is then not told again. After logind announced
  // a sleep, the signals the bus already holds for us are taken first (one round trip, not
  // waited for: `then` runs when it is answered, or has failed), so that a wake sent while
  // the process was held (a stopped process or a paused machine, where the suspended time
  // does not grow) is told before the caller looks at the clock.
  void deliverPendingWake(std::function<void()> then) override;

  // The logind session followed; empty when none could be found or the lookup goes on.
  const QString& sessionPath() const { return sessionPath_; }

  // CLOCK_BOOTTIME minus CLOCK_MONOTONIC: the first counts suspend, the second does not.
  static double systemSuspendedSeconds();

 private slots:
  void screenSaverActiveChanged(bool active);
  void prepareForSleep(bool starting);
  void sessionLocked();
  void sessionUnlocked();
  void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                const QStringList& invalidated);

 private:
  void watchScreenSavers();
  void watchSleep();
  void watchSession();
  void askSessionPath(const QString& id);
  void followSession(const QString& path);
  // Asks where the screen stands now, after its signals are followed: a change before that
  // sends no signal of its own.
  void readScreenSaverState();
  void readSessionState();
  void tellAwayAtStart(int signalsBefore);
  // Sends `message` on `bus` and hands its answer (or error) to `done`; the caller never
  // waits. The answer is awaited `timeoutMs`, the monitor's own bound when absent.
  void callLater(QDBusConnection& bus, QDBusMessage message,
                 std::function<void(const QDBusMessage&)> done,
                 std::optional<int> timeoutMs = std::nullopt);
  void tellSuspendedWake();

  QDBusConnection systemBus_;
  QDBusConnection sessionBus_;
  SuspendedTime suspendedTime_;
  int timeoutMs_;
  QString sessionPath_;
  double suspendedAtLastWake_ = 0;
  bool wakeToldEarly_ = false;
  // logind said the machine is about to sleep, and no wake has been told since.
  bool sleepAnnounced_ = false;
  // Waiting for the bus to answer the wake check, in the order they asked.
  std::vector<std::function<void()>> afterWakeCheck_;
  // Screen saver and session signals taken so far: a state read is older than any of them.
  int screenSignals_ = 0;
  bool awayToldAtStart_ = false;
  Observers<> wentAway_;
  Observers<> cameBack_;
  Observers<> didWake_;
};

}  // namespace vorlane
