#include "platform/services/sink_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <cmath>
#include <limits>

#include "platform/services/main_thread.h"

namespace vorlane {

SinkAudioOutput::SinkAudioOutput(int watchdogMarginMs) : watchdogMarginMs_(watchdogMarginMs) {
  watchdog_.setSingleShot(true);
  QObject::connect(&watchdog_, &QTimer::timeout, &context_, [this] { complete(end_.current()); });
}

SinkAudioOutput::~SinkAudioOutput() { releaseSink(); }

bool SinkAudioOutput::play(const PcmBuffer& sound, Finished finished) {
  Q_ASSERT(isMainThread());
  stop();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull() || sound.sampleRate <= 0 || sound.channels <= 0) {
    return false;
  }
  QAudioFormat format;
  format.setSampleRate(sound.sampleRate);
  format.setChannelCount(sound.channels);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) {
    return false;
  }

  const std::uint64_t generation = end_.begin();
  sink_ = new QAudioSink(device, format);
  // The buffer is the sink's child, so it outlives every read the sink makes.
  auto* buffer = new QBuffer(sink_);
  buffer->setData(reinterpret_cast<const char*>(sound.samples.data()),
                  qsizetype(sound.samples.size() * sizeof(std::int16_t)));
  buffer->open(QIODevice::ReadOnly);
  QObject::connect(sink_, &QAudioSink::stateChanged, &context_,
                   [this, generation](QAudio::State state) { onStateChanged(generation, state); });
  sink_->start(buffer);
  if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
    releaseSink();
    end_.drop();  // drops any end already queued by the failed start
    return false;
  }
  end_.arm(std::move(finished));
  const double limitMs = sound.seconds() * 1000.0 + watchdogMarginMs_;
  watchdog_.start(limitMs < double(std::numeric_limits<int>::max())
                      ? int(limitMs)
                      : std::numeric_limits<int>::max());
  return true;
}

void SinkAudioOutput::stop() {
  Q_ASSERT(isMainThread());
  end_.drop();
  watchdog_.stop();
  releaseSink();
}

void SinkAudioOutput::onStateChanged(std::uint64_t generation, QAudio::State state) {
  if (!end_.isCurrent(generation) || sink_ == nullptr) {
    return;
  }
  const bool drained = state == QAudio::IdleState;
  const bool broken = state == QAudio::StoppedState && sink_->error() != QAudio::NoError;
  if (drained || broken) {
    // The sink may report this from inside start(); the end is delivered on the next turn.
    QMetaObject::invokeMethod(
        &context_, [this, generation] { complete(generation); }, Qt::QueuedConnection);
  }
}

void SinkAudioOutput::complete(std::uint64_t generation) {
  if (!end_.isCurrent(generation) || sink_ == nullptr) {
    return;
  }
  auto finished = end_.take();
  watchdog_.stop();
  releaseSink();
  if (finished) {
    finished();  // last: it may start the next sound
  }
}

void SinkAudioOutput::releaseSink() {
  if (sink_ == nullptr) {
    return;
  }
  QAudioSink* sink = std::exchange(sink_, nullptr);
  QObject::disconnect(sink, nullptr, &context_, nullptr);
  sink->stop();
  sink->deleteLater();  // we may be inside one of its signals
}

}  // namespace vorlane
