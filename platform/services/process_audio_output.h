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
// in this process. The player reads the samples from its standard input as they are written,
// answers "playing" once its sink has started, and ends with the sound. Nothing here waits
// for the player: its start, its answer and its end all arrive through the event loop. A
// player that ends without having answered found no output (`End::noOutput`).
class ProcessAudioOutput final : public AudioOutput {
 public:
  // `player`: the player's path.
  explicit ProcessAudioOutput(QString player = standardPlayer());
  // Kills a player still running and reaps it.
  ~ProcessAudioOutput() override;

  // `<executableDir>/../libexec/vorlane/vorlane-audio-player`, in the build tree as installed.
  static QString standardPlayer();

  [[nodiscard]] bool open(int sampleRate, int channels, Finished finished) override;
  void write(std::span<const std::int16_t> samples) override;
  void close() override;
  void stop() override;
  bool isPlaying() const override { return process_ != nullptr; }

 private:
  void complete(std::uint64_t generation);
  void releaseProcess();

  QString player_;
  // Parent of every player started; a stopped one stays its child until it is reaped.
  QObject context_;
  QProcess* process_ = nullptr;
  bool answered_ = false;
  SoundEnd end_;
};

}  // namespace vorlane
