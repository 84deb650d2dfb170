#pragma once

#include <functional>

#include "platform/services/pcm_buffer.h"

namespace vorlane {

// Plays one sound at a time.
class AudioOutput {
 public:
  using Finished = std::function<void()>;

  AudioOutput() = default;
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;
  virtual ~AudioOutput() = default;

  // Stops whatever plays, then starts `sound`. False when playback cannot start (no output
  // device, a refused format); `finished` is then dropped uncalled. Otherwise `finished` runs
  // exactly once, from the event loop (never inside this call), when the sound has ended or
  // broken off; never after `stop()`, a later `play()` or destruction.
  [[nodiscard]] virtual bool play(const PcmBuffer& sound, Finished finished) = 0;
  // Cuts playback short; the pending `finished` is dropped uncalled.
  virtual void stop() = 0;
  virtual bool isPlaying() const = 0;
};

}  // namespace vorlane
