#include "platform/services/process_audio_output.h"

#include <QCoreApplication>
#include <QProcess>

#include "platform/logging/main_thread.h"

namespace vorlane {

ProcessAudioOutput::ProcessAudioOutput(QString player) : player_(std::move(player)) {}

ProcessAudioOutput::~ProcessAudioOutput() {
  end_.drop();
  releaseProcess();
  // A killed player ends at once; reaping it waits on the process itself, never on a clock a
  // test may have sped up, so no player outlives its QProcess.
  for (QProcess* process : context_.findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
    QObject::disconnect(process, nullptr, nullptr, nullptr);
    if (process->state() != QProcess::NotRunning) {
      process->kill();
      process->waitForFinished(-1);
    }
    delete process;
  }
}

QString ProcessAudioOutput::standardPlayer() {
  return QCoreApplication::applicationDirPath() + "/../libexec/vorlane/vorlane-audio-player";
}

bool ProcessAudioOutput::open(int sampleRate, int channels, Finished finished) {
  Q_ASSERT(isMainThread());
  stop();
  if (sampleRate <= 0 || channels <= 0) {
    return false;
  }
  const std::uint64_t generation = end_.begin();
  end_.arm(std::move(finished));
  answered_ = false;
  process_ = new QProcess(&context_);
  // Its complaints (no sound server, a refused format) join this program's own.
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QObject::connect(process_, &QProcess::readyReadStandardOutput, &context_, [this, generation] {
    if (!end_.isCurrent(generation) || process_ == nullptr) return;
    while (process_->canReadLine()) {
      if (process_->readLine().trimmed() == "playing") answered_ = true;
    }
  });
  QObject::connect(process_, &QProcess::finished, &context_,
                   [this, generation] { complete(generation); });
  QObject::connect(process_, &QProcess::errorOccurred, &context_,
                   [this, generation](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     // Not from inside start(): the caller's `open` has not returned yet.
                     QMetaObject::invokeMethod(
                         &context_, [this, generation] { complete(generation); },
                         Qt::QueuedConnection);
                   });
  // What is written before the player runs waits in the process's buffer.
  process_->start(player_, {QString::number(sampleRate), QString::number(channels)});
  return true;
}

void ProcessAudioOutput::write(std::span<const std::int16_t> samples) {
  if (process_ == nullptr || samples.empty()) {
    return;
  }
  process_->write(reinterpret_cast<const char*>(samples.data()), qint64(samples.size_bytes()));
}

void ProcessAudioOutput::close() {
  if (process_ != nullptr) {
    process_->closeWriteChannel();  // once the buffer has gone out
  }
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
  // The answer may sit unread when the player ended right after giving it.
  while (process_->canReadLine()) {
    if (process_->readLine().trimmed() == "playing") answered_ = true;
  }
  const End end = answered_ ? End::played : End::noOutput;
  auto finished = end_.take();
  releaseProcess();
  if (finished) {
    finished(end);  // last: it may start the next sound
  }
}

void ProcessAudioOutput::releaseProcess() {
  if (process_ == nullptr) {
    return;
  }
  QProcess* process = std::exchange(process_, nullptr);
  QObject::disconnect(process, nullptr, &context_, nullptr);
  if (process->state() == QProcess::NotRunning) {
    process->deleteLater();  // we may be inside its finished signal
    return;
  }
  // Reaped when it has gone, without waiting here.
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->kill();
}

}  // namespace vorlane
