#include "tests/support/log_capture.h"

#include <mutex>

#include "platform/logging/log_handler.h"
#include "platform/logging/log_sink.h"

namespace vorlane {

class LogCapture::Sink final : public LogSink {
 public:
  void write(const LogRecord& record) override {
    if (!record.ours()) {
      (previous != nullptr ? *previous : defaultLogSink()).write(record);
      return;
    }
    std::lock_guard lock(mutex_);
    lines_.push_back({record.level, std::string(record.category), std::string(record.message)});
  }

  std::vector<Line> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }

  LogSink* previous = nullptr;

 private:
  mutable std::mutex mutex_;
  std::vector<Line> lines_;
};

LogCapture::LogCapture() : sink_(std::make_unique<Sink>()) {
  installLogHandler();
  previous_ = installLogSink(sink_.get());
  sink_->previous = previous_;
}

LogCapture::~LogCapture() { installLogSink(previous_); }

std::vector<LogCapture::Line> LogCapture::lines() const { return sink_->lines(); }

}  // namespace vorlane
