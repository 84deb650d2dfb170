#pragma once

// A PulseAudio server whose only sink discards what it plays, with its own runtime and home
// folders (no cookie, socket or state of the user's is touched); made this process's default
// before the process first asks for an audio device.

#include <QByteArray>
#include <QProcess>
#include <filesystem>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace vorlane::testing {

class NullSinkServer {
 public:
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
       "--system=no", "-L", "module-null-sink sink_name=vorlane_test", "-L",
       "module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
      false,
      {"XDG_RUNTIME_DIR=" + dir_.path().string(), "HOME=" + dir_.path().string(), "PULSE_SERVER="}};
};

}  // namespace vorlane::testing
