#pragma once

#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace vorlane::testing {

// A private X server on a free display number (":N", empty when the server did not start),
// stopped when the object goes.
class XvfbServer {
 public:
  // Whether the server resets when its last client leaves, as an X server does by default;
  // a reset server refuses connections until it is ready again.
  enum class Resets { never, whenLastClientLeaves };

  explicit XvfbServer(const std::string& screen = "1280x800x24", Resets resets = Resets::never)
      : process_(arguments(screen, resets), true) {
    const auto number = process_.readLine(std::chrono::seconds(20));
    if (number && !number->empty()) display_ = ":" + *number;
  }

  const std::string& display() const { return display_; }

 private:
  static std::vector<std::string> arguments(const std::string& screen, Resets resets) {
    std::vector<std::string> argv{"Xvfb", "-displayfd", "3",         "-screen",
                                  "0",    screen,       "-nolisten", "tcp"};
    if (resets == Resets::never) argv.emplace_back("-noreset");
    return argv;
  }

  ChildProcess process_;
  std::string display_;
};

}  // namespace vorlane::testing
