#include "app/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace vorlane {
namespace {

// The write end for the handler; -1 while no instance is installed.
volatile std::sig_atomic_t writeEnd = -1;
// Set by the handler: an end has been asked for, whether or not the loop has heard yet.
volatile std::sig_atomic_t arrived = 0;

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets_) != 0) {
    return;
  }
  writeEnd = sockets_[0];
  // What an earlier instance heard was its own to act on.
  arrived = 0;
  notifier_ = std::make_unique<QSocketNotifier>(sockets_[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { drain(); });
  struct sigaction action = {};
  action.sa_handler = &TerminationSignals::handle;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(handled[i], &action, &previous_[i]);
  installed_ = true;
}

TerminationSignals::~TerminationSignals() {
  if (installed_) {
    for (int i = 0; i < 3; ++i) sigaction(handled[i], &previous_[i], nullptr);
    writeEnd = -1;
  }
  notifier_.reset();
  for (int fd : sockets_) {
    if (fd >= 0) ::close(fd);
  }
}

void TerminationSignals::handle(int signal) {
  const int saved = errno;
  arrived = 1;
  const int fd = writeEnd;
  if (fd >= 0) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
  }
  errno = saved;
}

bool TerminationSignals::received() { return arrived != 0; }

void TerminationSignals::drain() {
  char bytes[16];
  for (;;) {
    const auto count = ::read(sockets_[1], bytes, sizeof bytes);
    if (count <= 0) break;
    for (ssize_t i = 0; i < count; ++i) {
      const auto onSignal = onSignal_;
      if (onSignal) onSignal(bytes[i]);
    }
  }
}

}  // namespace vorlane
