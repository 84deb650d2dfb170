// A typed reminder of 5,000 characters delivered by the speech service with libflite: the
// longest the main thread is held at once while the text is made into sound and handed to
// the output (the widest gap between turns of its event loop), and how soon after the visit's
// start the loop turns again, which is when the visit's bubble can be drawn. Also the
// resident memory before the phrase and once it has ended and the voice has been given back.
// The output keeps count of the samples and plays nothing.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <unistd.h>

#include "bench/offscreen_application.h"
#include "platform/services/flite_engine.h"
#include "platform/services/flite_speech_service.h"
#include "tests/support/in_memory_preferences_store.h"

namespace vorlane {
namespace {

class SilentOutput final : public AudioOutput {
 public:
  std::function<void()> onClose;
  std::size_t samples = 0;
  bool open(int, int, Finished finished) override {
    finished_ = std::move(finished);
    playing_ = true;
    return true;
  }
  void write(std::span<const std::int16_t> more) override { samples += more.size(); }
  void close() override {
    playing_ = false;
    if (finished_) QTimer::singleShot(0, [f = std::exchange(finished_, nullptr)] { f(End::played); });
    if (onClose) onClose();
  }
  void stop() override {
    playing_ = false;
    finished_ = nullptr;
  }
  bool isPlaying() const override { return playing_; }

 private:
  Finished finished_;
  bool playing_ = false;
};

double residentMB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

std::string typedReminder() {
  std::string text = "remind me in 1m ";
  for (int i = 0; text.size() < 5016; ++i) text += "water the plants " + std::to_string(i) + " ";
  return text.substr(16, 5000);
}

// A timer that beats every millisecond and keeps the widest gap between two of its beats:
// how long the event loop was held at once.
class StallWatch {
 public:
  StallWatch() {
    beat_.setInterval(1);
    QObject::connect(&beat_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      longestMs_ = std::max(longestMs_, double(now - lastBeat_) / 1e6);
      lastBeat_ = now;
    });
  }
  void start() {
    clock_.start();
    lastBeat_ = 0;
    beat_.start();
  }
  void stop() { beat_.stop(); }
  double elapsedMs() const { return double(clock_.nsecsElapsed()) / 1e6; }
  double longestMs() const { return longestMs_; }

 private:
  QElapsedTimer clock_;
  QTimer beat_;
  qint64 lastBeat_ = 0;
  double longestMs_ = 0;
};

void BM_LongReminderDelivery(benchmark::State& state) {
  offscreenApplication();
  InMemoryPreferencesStore store;
  const std::string text = typedReminder();
  double longestStallMs = 0, bubbleMs = 0, madeSeconds = 0, before = 0, after = 0;
  for (auto _ : state) {
    auto* output = new SilentOutput;
    FliteSpeechService service(
        store, {std::make_unique<FliteEngine>(), std::unique_ptr<AudioOutput>(output),
                std::make_unique<SilentOutput>(), ResourceLocator({}),
                [] { return Calendar::current(); }, 200});
    before = residentMB();
    QEventLoop loop;
    output->onClose = [&] { loop.quit(); };
    StallWatch watch;
    double bubble = -1;
    watch.start();
    service.speak(text, std::nullopt, nullptr);
    QTimer::singleShot(0, [&] { bubble = watch.elapsedMs(); });
    loop.exec();
    watch.stop();
    longestStallMs = std::max(longestStallMs, watch.longestMs());
    madeSeconds = watch.elapsedMs() / 1e3;
    bubbleMs = std::max(bubbleMs, bubble);
    // The phrase ends, and the voice goes back after its quiet time.
    QEventLoop quiet;
    QTimer::singleShot(600, &quiet, &QEventLoop::quit);
    quiet.exec();
    after = residentMB();
    benchmark::DoNotOptimize(output->samples);
  }
  state.counters["longest_stall_ms"] = longestStallMs;
  state.counters["visit_to_bubble_ms"] = bubbleMs;
  state.counters["all_made_s"] = madeSeconds;
  state.counters["resident_before_MB"] = before;
  state.counters["resident_after_MB"] = after;
}
BENCHMARK(BM_LongReminderDelivery)->Iterations(3)->Unit(benchmark::kSecond);

// The same beat with nothing to do, for ten seconds: what the machine itself costs the loop
// (other programs, the scheduler), to read the stall above against.
void BM_IdleLoopStall(benchmark::State& state) {
  offscreenApplication();
  double longestStallMs = 0;
  for (auto _ : state) {
    StallWatch watch;
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    watch.start();
    loop.exec();
    longestStallMs = std::max(longestStallMs, watch.longestMs());
  }
  state.counters["longest_stall_ms"] = longestStallMs;
}
BENCHMARK(BM_IdleLoopStall)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vorlane
