#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

#include "platform/services/audio_output.h"
#include "platform/services/sound_end.h"

class QProcess;

namespace vorlane {

// Plays each sound in a child process, the audio player installed beside the program, so
// that the sound server's client and its codecs live only as long as a sound plays and never
// in this process. The player reads the samples from its standard input, answers "playing"
// once its sink has started, and ends with the sound.
class ProcessAudioOutput final : public AudioOutput {
 public:
  // `player`: the player's path; `startLimitMs`: how long to wait for its answer.
  explicit ProcessAudioOutput(QString player = standardPlayer(), int startLimitMs = 5000);
  ~ProcessAudioOutput() override;

  // `<executableDir>/../libexec/vorlane/vorlane-audio-player`, in the build tree as installed.
  static QString standardPlayer();

  [[nodiscard]] bool play(const PcmBuffer& sound, Finished finished) override;
  void stop() override;
  bool isPlaying() const override { return process_ != nullptr; }

 private:
  void complete(std::uint64_t generation);
  void releaseProcess();

  QString player_;
  int startLimitMs_;
  QObject context_;
  QProcess* process_ = nullptr;
  SoundEnd end_;
};

}  // namespace vorlane
