#include "platform/desktop/tray/status_notifier_host_watch.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace vorlane {
namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString hostProperty = QStringLiteral("IsStatusNotifierHostRegistered");

QDBusMessage hostQuestion() {
  QDBusMessage get = QDBusMessage::createMethodCall(
      watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("Get"));
  get << watcherService << hostProperty;
  get.setAutoStartService(false);
  return get;
}

bool hostRegistered(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage) return false;
  const QVariant value = reply.arguments().value(0);
  const QVariant inner =
      value.typeId() == qMetaTypeId<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
  return inner.typeId() == QMetaType::Bool && inner.toBool();
}

}  // namespace

StatusNotifierHostWatch::StatusNotifierHostWatch(QDBusConnection sessionBus,
                                                 std::chrono::milliseconds timeout,
                                                 std::function<void()> changed)
    : bus_(std::move(sessionBus)),
      timeoutMs_(static_cast<int>(timeout.count())),
      watcherName_(watcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange),
      changed_(std::move(changed)) {
  if (!bus_.isConnected()) return;
  connect(&watcherName_, &QDBusServiceWatcher::serviceOwnerChanged, this,
          [this](const QString&, const QString&, const QString& newOwner) {
            if (newOwner.isEmpty()) {
              ++asked_;  // an answer still on its way speaks for the watcher that left
              answered(false);
            } else {
              ask();
            }
          });
  for (const char* change : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
    bus_.connect(watcherService, watcherPath, watcherService, QString::fromLatin1(change), this,
                 SLOT(hostsChanged()));
  }
  // The first answer is waited for, briefly, so the tray shows with the program; a watcher
  // too slow for that is asked again, without waiting.
  const QDBusMessage first = bus_.call(hostQuestion(), QDBus::Block, timeoutMs_);
  available_ = hostRegistered(first);
  if (first.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")) ask();
}

void StatusNotifierHostWatch::hostsChanged() { ask(); }

void StatusNotifierHostWatch::ask() {
  const std::uint64_t question = ++asked_;
  // Nothing waits for this answer: the bus's own timeout will do.
  auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(hostQuestion()), this);
  connect(pending, &QDBusPendingCallWatcher::finished, this,
          [this, question](QDBusPendingCallWatcher* reply) {
            reply->deleteLater();
            if (question == asked_) answered(hostRegistered(reply->reply()));
          });
}

void StatusNotifierHostWatch::answered(bool available) {
  if (available == available_) return;
  available_ = available;
  if (changed_) changed_();
}

}  // namespace vorlane
