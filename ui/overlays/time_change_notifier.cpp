#include "ui/overlays/time_change_notifier.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

#include "foundation/system_zone.h"

namespace vorlane {
namespace {

constexpr const char* zoneLink = "/etc/localtime";

}  // namespace

SystemTimeChangeNotifier::SystemTimeChangeNotifier() : zoneId_(detail::userZoneId()) {
  timerFd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            &SystemTimeChangeNotifier::clockSet);
    arm();
  }
  // The link is replaced, not rewritten, when the zone changes: watch its folder too.
  zoneWatcher_.addPath("/etc");
  zoneWatcher_.addPath(zoneLink);
  // Anything in /etc may change: only a different zone name counts.
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
  // A replaced file drops out of the watch.
  if (!zoneWatcher_.files().contains(zoneLink)) zoneWatcher_.addPath(zoneLink);
  std::string zone = detail::userZoneId();
  const bool renamed = zone != zoneId_;
  zoneId_ = std::move(zone);
  if (renamed || rewritten) emit changed();
}

}  // namespace vorlane
