// A small idle Qt program that beats every millisecond, as the benchmarks' own event loop
// does, to tell what the machine itself (other programs, the scheduler) costs a loop with
// nothing to do at the same moments. It answers "ready" once it beats; for each line "gaps"
// on its standard input it prints the spans it was held longer than 3 ms since the last
// asking, one "<start ns> <end ns>" line each on the monotonic clock, then "end". It quits
// when its input ends.

#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <string>

#include "bench/loop_gaps.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  vorlane::LoopGapRecorder recorder;
  recorder.start();
  std::string pending;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char chunk[256];
    const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (got <= 0) {
      QCoreApplication::quit();
      return;
    }
    pending.append(chunk, std::size_t(got));
    for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
      if (pending.compare(0, end, "gaps") == 0) {
        for (const vorlane::LoopGap& gap : recorder.take()) {
          std::printf("%lld %lld\n", static_cast<long long>(gap.startNs),
                      static_cast<long long>(gap.endNs));
        }
        std::puts("end");
        std::fflush(stdout);
      }
      pending.erase(0, end + 1);
    }
  });
  std::puts("ready");
  std::fflush(stdout);
  return app.exec();
}
