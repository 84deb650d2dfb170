// The audio player the program starts for each sound: reads interleaved signed 16-bit
// samples from standard input until it ends, plays them on the default output device,
// prints "playing" once the sink has started and exits when the sound has ended.
// Usage: vorlane-audio-player <sample rate> <channels>
// Exits with 2 when playback cannot start, 1 on bad arguments.

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstring>

#include "platform/services/sink_audio_output.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  bool rateOk = false, channelsOk = false;
  vorlane::PcmBuffer sound;
  if (arguments.size() == 3) {
    sound.sampleRate = arguments[1].toInt(&rateOk);
    sound.channels = arguments[2].toInt(&channelsOk);
  }
  if (!rateOk || !channelsOk) {
    std::fputs("usage: vorlane-audio-player <sample rate> <channels>\n", stderr);
    return 1;
  }
  QFile input;
  if (!input.open(stdin, QIODevice::ReadOnly)) {
    return 1;
  }
  const QByteArray bytes = input.readAll();
  sound.samples.resize(std::size_t(bytes.size()) / sizeof(std::int16_t));
  std::memcpy(sound.samples.data(), bytes.data(), sound.samples.size() * sizeof(std::int16_t));

  vorlane::SinkAudioOutput output;
  if (!output.play(sound, [] { QCoreApplication::quit(); })) {
    return 2;
  }
  std::fputs("playing\n", stdout);
  std::fflush(stdout);
  return app.exec();
}
