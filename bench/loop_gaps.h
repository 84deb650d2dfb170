#pragma once

#include <time.h>

#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace vorlane {

// The monotonic clock every process on the machine shares, in nanoseconds, so that the gaps
// of two processes can be laid side by side.
inline std::int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A span in which an event loop did not turn: from one beat to the next.
struct LoopGap {
  std::int64_t startNs = 0;
  std::int64_t endNs = 0;
  double ms() const { return double(endNs - startNs) / 1e6; }
  bool overlaps(std::int64_t fromNs, std::int64_t toNs) const {
    return startNs < toNs && endNs > fromNs;
  }
};

// A timer that beats every millisecond on the thread that made it and keeps each span between
// two beats longer than `shortestMs`: when, and for how long, the event loop was held.
class LoopGapRecorder {
 public:
  explicit LoopGapRecorder(double shortestMs = 3.0) : shortestNs_(std::int64_t(shortestMs * 1e6)) {
    beat_.setTimerType(Qt::PreciseTimer);
    beat_.setInterval(1);
    QObject::connect(&beat_, &QTimer::timeout, [this] {
      const std::int64_t now = monotonicNs();
      if (now - lastBeatNs_ > shortestNs_) gaps_.push_back({lastBeatNs_, now});
      lastBeatNs_ = now;
    });
  }
  void start() {
    lastBeatNs_ = monotonicNs();
    beat_.start();
  }
  void stop() { beat_.stop(); }
  std::vector<LoopGap> take() { return std::exchange(gaps_, {}); }

 private:
  std::int64_t shortestNs_;
  QTimer beat_;
  std::int64_t lastBeatNs_ = 0;
  std::vector<LoopGap> gaps_;
};

// The longest of `gaps` that overlaps [fromNs, toNs); 0 when none does.
inline double longestGapMs(const std::vector<LoopGap>& gaps, std::int64_t fromNs,
                           std::int64_t toNs) {
  double longest = 0;
  for (const LoopGap& gap : gaps) {
    if (gap.overlaps(fromNs, toNs)) longest = std::max(longest, gap.ms());
  }
  return longest;
}

}  // namespace vorlane
