#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace vorlane {

// What the sound server said about recording streams.
enum class CaptureAnswer {
  idle,       // the server answered: nobody records from a real input
  capturing,  // the server answered: another process records
  noServer,   // no server listens at all
  unknown,    // a server is there but did not answer in time, or failed
};

// Asks the PulseAudio (or pipewire-pulse) server for its recording streams, on a private
// main loop, within `timeout`. Never starts a server.
class PulseCaptureQuery {
 public:
  // `server` is a server address ("unix:/run/user/1000/pulse/native"); none means the
  // default server.
  explicit PulseCaptureQuery(std::optional<std::string> server = std::nullopt,
                             std::chrono::milliseconds timeout = std::chrono::milliseconds(250),
                             long ownPid = -1);

  // Whether another process records from a real input.
  CaptureAnswer isCapturing() const;

 private:
  std::optional<std::string> server_;
  std::chrono::milliseconds timeout_;
  long ownPid_;
};

}  // namespace vorlane
