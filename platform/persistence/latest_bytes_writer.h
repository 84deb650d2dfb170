#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vorlane {

// Writes a record's newest bytes on a thread of its own, so that whoever changes the record
// many times a second (a slider being dragged) never waits for the disk. Bytes handed in
// while a write runs replace one another: only the newest is written next, and the last
// bytes handed in are always written. Bytes equal to the last ones written are not written
// again. The destructor waits for the newest bytes to be written.
class LatestBytesWriter {
 public:
  // Stores the bytes and says whether they were stored; runs on the writer's thread, one
  // call at a time, and reports its own failures. A throw counts as a failure.
  using Write = std::function<bool(const std::string& bytes)>;

  explicit LatestBytesWriter(Write write);
  ~LatestBytesWriter();
  LatestBytesWriter(const LatestBytesWriter&) = delete;
  LatestBytesWriter& operator=(const LatestBytesWriter&) = delete;

  // Queues the bytes to be written, replacing any still waiting. Never blocks on a write.
  void submit(std::string bytes);
  // Returns once every byte string handed in before the call is written, or replaced by a
  // newer one that is (or once its write failed).
  void flush();

 private:
  void run();

  Write write_;
  std::mutex mutex_;
  std::condition_variable wake_;  // the thread waits here for bytes or the end
  std::condition_variable done_;  // flush waits here for the thread to be idle
  std::optional<std::string> pending_;
  bool writing_ = false;
  bool stopping_ = false;
  // The last bytes stored; only the writer's thread touches them.
  std::optional<std::string> written_;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace vorlane
