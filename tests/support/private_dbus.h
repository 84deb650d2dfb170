#pragma once

#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace vorlane::testing {

// A private message bus that anyone may use and no service is started on, stopped when the
// object goes.
class PrivateDBus {
 public:
  PrivateDBus() {
    const auto config = folder_.path() / "bus.conf";
    std::ofstream(config) << R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=)" << folder_.path().string() << R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + config.string(), "--nofork",
                                 "--nopidfile", "--print-address=3"},
        true);
    if (const auto line = process_->readLine(std::chrono::seconds(10))) address_ = *line;
  }

  // The bus address; empty when the bus did not start.
  const std::string& address() const { return address_; }

 private:
  TempFolder folder_;
  std::unique_ptr<ChildProcess> process_;
  std::string address_;
};

}  // namespace vorlane::testing
