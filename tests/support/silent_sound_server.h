#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_folder.h"

namespace vorlane::testing {

// A sound server's address that takes connections and never answers them: they queue up
// and are never served.
class SilentSoundServer {
 public:
  SilentSoundServer() {
    sockaddr_un address{AF_UNIX, {}};
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath().c_str());
    listening_ = bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 listen(listener_, 64) == 0;
  }
  ~SilentSoundServer() { close(listener_); }
  SilentSoundServer(const SilentSoundServer&) = delete;
  SilentSoundServer& operator=(const SilentSoundServer&) = delete;

  bool listening() const { return listening_; }
  std::string address() const { return "unix:" + socketPath(); }
  const TempFolder& runtime() const { return runtime_; }

 private:
  std::string socketPath() const { return (runtime_ / "native").string(); }

  TempFolder runtime_;
  int listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bool listening_ = false;
};

}  // namespace vorlane::testing
