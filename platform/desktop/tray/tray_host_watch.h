#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace vorlane {

// Whether a tray host is there to show the program's status item: the desktop's
// StatusNotifierWatcher's "IsStatusNotifierHostRegistered".
//
// Asked once when made (at most `timeout`; a watcher that has not answered by then is asked
// again without waiting), then again without waiting whenever the watcher appears or a host
// comes or goes; asking `isAvailable` never touches the bus, so windows may
// ask as they open and the pointer as it moves. No bus, no watcher, no answer in time or an
// answer that is not a boolean all mean no tray. Main thread.
class TrayHostWatch final : public QObject {
  Q_OBJECT

 public:
  explicit TrayHostWatch(QDBusConnection sessionBus,
                         std::chrono::milliseconds timeout = std::chrono::milliseconds(250));

  bool isAvailable() const { return available_; }

  // A function over a shared watch, for whoever takes tray availability as a `bool()`.
  static std::function<bool()> reader(std::shared_ptr<const TrayHostWatch> watch);

 private slots:
  void hostsChanged();

 private:
  void ask();

  QDBusConnection bus_;
  int timeoutMs_;
  QDBusServiceWatcher watcherName_;
  bool available_ = false;
  // Only the latest question's answer counts.
  std::uint64_t asked_ = 0;
};

}  // namespace vorlane
