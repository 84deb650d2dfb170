#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/persistence/record_store.h"

namespace vorlane {

// Records as one file per key in one folder: "<folder>/<encoded key>.json", holding
// exactly the value's bytes. Files are written atomically and durably, 0600; the folder is
// created 0700 on the first write. It keeps no state of its own besides the folder, so
// different keys may be used from different threads at once (each write has its own
// temporary file and only ever clears its own key's leftovers); one key, one thread at a time.
class FileRecordStore final : public RecordStore {
 public:
  using UtcClock = std::function<std::time_t()>;

  // `now` stamps the names of set-aside files; the system clock when not given.
  explicit FileRecordStore(std::filesystem::path folder, UtcClock now = {});

  // The standard database of this user; null when no home folder can be found.
  static std::unique_ptr<FileRecordStore> standard();

  // The key as a file name: bytes outside [A-Za-z0-9._-] and a leading dot become %XX
  // (upper-case hex), so different keys never share a file.
  static std::string fileName(std::string_view key);

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path path(std::string_view key) const { return folder_ / fileName(key); }

  StoredData data(const std::string& key) const override;
  void setData(const std::string& key, std::string_view bytes) override;
  [[nodiscard]] bool remove(const std::string& key) override;
  std::optional<std::string> setAside(const std::string& key) override;
  std::optional<std::string> setDataKeepingAside(const std::string& key,
                                                 std::string_view bytes) override;

 private:
  std::filesystem::path folder_;
  UtcClock now_;
};

}  // namespace vorlane
