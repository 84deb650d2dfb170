#include "platform/session/instance_activation.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QVariantMap>
#include <string>

#include "platform/logging/log.h"

namespace vorlane {
namespace {

const QString applicationInterface = QStringLiteral("org.freedesktop.Application");

}  // namespace

InstanceActivation::InstanceActivation(QDBusConnection bus, std::function<bool()> onActivate)
    : bus_(std::move(bus)), onActivate_(std::move(onActivate)) {}

std::unique_ptr<InstanceActivation> InstanceActivation::publish(QDBusConnection bus,
                                                                std::function<bool()> onActivate,
                                                                Claim claim) {
  if (!bus.isConnected()) {
    Log::lifecycle().debug("no session bus: a second launch cannot reach this one");
    return nullptr;
  }
  std::unique_ptr<InstanceActivation> activation(
      new InstanceActivation(bus, std::move(onActivate)));
  if (!bus.registerVirtualObject(QString::fromLatin1(objectPath), activation.get())) {
    Log::lifecycle().debug("could not register %{public}s on the session bus",
                           std::string(objectPath));
    return nullptr;
  }
  const bool owned = claim == Claim::ifFree
                         ? bus.registerService(QString::fromLatin1(serviceName))
                         : bus.interface()
                               ->registerService(QString::fromLatin1(serviceName),
                                                 QDBusConnectionInterface::QueueService,
                                                 QDBusConnectionInterface::DontAllowReplacement)
                               .isValid();
  if (!owned) {
    bus.unregisterObject(QString::fromLatin1(objectPath));
    Log::lifecycle().debug("the session bus name %{public}s is taken", std::string(serviceName));
    return nullptr;
  }
  return activation;
}

InstanceActivation::~InstanceActivation() {
  // Sent without waiting for the answer (QDBusConnection::unregisterService waits up to 25 s):
  // this runs as the program ends, when a bus that does not answer must not hold the end. The
  // bus takes its names from a process that has gone in any case.
  QDBusMessage release = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReleaseName"));
  release << QString::fromLatin1(serviceName);
  bus_.send(release);
  bus_.unregisterObject(QString::fromLatin1(objectPath));
}

bool InstanceActivation::activateRunning(QDBusConnection bus, int timeoutMs) {
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(serviceName), QString::fromLatin1(objectPath), applicationInterface,
      QStringLiteral("Activate"));
  call << QVariantMap();
  // Nothing is started for the name: only a running Vorlane may answer.
  call.setAutoStartService(false);
  const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}

QString InstanceActivation::introspect(const QString&) const {
  return QStringLiteral(
      "<interface name=\"org.freedesktop.Application\">"
      "<method name=\"Activate\"><arg type=\"a{sv}\" name=\"platform_data\" direction=\"in\"/>"
      "</method></interface>");
}

bool InstanceActivation::handleMessage(const QDBusMessage& message,
                                       const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage ||
      message.interface() != applicationInterface ||
      message.member() != QStringLiteral("Activate")) {
    return false;
  }
  // A copy: the callback may end up replacing this object.
  const auto activate = onActivate_;
  if (activate && !activate()) {
    connection.send(
        message.createErrorReply(QDBusError::Failed, QStringLiteral("Vorlane is quitting")));
    return true;
  }
  connection.send(message.createReply());
  Log::lifecycle().info("another launch asked to show Vorlane");
  return true;
}

}  // namespace vorlane
