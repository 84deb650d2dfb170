#pragma once

#include <QAudio>
#include <QObject>
#include <QTimer>
#include <cstdint>

#include "platform/services/audio_output.h"
#include "platform/services/sound_end.h"

class QAudioSink;

namespace vorlane {

// Plays through `QAudioSink` in pull mode on the default output device. The end is the sink
// going idle with its buffer drained, or stopping with an error; a watchdog ends a sound
// that has run well past its length, so a stalled device never keeps a caller waiting.
class SinkAudioOutput final : public AudioOutput {
 public:
  // `watchdogMarginMs`: extra time past a sound's own length before the watchdog ends it.
  // A suspended or wedged device otherwise keeps the sink active for ever.
  explicit SinkAudioOutput(int watchdogMarginMs = 5000);
  ~SinkAudioOutput() override;

  [[nodiscard]] bool play(const PcmBuffer& sound, Finished finished) override;
  void stop() override;
  bool isPlaying() const override { return sink_ != nullptr; }

 private:
  void onStateChanged(std::uint64_t generation, QAudio::State state);
  void complete(std::uint64_t generation);
  void releaseSink();

  int watchdogMarginMs_;
  QObject context_;
  QTimer watchdog_;
  QAudioSink* sink_ = nullptr;
  SoundEnd end_;
};

}  // namespace vorlane
