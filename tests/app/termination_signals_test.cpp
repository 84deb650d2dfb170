#include "app/termination_signals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <vector>

namespace vorlane {
namespace {

void ignoreSignal(int) {}

// Lets the event loop run until `received` holds something or a second has passed.
void waitFor(const std::vector<int>& received) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (received.empty() && elapsed.elapsed() < 1000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

TEST(TerminationSignals, EachEndingSignalAndEveryOneOfABurstReachTheEventLoop) {
  const std::vector<std::vector<int>> rows{{SIGTERM}, {SIGINT}, {SIGHUP}, {SIGINT, SIGTERM}};
  for (const std::vector<int>& raised : rows) {
    SCOPED_TRACE(raised.front());
    std::vector<int> received;
    const TerminationSignals bridge([&](int s) { received.push_back(s); });
    ASSERT_TRUE(bridge.isInstalled());
    for (int signal : raised) ASSERT_EQ(std::raise(signal), 0);
    EXPECT_TRUE(received.empty());  // not from inside the handler
    waitFor(received);
    QCoreApplication::processEvents();
    EXPECT_EQ(received, raised);
  }
}

// A copy told to end stops answering later launches before its loop hears of it.
TEST(TerminationSignals, ASignalIsKnownAtOnceBeforeTheLoopRuns) {
  const pid_t child = fork();
  if (child == 0) {
    const TerminationSignals bridge([](int) {});
    const bool before = TerminationSignals::received();
    std::raise(SIGTERM);
    _exit(!before && TerminationSignals::received() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(TerminationSignals, GoingAwayRestoresTheEarlierHandlers) {
  struct sigaction own = {};
  own.sa_handler = &ignoreSignal;
  sigemptyset(&own.sa_mask);
  struct sigaction saved = {};
  ASSERT_EQ(sigaction(SIGHUP, &own, &saved), 0);
  {
    const TerminationSignals bridge([](int) {});
    struct sigaction during = {};
    sigaction(SIGHUP, nullptr, &during);
    EXPECT_NE(during.sa_handler, &ignoreSignal);
  }
  struct sigaction after = {};
  sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, &ignoreSignal);
  sigaction(SIGHUP, &saved, nullptr);
}

}  // namespace
}  // namespace vorlane
