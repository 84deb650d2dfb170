// What a service that never answers costs: the questions asked of the sound server, the
// desktop portal, the tray's StatusNotifier watcher and the screen's services each give up
// within their bound (a quarter of a second), and one environment snapshot waits that long
// once, whatever hangs.

#include <benchmark/benchmark.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench/brief_run.h"
#include "bench/offscreen_application.h"
#include "platform/desktop/capture/pulse_capture_query.h"
#include "platform/desktop/capture/system_microphone_usage.h"
#include "platform/desktop/environment/environment_probe.h"
#include "platform/desktop/environment/slow_service_memory.h"
#include "platform/desktop/session_state/reduced_motion_setting.h"
#include "platform/desktop/session_state/screen_state_readers.h"
#include "platform/desktop/tray/status_notifier_host_watch.h"
#include "tests/support/private_dbus.h"
#include "tests/support/quiet_desktop.h"
#include "tests/support/silent_sound_server.h"

namespace vorlane {
namespace {

// Takes every call and answers none. It lives on the benchmark's thread, which is blocked in
// the call it would answer.
struct SilentObject final : QDBusVirtualObject {
  bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
  QString introspect(const QString&) const override { return {}; }
};

// Services that never answer, under their own names on a private bus.
struct SilentServices {
  explicit SilentServices(const std::vector<std::pair<QString, QString>>& namesAndPaths) {
    offscreenApplication();
    QDBusConnection services = connection("silent services");
    for (const auto& [name, path] : namesAndPaths) {
      objects.push_back(std::make_unique<SilentObject>());
      services.registerVirtualObject(path, objects.back().get(), QDBusConnection::SubPath);
      services.registerService(name);
    }
  }
  ~SilentServices() {
    for (const char* name : {"silent services", "asking client"}) {
      QDBusConnection::disconnectFromBus(name);
    }
  }
  QDBusConnection connection(const char* name) const {
    return QDBusConnection::connectToBus(QString::fromStdString(bus.address()), name);
  }
  QDBusConnection client() const { return connection("asking client"); }

  testing::PrivateDBus bus;
  std::vector<std::unique_ptr<SilentObject>> objects;
};

void BM_SoundServerThatNeverAnswers(benchmark::State& state) {
  const testing::SilentSoundServer silent;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PulseCaptureQuery(silent.address()).isCapturing());
  }
}
BENCHMARK(BM_SoundServerThatNeverAnswers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(fixedIterations(4));

void BM_ReducedMotionWithAPortalThatNeverAnswers(benchmark::State& state) {
  const SilentServices portal(
      {{QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop")}});
  for (auto _ : state) {
    ReducedMotionSetting setting(portal.client());
    benchmark::DoNotOptimize(setting.prefersReducedMotion());
  }
}
BENCHMARK(BM_ReducedMotionWithAPortalThatNeverAnswers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(fixedIterations(4));

// A tray whose watcher never answers: the watch's start waits once, within its bound, and
// every later question (100 of them here, as windows open and the pointer moves) is answered
// from memory: `asked_again_us` is their cost.
void BM_TrayWatchWithAWatcherThatNeverAnswers(benchmark::State& state) {
  const SilentServices watcher({{QStringLiteral("org.kde.StatusNotifierWatcher"),
                                 QStringLiteral("/StatusNotifierWatcher")}});
  double askedAgainUs = 0;
  for (auto _ : state) {
    const StatusNotifierHostWatch watch(watcher.client());
    state.PauseTiming();
    const auto from = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) benchmark::DoNotOptimize(watch.isAvailable());
    askedAgainUs = std::max(
        askedAgainUs,
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - from).count());
    state.ResumeTiming();
  }
  state.counters["asked_again_us"] = askedAgainUs;
}
BENCHMARK(BM_TrayWatchWithAWatcherThatNeverAnswers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(fixedIterations(4));

// The first snapshot after login, with logind, both screen savers and the sound server hung:
// one budget in all, not one per service.
void BM_SnapshotWithEveryServiceHung(benchmark::State& state) {
  const SilentServices services({
      {QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1")},
      {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop")},
      {QStringLiteral("org.gnome.ScreenSaver"), QStringLiteral("/org/gnome")},
  });
  const testing::SilentSoundServer sound;
  QDBusConnection client = services.client();
  testing::QuietDesktop quiet;
  for (auto _ : state) {
    SnapshotBudget budget;
    SlowServiceMemory slow;  // fresh: every service is asked as at the first snapshot
    SystemMicrophoneUsage microphone(PulseCaptureQuery(sound.address()),
                                     sound.runtime().path().string(), &budget);
    DBusScreenState dbus(client, client, budget, slow);
    CombinedScreenAvailability availability({&dbus});
    EnvironmentSources sources{quiet, microphone, quiet, quiet, availability, &budget};
    const EnvironmentProbe probe(std::nullopt, std::nullopt, sources);
    benchmark::DoNotOptimize(probe.snapshot(Date(0)));
  }
}
BENCHMARK(BM_SnapshotWithEveryServiceHung)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(fixedIterations(4));

}  // namespace
}  // namespace vorlane
