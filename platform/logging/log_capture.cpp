#include "platform/logging/log_capture.h"

#include <mutex>

#include "platform/logging/log_sink.h"

namespace vorlane {

class LogCapture::Sink final : public LogSink {
 public:
  void write(LogLevel level, const Logger& logger, std::string_view message) override {
    std::lock_guard lock(mutex_);
    lines_.push_back({level, logger.category(), std::string(message)});
  }

  std::vector<Line> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Line> lines_;
};

LogCapture::LogCapture()
    : sink_(std::make_unique<Sink>()), previous_(installLogSink(sink_.get())) {}

LogCapture::~LogCapture() { installLogSink(previous_); }

std::vector<LogCapture::Line> LogCapture::lines() const { return sink_->lines(); }

}  // namespace vorlane
