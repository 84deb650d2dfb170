#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/services/synthesis_engine.h"

namespace vorlane {

// Runs a synthesis engine on a thread of its own, so that making the sound of a long text
// never holds the main thread. A text comes as pieces (see `speechPieces`); each piece's sound
// is handed to the main thread as soon as it is made, in order. Main thread only, but for the
// engine's work.
class BackgroundSynthesis {
 public:
  // A piece's sound (none when the engine failed on it), and whether it is the text's last.
  // Runs on the main thread from the event loop, never for a text cancelled or replaced. The
  // sound is lent for the call: its memory then goes back to the thread that made it.
  using PieceReady = std::function<void(const std::optional<PcmBuffer>& sound, bool last)>;

  explicit BackgroundSynthesis(std::unique_ptr<SynthesisEngine> engine);
  BackgroundSynthesis(const BackgroundSynthesis&) = delete;
  BackgroundSynthesis& operator=(const BackgroundSynthesis&) = delete;
  // Cancels, and waits for the piece under way.
  ~BackgroundSynthesis();

  // Replaces the text under way, if any, by this one. After a failed piece no more come.
  void start(std::vector<std::string> pieces, std::optional<std::string> voiceIdentifier,
             float rate, PieceReady ready);
  // No further piece of the current text is made or handed over.
  void cancel();
  // The engine gives back its voices, once the work before has been done.
  void releaseResources();
  // The installed voices; the engine answers this from any thread.
  std::vector<SpeechVoice> voices() const { return engine_->voices(); }

 private:
  void run();
  void post(std::function<void()> work);
  // A sound handed over goes back to be freed on this thread, which made it: freed on the
  // main thread, it would wait for the lock of this thread's allocator arena, which this
  // thread holds while it makes sound, and may hold for long while the scheduler has it wait.
  void giveBack(std::vector<std::int16_t> samples);
  void freeSpent();

  std::unique_ptr<SynthesisEngine> engine_;
  // Receiver of the pieces on the main thread; destroying it discards what is still queued.
  QObject context_;
  std::atomic<std::uint64_t> current_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> work_;
  bool quitting_ = false;
  // Only ever grown on the main thread and emptied on this one, which keeps its capacity.
  std::vector<std::vector<std::int16_t>> spent_;
  std::mutex spentMutex_;
  std::thread thread_;
};

}  // namespace vorlane
