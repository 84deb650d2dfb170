#include "platform/persistence/in_memory_record_store.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace vorlane {

InMemoryRecordStore& InMemoryRecordStore::operator=(InMemoryRecordStore&& other) noexcept {
  if (this == &other) return *this;
  const std::scoped_lock lock(mutex_, other.mutex_);
  entries_ = std::move(other.entries_);
  writes_ = std::move(other.writes_);
  failing_ = other.failing_.load();
  asideCount_ = other.asideCount_;
  return *this;
}

StoredData InMemoryRecordStore::data(const std::string& key) const {
  const std::lock_guard lock(mutex_);
  auto it = entries_.find(key);
  if (it == entries_.end()) return StoredData::missing();
  if (it->second.unreadableReason) return StoredData::unreadable(*it->second.unreadableReason);
  if (!it->second.bytes) return StoredData::missing();
  return StoredData::value(*it->second.bytes);
}

void InMemoryRecordStore::setData(const std::string& key, std::string_view bytes) {
  const std::lock_guard lock(mutex_);
  if (failing_) throw std::system_error(ENOSPC, std::generic_category(), "could not write " + key);
  entries_[key] = Entry{std::string(bytes), std::nullopt};
  ++writes_[key];
}

bool InMemoryRecordStore::remove(const std::string& key) {
  const std::lock_guard lock(mutex_);
  if (failing_) return !entries_.contains(key);
  entries_.erase(key);
  return true;
}

std::optional<std::string> InMemoryRecordStore::setAside(const std::string& key) {
  const std::lock_guard lock(mutex_);
  auto it = entries_.find(key);
  if (it == entries_.end()) return std::nullopt;
  if (failing_) throw std::system_error(EACCES, std::generic_category(), "could not move " + key);
  std::string name = key + ".unreadable-" + std::to_string(++asideCount_);
  entries_[name] = it->second;
  entries_.erase(key);
  return name;
}

std::optional<std::string> InMemoryRecordStore::setDataKeepingAside(const std::string& key,
                                                                    std::string_view bytes) {
  const std::lock_guard lock(mutex_);
  if (failing_) throw std::system_error(ENOSPC, std::generic_category(), "could not write " + key);
  std::optional<std::string> name;
  if (auto it = entries_.find(key); it != entries_.end()) {
    name = key + ".unreadable-" + std::to_string(++asideCount_);
    entries_[*name] = it->second;
  }
  entries_[key] = Entry{std::string(bytes), std::nullopt};
  ++writes_[key];
  return name;
}

void InMemoryRecordStore::makeUnreadable(const std::string& key, std::string reason) {
  const std::lock_guard lock(mutex_);
  entries_[key].unreadableReason = std::move(reason);
}

int InMemoryRecordStore::writeCount(const std::string& key) const {
  const std::lock_guard lock(mutex_);
  auto it = writes_.find(key);
  return it == writes_.end() ? 0 : it->second;
}

std::optional<std::string> InMemoryRecordStore::rawBytes(const std::string& key) const {
  const std::lock_guard lock(mutex_);
  auto it = entries_.find(key);
  if (it == entries_.end()) return std::nullopt;
  return it->second.bytes;
}

}  // namespace vorlane
