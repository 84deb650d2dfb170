#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "platform/services/pcm_buffer.h"

namespace vorlane {

// Plays one sound at a time. A sound may be handed over whole (`play`) or fed while it
// already plays (`open`, `write`..., `close`), so a long text is heard before it is all made.
// No call waits for the device.
class AudioOutput {
 public:
  // How a sound ended: heard to its end (or broken off by the device), or never heard because
  // no output device could be reached.
  enum class End { played, noOutput };
  using Finished = std::function<void(End)>;

  AudioOutput() = default;
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;
  virtual ~AudioOutput() = default;

  // Stops whatever plays, then begins a sound of this format whose samples follow. False when
  // the format is refused or no output is there to be asked; `finished` is then dropped
  // uncalled. Otherwise `finished` runs exactly once, from the event loop (never inside a
  // call of this interface), when the sound has ended after `close()` or broken off; never
  // after `stop()`, a later `open()` or destruction.
  [[nodiscard]] virtual bool open(int sampleRate, int channels, Finished finished) = 0;
  // Appends interleaved samples to the sound opened last; ignored when none is open.
  virtual void write(std::span<const std::int16_t> samples) = 0;
  // Nothing more follows: the sound ends once what was written has played.
  virtual void close() = 0;
  // Cuts playback short; the pending `finished` is dropped uncalled.
  virtual void stop() = 0;
  virtual bool isPlaying() const = 0;

  // The whole sound at once: `open`, `write`, `close`.
  [[nodiscard]] bool play(const PcmBuffer& sound, Finished finished) {
    if (!open(sound.sampleRate, sound.channels, std::move(finished))) return false;
    write(sound.samples);
    close();
    return true;
  }
};

}  // namespace vorlane
