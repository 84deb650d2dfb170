#pragma once

#include <QAudio>
#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <cstdint>

#include "platform/services/audio_output.h"
#include "platform/services/sound_end.h"

class QAudioSink;
class QIODevice;

namespace vorlane {

// Plays through `QAudioSink` in push mode on the default output device, feeding it from what
// was written as it makes room. The end is the sink drained after `close()`, or stopping with
// an error; a watchdog ends a closed sound that has run well past its length, so a stalled
// device never keeps a caller waiting.
class SinkAudioOutput final : public AudioOutput {
 public:
  // `watchdogMarginMs`: extra time past a sound's own length before the watchdog ends it.
  // A suspended or wedged device otherwise keeps the sink active for ever.
  explicit SinkAudioOutput(int watchdogMarginMs = 5000);
  ~SinkAudioOutput() override;

  [[nodiscard]] bool open(int sampleRate, int channels, Finished finished) override;
  void write(std::span<const std::int16_t> samples) override;
  void close() override;
  void stop() override;
  bool isPlaying() const override { return sink_ != nullptr; }

 private:
  void feed();
  void onStateChanged(std::uint64_t generation, QAudio::State state);
  void complete(std::uint64_t generation);
  void releaseSink();

  int watchdogMarginMs_;
  QObject context_;
  QTimer watchdog_;
  QTimer feeder_;
  QAudioSink* sink_ = nullptr;
  QIODevice* input_ = nullptr;  // the sink's own, valid while it plays
  QByteArray pending_;
  qsizetype fedFromPending_ = 0;  // the front of `pending_` the sink has taken
  qint64 fed_ = 0;
  qint64 bytesPerSecond_ = 0;
  bool closed_ = false;
  SoundEnd end_;
};

}  // namespace vorlane
