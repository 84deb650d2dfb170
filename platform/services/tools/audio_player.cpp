// The audio player the program starts for each sound: plays interleaved signed 16-bit
// samples from standard input on the default output device as they arrive, prints "playing"
// once the sink has started and exits when the input has ended and all of it has played.
// Usage: vorlane-audio-player <sample rate> <channels>
// Exits with 2 when playback cannot start, 1 on bad arguments. The sound system's own
// complaints (no sound server, a refused format) are not printed: the program that started
// the player says in its own log, once, that nothing could be heard.

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/services/sink_audio_output.h"

namespace {

int play(int argc, char** argv) {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  bool rateOk = false, channelsOk = false;
  int sampleRate = 0, channels = 0;
  if (arguments.size() == 3) {
    sampleRate = arguments[1].toInt(&rateOk);
    channels = arguments[2].toInt(&channelsOk);
  }
  if (!rateOk || !channelsOk) {
    std::fputs("usage: vorlane-audio-player <sample rate> <channels>\n", stderr);
    return 1;
  }
  if (::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK) != 0) {
    return 1;
  }

  vorlane::SinkAudioOutput output;
  if (!output.open(sampleRate, channels, [](auto) { QCoreApplication::quit(); })) {
    return 2;
  }
  std::fputs("playing\n", stdout);
  std::fflush(stdout);

  // Reads what the pipe holds whenever it holds something; an odd byte waits for its pair.
  std::vector<char> carry;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char chunk[65536];
    for (;;) {
      const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
      if (got > 0) {
        carry.insert(carry.end(), chunk, chunk + got);
        const std::size_t whole = carry.size() / sizeof(std::int16_t);
        output.write({reinterpret_cast<const std::int16_t*>(carry.data()), whole});
        carry.erase(carry.begin(), carry.begin() + std::ptrdiff_t(whole * sizeof(std::int16_t)));
        continue;
      }
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
      input.setEnabled(false);  // the end of the input, or a broken pipe
      output.close();
      return;
    }
  });
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  const int status = play(argc, argv);
  // The sound has played, or never could, and the player's own objects are gone. What is
  // left are the sound library's static destructors, which drop its server connection while
  // its thread may still be handling a reply, and then abort the process now and then: an
  // ended player is all that is asked of them.
  std::fflush(nullptr);
  std::_Exit(status);
}
