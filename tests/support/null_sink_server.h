#pragma once

// A PulseAudio server whose only sink discards what it plays, with its own runtime and home
// folders (no cookie, socket or state of the user's is touched); made this process's default
// before the process first asks for an audio device.

#include <QByteArray>
#include <QProcess>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace vorlane::testing {

class NullSinkServer {
 public:
  static constexpr const char* sinkName = "vorlane_test";

  NullSinkServer() { qputenv("PULSE_SERVER", ("unix:" + socket_).c_str()); }
  // Whether it answers. Its socket's file appears before the server accepts on it, and a
  // client that finds it refusing gives up for good: Qt asks the server once per process.
  bool listening() const {
    return waitUntil([&] {
      if (!std::filesystem::exists(socket_)) return false;
      QProcess pactl;
      pactl.start("pactl", {"info"});
      return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit &&
             pactl.exitCode() == 0;
    });
  }
  bool playing() const {  // whether a stream plays into the sink right now
    QProcess pactl;
    pactl.start("pactl", {"list", "short", "sink-inputs"});
    return pactl.waitForFinished(5000) && !pactl.readAllStandardOutput().trimmed().isEmpty();
  }

 private:
  TempFolder dir_;
  std::string socket_ = (dir_ / "native").string();
  ChildProcess process_{
      {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
       "--system=no", "-L", std::string("module-null-sink sink_name=") + sinkName, "-L",
       "module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
      false,
      {"XDG_RUNTIME_DIR=" + dir_.path().string(), "HOME=" + dir_.path().string(), "PULSE_SERVER="}};
};

// What the server's sink plays, heard on its monitor as 16 kHz mono while the event loop runs:
// how long sound (a sample louder than `loudest silence`) has played in all, and how long
// only silence has played since the last sound. The sink plays silence when nothing feeds
// it, so a stream that has run dry is heard as silence after its sound.
class SinkMonitor {
 public:
  static constexpr int rate = 16000;
  static constexpr int loudestSilence = 1000;

  SinkMonitor() {
    QObject::connect(&recorder_, &QProcess::readyReadStandardOutput, [this] { take(); });
    recorder_.start("parec", {QStringLiteral("--device=%1.monitor").arg(NullSinkServer::sinkName),
                              "--format=s16le", "--rate=" + QString::number(rate), "--channels=1",
                              "--latency-msec=10", "--raw"});
  }
  ~SinkMonitor() {
    recorder_.kill();
    recorder_.waitForFinished(5000);
  }
  // Whether anything, silence included, has been heard yet.
  bool recording() const { return heard_ > 0; }
  double soundMs() const { return double(sound_) * 1000.0 / rate; }
  double silenceSinceSoundMs() const { return double(silence_) * 1000.0 / rate; }

 private:
  void take() {
    carry_ += recorder_.readAllStandardOutput();
    const qsizetype whole = carry_.size() / 2 * 2;
    for (qsizetype i = 0; i < whole; i += 2) {
      std::int16_t sample = 0;
      std::memcpy(&sample, carry_.constData() + i, sizeof sample);
      if (std::abs(int(sample)) > loudestSilence) {
        ++sound_;
        silence_ = 0;
      } else {
        ++silence_;
      }
      ++heard_;
    }
    carry_.remove(0, whole);
  }

  QProcess recorder_;
  QByteArray carry_;
  std::int64_t heard_ = 0;
  std::int64_t sound_ = 0;
  std::int64_t silence_ = 0;
};

}  // namespace vorlane::testing
