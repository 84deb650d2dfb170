#pragma once

#include <cstdint>
#include <utility>

#include "platform/services/audio_output.h"

namespace vorlane {

// The end of the sound an output plays, told at most once. Each attempt, stop and told end
// moves the generation on, so a late signal of an earlier sound finds nothing to tell.
class SoundEnd {
 public:
  // A new attempt begins; its signals carry the generation returned.
  std::uint64_t begin() { return ++generation_; }
  // The attempt started: `finished` waits for its end.
  void arm(AudioOutput::Finished finished) { finished_ = std::move(finished); }
  // Nothing is to be told any more (a stop, or a failed start).
  void drop() {
    ++generation_;
    finished_ = nullptr;
  }
  bool isCurrent(std::uint64_t generation) const { return generation == generation_; }
  std::uint64_t current() const { return generation_; }
  // What to call for the current attempt's end, once.
  AudioOutput::Finished take() {
    ++generation_;
    return std::exchange(finished_, nullptr);
  }

 private:
  AudioOutput::Finished finished_;
  std::uint64_t generation_ = 0;
};

}  // namespace vorlane
