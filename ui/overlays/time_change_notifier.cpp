#include "ui/overlays/time_change_notifier.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QFileInfo>
#include <cerrno>
#include <cstdint>
#include <ctime>

namespace vorlane {

SystemTimeChangeNotifier::SystemTimeChangeNotifier(QString zoneLink)
    : zoneLink_(std::move(zoneLink)), zoneTarget_(QFileInfo(zoneLink_).symLinkTarget()) {
  timerFd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            &SystemTimeChangeNotifier::clockSet);
    arm();
  }
  zoneWatcher_.addPath(QFileInfo(zoneLink_).absolutePath());
  zoneWatcher_.addPath(zoneLink_);
  // Anything in the folder may change: only a link to another zone counts.
  connect(&zoneWatcher_, &QFileSystemWatcher::directoryChanged, this,
          [this] { zoneMaybeChanged(false); });
  // The zone file rewritten in place keeps its name.
  connect(&zoneWatcher_, &QFileSystemWatcher::fileChanged, this,
          [this] { zoneMaybeChanged(true); });
}

SystemTimeChangeNotifier::~SystemTimeChangeNotifier() {
  notifier_.reset();
  if (timerFd_ >= 0) close(timerFd_);
}

void SystemTimeChangeNotifier::arm() {
  // An expiry far ahead that never comes; setting the clock cancels it.
  itimerspec spec{};
  spec.it_value.tv_sec = std::time(nullptr) + 10L * 365 * 24 * 3600;
  timerfd_settime(timerFd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr);
}

void SystemTimeChangeNotifier::clockSet() {
  std::uint64_t expirations = 0;
  const ssize_t got = read(timerFd_, &expirations, sizeof expirations);
  if (got < 0 && errno == EAGAIN) return;
  arm();
  emit changed();
}

void SystemTimeChangeNotifier::zoneMaybeChanged(bool rewritten) {
  QString target = QFileInfo(zoneLink_).symLinkTarget();
  const bool relinked = target != zoneTarget_;
  zoneTarget_ = std::move(target);
  // The watch follows the file the link named before: watch the new one (a replaced file
  // drops out of the watch by itself).
  if (relinked) zoneWatcher_.removePath(zoneLink_);
  if (!zoneWatcher_.files().contains(zoneLink_)) zoneWatcher_.addPath(zoneLink_);
  if (relinked || rewritten) emit changed();
}

}  // namespace vorlane
