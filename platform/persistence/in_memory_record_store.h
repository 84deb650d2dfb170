#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/persistence/record_store.h"

namespace vorlane {

// Records held in memory, for tests and for running without a home folder. Tests can
// make a key unreadable and make writes fail, and can count writes.
class InMemoryRecordStore final : public RecordStore {
 public:
  InMemoryRecordStore() = default;
  // Moving takes the other's records and its failing switch (a test starting over).
  InMemoryRecordStore(InMemoryRecordStore&& other) noexcept { *this = std::move(other); }
  InMemoryRecordStore& operator=(InMemoryRecordStore&& other) noexcept;

  StoredData data(const std::string& key) const override;
  void setData(const std::string& key, std::string_view bytes) override;
  [[nodiscard]] bool remove(const std::string& key) override;
  std::optional<std::string> setAside(const std::string& key) override;
  std::optional<std::string> setDataKeepingAside(const std::string& key,
                                                 std::string_view bytes) override;

  // From now on, reading `key` reports it unreadable with `reason`, until it is written,
  // removed or set aside. Whatever bytes it holds stay.
  void makeUnreadable(const std::string& key, std::string reason = "unreadable");
  // While set, setData throws (as a full disk would) and remove fails; nothing changes.
  void setFailing(bool failing) { failing_ = failing; }

  // How many times setData succeeded for `key`.
  int writeCount(const std::string& key) const;
  // The raw bytes under any key, readable or not (set-aside copies included).
  std::optional<std::string> rawBytes(const std::string& key) const;

 private:
  struct Entry {
    std::optional<std::string> bytes;
    std::optional<std::string> unreadableReason;
  };
  mutable std::mutex mutex_;
  std::map<std::string, Entry> entries_;
  std::map<std::string, int> writes_;
  std::atomic<bool> failing_ = false;
  int asideCount_ = 0;
};

}  // namespace vorlane
