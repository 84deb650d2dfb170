#pragma once

#include <string>

#include "tests/support/child_process.h"

namespace vorlane::testing {

// A private X server on a free display number (":N", empty when the server did not start),
// stopped when the object goes.
class XvfbServer {
 public:
  explicit XvfbServer(const std::string& screen = "1280x800x24")
      : process_(
            {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
            true) {
    const auto number = process_.readLine(std::chrono::seconds(20));
    if (number && !number->empty()) display_ = ":" + *number;
  }

  const std::string& display() const { return display_; }

 private:
  ChildProcess process_;
  std::string display_;
};

}  // namespace vorlane::testing
