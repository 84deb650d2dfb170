#include "platform/desktop/session_state/reduced_motion_setting.h"

#include <QDBusMessage>

#include "platform/desktop/session_state/portal_names.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString interfaceNamespace = QStringLiteral("org.gnome.desktop.interface");
const QString animationsKey = QStringLiteral("enable-animations");

// Deep enough for the portal's own nesting, shallow enough that a hostile value ends.
constexpr int maxVariantDepth = 4;

}  // namespace

ReducedMotionSetting::ReducedMotionSetting(QDBusConnection sessionBus,
                                           std::chrono::milliseconds timeout) {
  if (!sessionBus.isConnected()) {
    apply(std::nullopt, QStringLiteral("no session bus"));
    return;
  }
  // Followed before the read: a change sent meanwhile is delivered after the answer.
  sessionBus.connect(portal::service, portal::path, settingsInterface,
                     QStringLiteral("SettingChanged"), this,
                     SLOT(settingChanged(QString, QString, QDBusVariant)));
  QDBusMessage read = QDBusMessage::createMethodCall(portal::service, portal::path,
                                                     settingsInterface, QStringLiteral("Read"));
  read << interfaceNamespace << animationsKey;
  read.setAutoStartService(false);
  const QDBusMessage reply = sessionBus.call(read, QDBus::Block, static_cast<int>(timeout.count()));
  if (reply.type() != QDBusMessage::ReplyMessage) {
    apply(std::nullopt, reply.errorMessage());
    return;
  }
  apply(booleanInside(reply.arguments().value(0)), QStringLiteral("not a boolean"));
}

std::function<bool()> ReducedMotionSetting::reader(
    std::shared_ptr<const ReducedMotionSetting> setting) {
  return [setting = std::move(setting)] { return setting && setting->prefersReducedMotion(); };
}

std::optional<bool> ReducedMotionSetting::booleanInside(const QVariant& value) {
  QVariant inner = value;
  for (int depth = 0; depth < maxVariantDepth; ++depth) {
    if (inner.typeId() == QMetaType::Bool) return inner.toBool();
    if (inner.typeId() != qMetaTypeId<QDBusVariant>()) return std::nullopt;
    inner = inner.value<QDBusVariant>().variant();
  }
  return std::nullopt;
}

void ReducedMotionSetting::settingChanged(const QString& nameSpace, const QString& key,
                                          const QDBusVariant& value) {
  if (nameSpace != interfaceNamespace || key != animationsKey) return;
  apply(booleanInside(value.variant()), QStringLiteral("changed to a value that is not a boolean"));
}

void ReducedMotionSetting::apply(std::optional<bool> enableAnimations, const QString& why) {
  reduce_ = enableAnimations.has_value() && !*enableAnimations;
  if (!enableAnimations) {
    Log::lifecycle().debug("reduce motion unknown, animations stay on: %{public}s",
                           why.toStdString());
  }
}

}  // namespace vorlane
