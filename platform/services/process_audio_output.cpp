#include "platform/services/process_audio_output.h"

#include <QCoreApplication>
#include <QProcess>

#include "platform/services/main_thread.h"

namespace vorlane {

ProcessAudioOutput::ProcessAudioOutput(QString player, int startLimitMs)
    : player_(std::move(player)), startLimitMs_(startLimitMs) {}

ProcessAudioOutput::~ProcessAudioOutput() { releaseProcess(); }

QString ProcessAudioOutput::standardPlayer() {
  return QCoreApplication::applicationDirPath() + "/../libexec/vorlane/vorlane-audio-player";
}

bool ProcessAudioOutput::play(const PcmBuffer& sound, Finished finished) {
  Q_ASSERT(isMainThread());
  stop();
  if (sound.sampleRate <= 0 || sound.channels <= 0) {
    return false;
  }
  const std::uint64_t generation = end_.begin();
  process_ = new QProcess();
  // Its complaints (no sound server, a refused format) join this program's own.
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_->start(player_, {QString::number(sound.sampleRate), QString::number(sound.channels)});
  bool started = process_->waitForStarted(startLimitMs_);
  if (started) {
    process_->write(reinterpret_cast<const char*>(sound.samples.data()),
                    qint64(sound.samples.size() * sizeof(std::int16_t)));
    process_->closeWriteChannel();
    // Blocks until the sink has started or the player gave up, as opening a device would.
    while (!process_->canReadLine() && process_->waitForReadyRead(startLimitMs_)) {
    }
    started = process_->canReadLine() && process_->readLine().trimmed() == "playing";
  }
  if (!started) {
    releaseProcess();
    end_.drop();
    return false;
  }
  end_.arm(std::move(finished));
  QObject::connect(process_, &QProcess::finished, &context_,
                   [this, generation] { complete(generation); });
  if (process_->state() == QProcess::NotRunning) {
    // A short sound may have ended while we waited for the answer.
    QMetaObject::invokeMethod(
        &context_, [this, generation] { complete(generation); }, Qt::QueuedConnection);
  }
  return true;
}

void ProcessAudioOutput::stop() {
  Q_ASSERT(isMainThread());
  end_.drop();
  releaseProcess();
}

void ProcessAudioOutput::complete(std::uint64_t generation) {
  if (!end_.isCurrent(generation) || process_ == nullptr) {
    return;
  }
  auto finished = end_.take();
  releaseProcess();
  if (finished) {
    finished();  // last: it may start the next sound
  }
}

void ProcessAudioOutput::releaseProcess() {
  if (process_ == nullptr) {
    return;
  }
  QProcess* process = std::exchange(process_, nullptr);
  QObject::disconnect(process, nullptr, &context_, nullptr);
  if (process->state() != QProcess::NotRunning) {
    process->kill();
    process->waitForFinished(1000);
  }
  process->deleteLater();  // we may be inside its finished signal
}

}  // namespace vorlane
