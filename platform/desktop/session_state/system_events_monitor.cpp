#include "platform/desktop/session_state/system_events_monitor.h"

#include <time.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <utility>

#include "platform/logging/log.h"

namespace vorlane {
namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString managerPath = QStringLiteral("/org/freedesktop/login1");
const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// A wake is a suspend of more than this many seconds since the last one told.
constexpr double wakeThreshold = 1.0;
// Timers wait for the wake check: a bus that does not answer holds them no longer than this,
// well inside the lateness at which a visit is dropped.
constexpr int wakeCheckTimeoutMs = 25'000;

double seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void logUnavailable(const char* what, const QString& why) {
  Log::lifecycle().debug("%{public}s not available, not followed: %{public}s", what,
                         why.toStdString());
}

}  // namespace

double SystemEventsMonitor::systemSuspendedSeconds() {
  return seconds(CLOCK_BOOTTIME) - seconds(CLOCK_MONOTONIC);
}

SystemEventsMonitor::SystemEventsMonitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                                         SuspendedTime suspendedTime,
                                         std::chrono::milliseconds timeout)
    : systemBus_(std::move(systemBus)),
      sessionBus_(std::move(sessionBus)),
      suspendedTime_(suspendedTime ? std::move(suspendedTime) : systemSuspendedSeconds),
      timeoutMs_(static_cast<int>(timeout.count())) {
  suspendedAtLastWake_ = suspendedTime_();
  watchScreenSavers();
  watchSleep();
  watchSession();
}

void SystemEventsMonitor::watchScreenSavers() {
  if (!sessionBus_.isConnected()) {
    logUnavailable("session bus", sessionBus_.lastError().message());
    return;
  }
  // By interface only: GNOME sends it under its own name and path as well.
  for (const char* interface : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"}) {
    sessionBus_.connect(QString(), QString(), QString::fromLatin1(interface),
                        QStringLiteral("ActiveChanged"), this,
                        SLOT(screenSaverActiveChanged(bool)));
  }
  readScreenSaverState();
}

void SystemEventsMonitor::readScreenSaverState() {
  for (const char* name : {"freedesktop", "gnome"}) {
    const QString service = QStringLiteral("org.%1.ScreenSaver").arg(QLatin1String(name));
    const QString path =
        QLatin1Char('/') + QString(service).replace(QLatin1Char('.'), QLatin1Char('/'));
    callLater(
        sessionBus_,
        QDBusMessage::createMethodCall(service, path, service, QStringLiteral("GetActive")),
        [this, before = screenSignals_](const QDBusMessage& reply) {
          // No screen saver of that name is common and not worth a line.
          if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool()) {
            tellAwayAtStart(before);
          }
        });
  }
}

void SystemEventsMonitor::watchSleep() {
  if (!systemBus_.isConnected()) {
    logUnavailable("system bus", systemBus_.lastError().message());
    return;
  }
  systemBus_.connect(login1, managerPath, managerInterface, QStringLiteral("PrepareForSleep"), this,
                     SLOT(prepareForSleep(bool)));
}

// logind may be slow to answer at login, when this starts: nothing waits for the lookup, so
// its bound can be long. The "auto" session names the caller's session, but signals come
// from its real path.
void SystemEventsMonitor::watchSession() {
  if (!systemBus_.isConnected()) return;
  QDBusMessage get =
      QDBusMessage::createMethodCall(login1, managerPath + QStringLiteral("/session/auto"),
                                     propertiesInterface, QStringLiteral("Get"));
  get << sessionInterface << QStringLiteral("Id");
  callLater(systemBus_, get, [this](const QDBusMessage& reply) {
    const QVariant id = reply.arguments().value(0).value<QDBusVariant>().variant();
    if (reply.type() != QDBusMessage::ReplyMessage || id.typeId() != QMetaType::QString) {
      logUnavailable("login session", reply.errorMessage());
      return;
    }
    askSessionPath(id.toString());
  });
}

void SystemEventsMonitor::askSessionPath(const QString& id) {
  QDBusMessage getSession = QDBusMessage::createMethodCall(login1, managerPath, managerInterface,
                                                           QStringLiteral("GetSession"));
  getSession << id;
  callLater(systemBus_, getSession, [this](const QDBusMessage& reply) {
    const QVariant path = reply.arguments().value(0);
    if (reply.type() != QDBusMessage::ReplyMessage ||
        path.typeId() != qMetaTypeId<QDBusObjectPath>()) {
      logUnavailable("login session", reply.errorMessage());
      return;
    }
    followSession(path.value<QDBusObjectPath>().path());
  });
}

void SystemEventsMonitor::followSession(const QString& path) {
  sessionPath_ = path;
  systemBus_.connect(login1, sessionPath_, sessionInterface, QStringLiteral("Lock"), this,
                     SLOT(sessionLocked()));
  systemBus_.connect(login1, sessionPath_, sessionInterface, QStringLiteral("Unlock"), this,
                     SLOT(sessionUnlocked()));
  systemBus_.connect(login1, sessionPath_, propertiesInterface, QStringLiteral("PropertiesChanged"),
                     this, SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
  readSessionState();
}

void SystemEventsMonitor::readSessionState() {
  QDBusMessage getAll = QDBusMessage::createMethodCall(login1, sessionPath_, propertiesInterface,
                                                       QStringLiteral("GetAll"));
  getAll << sessionInterface;
  callLater(systemBus_, getAll, [this, before = screenSignals_](const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) {
      const auto properties = qdbus_cast<QVariantMap>(reply.arguments().value(0));
      const QVariant active = properties.value(QStringLiteral("Active"));
      const QVariant locked = properties.value(QStringLiteral("LockedHint"));
      if ((active.typeId() == QMetaType::Bool && !active.toBool()) ||
          (locked.typeId() == QMetaType::Bool && locked.toBool())) {
        tellAwayAtStart(before);
      }
    }
    // Whatever the answer, the session's own signals are followed from here on.
    Log::lifecycle().debug("following login session %{public}s", sessionPath_.toStdString());
  });
}

// A signal taken since the read was sent is newer than what the read found.
void SystemEventsMonitor::tellAwayAtStart(int signalsBefore) {
  if (awayToldAtStart_ || screenSignals_ != signalsBefore) return;
  awayToldAtStart_ = true;
  wentAway_.notify();
}

void SystemEventsMonitor::callLater(QDBusConnection& bus, QDBusMessage message,
                                    std::function<void(const QDBusMessage&)> done,
                                    std::optional<int> timeoutMs) {
  message.setAutoStartService(false);
  // Owned by this monitor: a lookup still going when it ends is dropped with it.
  auto* watcher =
      new QDBusPendingCallWatcher(bus.asyncCall(message, timeoutMs.value_or(timeoutMs_)), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [done = std::move(done)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            done(finished->reply());
          });
}

void SystemEventsMonitor::deliverPendingWake(std::function<void()> then) {
  if (!sleepAnnounced_ || !systemBus_.isConnected()) {
    tellSuspendedWake();
    then();
    return;
  }
  // After logind announced a sleep, its wake may already wait on the bus for us: a process
  // held across the sleep (stopped, or its machine paused) sees no suspended time grow. The
  // bus answers a call only after handing over what it holds for us, so once the answer is
  // here that wake has been told. Asked without blocking: a busy machine may take longer
  // than any bound a blocking call could keep.
  afterWakeCheck_.push_back(std::move(then));
  if (afterWakeCheck_.size() > 1) return;  // one question answers all who wait
  callLater(
      systemBus_,
      QDBusMessage::createMethodCall(
          QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
          QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")),
      [this](const QDBusMessage&) {
        // Signals read before the answer are posted before it; take them first.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        tellSuspendedWake();
        for (auto& waiting : std::exchange(afterWakeCheck_, {})) waiting();
      },
      wakeCheckTimeoutMs);
}

void SystemEventsMonitor::tellSuspendedWake() {
  const double suspended = suspendedTime_();
  if (suspended - suspendedAtLastWake_ <= wakeThreshold) return;
  suspendedAtLastWake_ = suspended;
  wakeToldEarly_ = true;
  sleepAnnounced_ = false;
  didWake_.notify();
}

void SystemEventsMonitor::prepareForSleep(bool starting) {
  sleepAnnounced_ = starting;
  if (starting) {
    Log::lifecycle().debug("the machine is going to sleep");
    return;
  }
  const double suspended = suspendedTime_();
  const bool alreadyTold = wakeToldEarly_ && suspended - suspendedAtLastWake_ <= wakeThreshold;
  suspendedAtLastWake_ = suspended;
  wakeToldEarly_ = false;
  if (!alreadyTold) didWake_.notify();
}

void SystemEventsMonitor::screenSaverActiveChanged(bool active) {
  ++screenSignals_;
  (active ? wentAway_ : cameBack_).notify();
}

void SystemEventsMonitor::sessionLocked() {
  ++screenSignals_;
  wentAway_.notify();
}

void SystemEventsMonitor::sessionUnlocked() {
  ++screenSignals_;
  cameBack_.notify();
}

void SystemEventsMonitor::sessionPropertiesChanged(const QString& interface,
                                                   const QVariantMap& changed, const QStringList&) {
  if (interface != sessionInterface) return;
  const QVariant active = changed.value(QStringLiteral("Active"));
  const QVariant locked = changed.value(QStringLiteral("LockedHint"));
  const bool isBool = active.typeId() == QMetaType::Bool;
  const bool lockedIsBool = locked.typeId() == QMetaType::Bool;
  if ((isBool && !active.toBool()) || (lockedIsBool && locked.toBool())) {
    ++screenSignals_;
    wentAway_.notify();
  } else if ((isBool && active.toBool()) || (lockedIsBool && !locked.toBool())) {
    ++screenSignals_;
    cameBack_.notify();
  }
}

}  // namespace vorlane
