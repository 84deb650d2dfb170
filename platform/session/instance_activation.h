#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <functional>
#include <memory>

namespace vorlane {

// How a second launch tells the running Vorlane to show itself: the running one owns the
// name "com.corvantis.vorlane" on the session bus and answers org.freedesktop.Application's
// Activate at "/com/corvantis/vorlane", as desktops activate an application by its desktop
// file name. Main thread only.
class InstanceActivation final : public QDBusVirtualObject {
 public:
  static constexpr const char* serviceName = "com.corvantis.vorlane";
  static constexpr const char* objectPath = "/com/corvantis/vorlane";

  // How the name is asked for: only if nobody owns it (the name decides which copy runs),
  // or in line behind an owner that is about to go (this copy holds the instance lock, and
  // a copy that has just ended may still own the name for a moment).
  enum class Claim { ifFree, inLine };

  // Takes the name and answers Activate by calling `onActivate`, which returns false when
  // this copy is ending: the caller then gets an error instead of an answer, and waits for
  // the lock. None, with a debug line, when there is no session bus or the name is taken
  // (when free only): Vorlane runs on, unreachable.
  static std::unique_ptr<InstanceActivation> publish(QDBusConnection bus,
                                                     std::function<bool()> onActivate,
                                                     Claim claim = Claim::ifFree);
  // Gives the name back without waiting for the bus, and stops answering.
  ~InstanceActivation() override;

  // Asks the Vorlane that owns the name to show itself, waiting at most `timeoutMs`;
  // whether it answered.
  [[nodiscard]] static bool activateRunning(QDBusConnection bus, int timeoutMs = 2000);

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  InstanceActivation(QDBusConnection bus, std::function<bool()> onActivate);

  QDBusConnection bus_;
  std::function<bool()> onActivate_;
};

}  // namespace vorlane
