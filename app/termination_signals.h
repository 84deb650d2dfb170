#pragma once

#include <QObject>
#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace vorlane {

// Turns SIGTERM, SIGINT and SIGHUP (logout, Ctrl+C, a closed terminal) into a call on the
// event loop, so that the application ends through its ordinary shut-down. The handler
// only writes the signal's number to a socket; `onSignal` runs later on this object's
// thread. One instance at a time; destroying it restores the previous handlers.
class TerminationSignals final : public QObject {
 public:
  static constexpr int handled[] = {SIGTERM, SIGINT, SIGHUP};

  explicit TerminationSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

  // Whether the handlers are in place (false when a socket could not be made).
  bool isInstalled() const { return installed_; }
  // Whether one of the signals has arrived since the handlers were put in place, also
  // before the event loop has run `onSignal`.
  static bool received();

 private:
  static void handle(int signal);
  void drain();

  std::function<void(int)> onSignal_;
  int sockets_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previous_[3] = {};
  bool installed_ = false;
};

}  // namespace vorlane
