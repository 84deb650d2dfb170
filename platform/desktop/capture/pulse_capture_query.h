#pragma once

#include <chrono>
#include <memory>
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

// Asks the PulseAudio (or pipewire-pulse) server for its recording streams over one
// long-lived connection on a private main loop. Never starts a server. A question the
// server leaves unanswered stays pending: the next call only looks whether the answer has
// come, without waiting again, and after `giveUpAfter` the connection is dropped and made
// afresh. Main thread only.
class PulseCaptureQuery {
 public:
  // `server` is a server address ("unix:/run/user/1000/pulse/native"); none means the
  // default server. `timeout` is the wait of a call that names none.
  explicit PulseCaptureQuery(std::optional<std::string> server = std::nullopt,
                             std::chrono::milliseconds timeout = std::chrono::milliseconds(250),
                             long ownPid = -1,
                             std::chrono::seconds giveUpAfter = std::chrono::seconds(30));
  ~PulseCaptureQuery();
  PulseCaptureQuery(PulseCaptureQuery&&) noexcept;
  PulseCaptureQuery& operator=(PulseCaptureQuery&&) noexcept;

  // Whether another process records from a real input, waiting at most `wait` for a new
  // question and not at all for one left over from an earlier call.
  CaptureAnswer isCapturing(std::chrono::milliseconds wait);
  CaptureAnswer isCapturing() { return isCapturing(timeout_); }

 private:
  struct Connection;

  std::optional<std::string> server_;
  std::chrono::milliseconds timeout_;
  long ownPid_;
  std::chrono::seconds giveUpAfter_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace vorlane
