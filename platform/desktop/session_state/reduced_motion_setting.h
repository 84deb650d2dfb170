#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>
#include <QVariant>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vorlane {

// Whether the user asked the desktop for fewer animations: the desktop portal's
// "org.gnome.desktop.interface" "enable-animations" setting, negated.
//
// Read once when made (one call, at most `timeout`), then kept up to date from the portal's
// `SettingChanged` signal; asking never touches the bus, so it may be called every second.
// Unknown (no bus, no portal, no such key, no answer in time, not a boolean) means no
// reduction, logged once. Main thread.
class ReducedMotionSetting final : public QObject {
  Q_OBJECT

 public:
  explicit ReducedMotionSetting(QDBusConnection sessionBus,
                                std::chrono::milliseconds timeout = std::chrono::milliseconds(250));

  bool prefersReducedMotion() const { return reduce_; }

  // A function over a shared setting, for whoever takes reduce motion as a `bool()`.
  static std::function<bool()> reader(std::shared_ptr<const ReducedMotionSetting> setting);

  // The boolean inside a portal value, which arrives wrapped in one variant or, from
  // `Read`, in a variant inside a variant; none when it holds anything else.
  static std::optional<bool> booleanInside(const QVariant& value);

 private slots:
  void settingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

 private:
  void apply(std::optional<bool> enableAnimations, const QString& why);

  bool reduce_ = false;
};

}  // namespace vorlane
