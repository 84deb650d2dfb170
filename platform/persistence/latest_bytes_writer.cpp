#include "platform/persistence/latest_bytes_writer.h"

#include <pthread.h>

#include <utility>

namespace vorlane {

LatestBytesWriter::LatestBytesWriter(Write write)
    : write_(std::move(write)), thread_([this] { run(); }) {
  // Named for perf and top; a name too long or refused changes nothing.
  pthread_setname_np(thread_.native_handle(), "vorlane-save");
}

LatestBytesWriter::~LatestBytesWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  // The thread writes what is still pending before it ends.
  thread_.join();
}

void LatestBytesWriter::submit(std::string bytes) {
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(bytes);
  }
  wake_.notify_one();
}

void LatestBytesWriter::flush() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return !pending_ && !writing_; });
}

void LatestBytesWriter::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return pending_ || stopping_; });
    if (!pending_) return;  // stopping, with nothing left to write
    std::string bytes = std::move(*pending_);
    pending_.reset();
    writing_ = true;
    lock.unlock();
    if (bytes != written_) {
      bool stored = false;
      try {
        stored = write_(bytes);
      } catch (...) {
        stored = false;
      }
      // After a failure the same bytes are worth trying again.
      if (stored) {
        written_ = std::move(bytes);
      } else {
        written_.reset();
      }
    }
    lock.lock();
    writing_ = false;
    if (!pending_) done_.notify_all();
  }
}

}  // namespace vorlane
