#pragma once

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace vorlane::testing {

// A private message bus that anyone may use and no service is started on (no service
// folders), stopped when the object goes. Its address is empty when it did not start.
class PrivateDBus {
 public:
  PrivateDBus() {
    const auto config = folder_.path() / "bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>unix:dir="
                          << folder_.path().string() << "</listen><auth>EXTERNAL</auth>"
                          << R"(<policy context="default"><allow send_destination="*" )"
                          << R"(eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>)"
                          << "</policy></busconfig>\n";
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + config.string(), "--nofork",
                                 "--nopidfile", "--print-address=3"},
        true);
    if (const auto line = process_->readLine(std::chrono::seconds(10))) address_ = *line;
  }

  const std::string& address() const { return address_; }

 private:
  TempFolder folder_;
  std::unique_ptr<ChildProcess> process_;
  std::string address_;
};

}  // namespace vorlane::testing
