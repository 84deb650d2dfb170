#pragma once

#include <chrono>
#include <map>
#include <string>

namespace vorlane {

// Remembers the services that did not answer in time, so that later snapshots do not wait
// on them again at once: each is left alone for a pause that doubles with every further
// timeout (up to a ceiling) and is forgotten as soon as it answers.
class SlowServiceMemory {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SlowServiceMemory(std::chrono::seconds firstPause = std::chrono::seconds(30),
                             std::chrono::seconds longestPause = std::chrono::seconds(600))
      : firstPause_(firstPause), longestPause_(longestPause) {}

  bool mayAsk(const std::string& service, Clock::time_point now) const;
  void timedOut(const std::string& service, Clock::time_point now);
  void answered(const std::string& service) { slow_.erase(service); }

 private:
  struct Slow {
    Clock::time_point askAgainAt;
    Clock::duration pause;
  };
  std::chrono::seconds firstPause_;
  std::chrono::seconds longestPause_;
  std::map<std::string, Slow> slow_;
};

}  // namespace vorlane
