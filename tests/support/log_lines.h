#pragma once

#include <string>
#include <vector>

#include "tests/support/log_capture.h"

namespace vorlane {

// The messages a capture recorded in one category, in order.
inline std::vector<std::string> logMessages(const LogCapture& capture,
                                            const std::string& category) {
  std::vector<std::string> messages;
  for (const auto& line : capture.lines()) {
    if (line.category == category) messages.push_back(line.message);
  }
  return messages;
}

}  // namespace vorlane
