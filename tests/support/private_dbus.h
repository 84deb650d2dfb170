#pragma once

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace vorlane::testing {

// What a bus starts on demand: by default nothing; else the services installed on this
// computer (Evolution Data Server...), which inherit the bus's environment plus `environment`.
struct BusServices {
  bool installed = false;
  std::vector<std::string> environment;
};

// A private message bus that anyone may use, stopped when the object goes. Its address is
// empty when it did not start.
class PrivateDBus {
 public:
  explicit PrivateDBus(const BusServices& services = {}) {
    const auto config = folder_.path() / "bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>unix:dir="
                          << folder_.path().string() << "</listen><auth>EXTERNAL</auth>"
                          << (services.installed
                                  ? "<servicedir>/usr/share/dbus-1/services</servicedir>"
                                  : "")
                          << R"(<policy context="default"><allow send_destination="*" )"
                          << R"(eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>)"
                          << "</policy></busconfig>\n";
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + config.string(), "--nofork",
                                 "--nopidfile", "--print-address=3"},
        true, services.environment);
    if (const auto line = process_->readLine(std::chrono::seconds(10))) address_ = *line;
  }

  const std::string& address() const { return address_; }
  // The daemon's process, to hold it (SIGSTOP) as a busy machine would.
  pid_t pid() const { return process_ ? process_->pid() : -1; }

 private:
  TempFolder folder_;
  std::unique_ptr<ChildProcess> process_;
  std::string address_;
};

}  // namespace vorlane::testing
