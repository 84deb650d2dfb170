#include "platform/services/background_synthesis.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <iterator>

#include "platform/logging/main_thread.h"

namespace vorlane {
namespace {

constexpr int synthesisNiceness = 10;

}  // namespace

BackgroundSynthesis::BackgroundSynthesis(std::unique_ptr<SynthesisEngine> engine)
    : engine_(std::move(engine)), thread_([this] { run(); }) {}

BackgroundSynthesis::~BackgroundSynthesis() {
  cancel();
  {
    std::lock_guard lock(mutex_);
    quitting_ = true;
    work_.clear();
  }
  wake_.notify_one();
  thread_.join();
}

void BackgroundSynthesis::start(std::vector<std::string> pieces,
                                std::optional<std::string> voiceIdentifier, float rate,
                                PieceReady ready) {
  Q_ASSERT(isMainThread());
  const std::uint64_t job = ++current_;
  auto deliver = std::make_shared<PieceReady>(std::move(ready));
  post([this, job, deliver, pieces = std::move(pieces), voice = std::move(voiceIdentifier), rate] {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (current_.load() != job) return;  // cancelled or replaced: the rest is not made
      freeSpent();
      std::optional<PcmBuffer> sound = engine_->synthesize(pieces[i], voice, rate);
      const bool failed = !sound.has_value();
      const bool last = failed || i + 1 == pieces.size();
      QMetaObject::invokeMethod(
          &context_,
          [this, job, deliver, sound = std::move(sound), last]() mutable {
            if (current_.load() == job) (*deliver)(sound, last);
            if (sound) giveBack(std::move(sound->samples));
          },
          Qt::QueuedConnection);
      if (failed) return;
    }
  });
}

void BackgroundSynthesis::cancel() { ++current_; }

void BackgroundSynthesis::releaseResources() {
  post([this] {
    freeSpent();
    engine_->releaseResources();
    malloc_trim(0);  // the sound and the voices' tables go back to the system
  });
}

void BackgroundSynthesis::giveBack(std::vector<std::int16_t> samples) {
  std::lock_guard lock(spentMutex_);
  spent_.push_back(std::move(samples));
}

void BackgroundSynthesis::freeSpent() {
  std::vector<std::vector<std::int16_t>> spent;
  {
    std::lock_guard lock(spentMutex_);
    spent.reserve(spent_.size());
    std::move(spent_.begin(), spent_.end(), std::back_inserter(spent));
    spent_.clear();
  }
}

void BackgroundSynthesis::post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    work_.push_back(std::move(work));
  }
  wake_.notify_one();
}

void BackgroundSynthesis::run() {
  // Making sound can wait a little; drawing and answering the user cannot. A lower priority
  // for this thread alone keeps it from taking the main thread's turn on a busy machine.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), synthesisNiceness);
  for (;;) {
    std::function<void()> work;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quitting_ || !work_.empty(); });
      if (quitting_) return;
      work = std::move(work_.front());
      work_.pop_front();
    }
    work();
  }
}

}  // namespace vorlane
