#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/logging/logger.h"

namespace vorlane {

class LogSink;

// While alive, every line of our categories is recorded here instead of being
// written out; Qt's own lines go on to the sink it replaced. Installs our message handler.
// Create it before starting threads that log; captures nest in stack order.
class LogCapture {
 public:
  struct Line {
    LogLevel level;
    std::string category;
    std::string message;
    bool operator==(const Line&) const = default;
  };

  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<Line> lines() const;

 private:
  class Sink;
  std::unique_ptr<Sink> sink_;
  LogSink* previous_;
};

}  // namespace vorlane
