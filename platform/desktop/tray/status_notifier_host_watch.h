#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace vorlane {

// Whether a StatusNotifierItem host is there to show the program's status item: the desktop's
// StatusNotifierWatcher's "IsStatusNotifierHostRegistered".
//
// Asked once when made (at most `timeout`; a watcher that has not answered by then is asked
// again without waiting), then again without waiting whenever the watcher appears or a host
// comes or goes; asking `isAvailable` never touches the bus, so windows may
// ask as they open and the pointer as it moves. No bus, no watcher, no answer in time or an
// answer that is not a boolean all mean no host. `changed` (optional) is told each time the
// answer turns, after the first. Main thread.
class StatusNotifierHostWatch final : public QObject {
  Q_OBJECT

 public:
  explicit StatusNotifierHostWatch(
      QDBusConnection sessionBus,
      std::chrono::milliseconds timeout = std::chrono::milliseconds(250),
      std::function<void()> changed = nullptr);

  bool isAvailable() const { return available_; }

 private slots:
  void hostsChanged();

 private:
  void ask();
  void answered(bool available);

  QDBusConnection bus_;
  int timeoutMs_;
  QDBusServiceWatcher watcherName_;
  std::function<void()> changed_;
  bool available_ = false;
  // Only the latest question's answer counts.
  std::uint64_t asked_ = 0;
};

}  // namespace vorlane
