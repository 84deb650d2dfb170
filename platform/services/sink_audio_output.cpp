#include "platform/services/sink_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>
#include <limits>

#include "platform/logging/main_thread.h"

namespace vorlane {
namespace {

// How often what was written is moved into the sink: well inside the sink's own buffer.
constexpr int feedIntervalMs = 20;

}  // namespace

SinkAudioOutput::SinkAudioOutput(int watchdogMarginMs) : watchdogMarginMs_(watchdogMarginMs) {
  watchdog_.setSingleShot(true);
  QObject::connect(&watchdog_, &QTimer::timeout, &context_, [this] { complete(end_.current()); });
  feeder_.setInterval(feedIntervalMs);
  QObject::connect(&feeder_, &QTimer::timeout, &context_, [this] { feed(); });
}

SinkAudioOutput::~SinkAudioOutput() { releaseSink(); }

bool SinkAudioOutput::open(int sampleRate, int channels, Finished finished) {
  Q_ASSERT(isMainThread());
  stop();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull() || sampleRate <= 0 || channels <= 0) {
    return false;
  }
  QAudioFormat format;
  format.setSampleRate(sampleRate);
  format.setChannelCount(channels);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) {
    return false;
  }

  const std::uint64_t generation = end_.begin();
  sink_ = new QAudioSink(device, format);
  QObject::connect(sink_, &QAudioSink::stateChanged, &context_,
                   [this, generation](QAudio::State state) { onStateChanged(generation, state); });
  input_ = sink_->start();
  if (input_ == nullptr || sink_->error() != QAudio::NoError ||
      sink_->state() == QAudio::StoppedState) {
    releaseSink();
    end_.drop();  // drops any end already queued by the failed start
    return false;
  }
  end_.arm(std::move(finished));
  bytesPerSecond_ = qint64(sampleRate) * channels * qint64(sizeof(std::int16_t));
  fed_ = 0;
  closed_ = false;
  pending_.clear();
  fedFromPending_ = 0;
  feeder_.start();
  return true;
}

void SinkAudioOutput::write(std::span<const std::int16_t> samples) {
  if (sink_ == nullptr || closed_) {
    return;
  }
  pending_.append(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size_bytes()));
  feed();
}

void SinkAudioOutput::close() {
  if (sink_ == nullptr || closed_) {
    return;
  }
  closed_ = true;
  const double totalMs =
      double(fed_ + pending_.size() - fedFromPending_) * 1000.0 / double(bytesPerSecond_);
  const double limitMs = totalMs - double(sink_->processedUSecs()) / 1000.0 + watchdogMarginMs_;
  watchdog_.start(int(std::clamp(limitMs, 0.0, double(std::numeric_limits<int>::max()))));
  feed();
}

void SinkAudioOutput::feed() {
  if (sink_ == nullptr) {
    return;
  }
  while (fedFromPending_ < pending_.size()) {
    const qint64 room = std::min<qint64>(sink_->bytesFree(), pending_.size() - fedFromPending_);
    const qint64 taken = room > 0 ? input_->write(pending_.constData() + fedFromPending_, room) : 0;
    if (taken <= 0) {
      break;
    }
    fedFromPending_ += qsizetype(taken);
    fed_ += taken;
  }
  // What the sink took goes once it is most of the buffer, not at every step: a long text
  // may wait here whole.
  if (fedFromPending_ > 0 && fedFromPending_ * 2 >= pending_.size()) {
    pending_.remove(0, fedFromPending_);
    fedFromPending_ = 0;
  }
  // Drained: everything was fed and the sink has played it or run dry.
  const bool played = sink_->processedUSecs() * bytesPerSecond_ >= fed_ * 1000000;
  if (closed_ && pending_.isEmpty() && (played || sink_->state() == QAudio::IdleState)) {
    const std::uint64_t generation = end_.current();
    feeder_.stop();
    QMetaObject::invokeMethod(
        &context_, [this, generation] { complete(generation); }, Qt::QueuedConnection);
  }
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
  const bool broken = state == QAudio::StoppedState && sink_->error() != QAudio::NoError;
  if (broken) {
    // The sink may report this from inside start(); the end is delivered on the next turn.
    QMetaObject::invokeMethod(
        &context_, [this, generation] { complete(generation); }, Qt::QueuedConnection);
  } else if (state == QAudio::IdleState) {
    // Ran dry: ended, or waiting for more. Not from inside a write to the sink.
    QMetaObject::invokeMethod(
        &context_,
        [this, generation] {
          if (end_.isCurrent(generation)) feed();
        },
        Qt::QueuedConnection);
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
    finished(End::played);  // last: it may start the next sound
  }
}

void SinkAudioOutput::releaseSink() {
  feeder_.stop();
  pending_.clear();
  fedFromPending_ = 0;
  input_ = nullptr;
  if (sink_ == nullptr) {
    return;
  }
  QAudioSink* sink = std::exchange(sink_, nullptr);
  QObject::disconnect(sink, nullptr, &context_, nullptr);
  sink->stop();
  sink->deleteLater();  // we may be inside one of its signals
}

}  // namespace vorlane
