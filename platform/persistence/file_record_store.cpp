#include "platform/persistence/file_record_store.h"

#include "platform/persistence/atomic_file.h"
#include "platform/persistence/xdg_folders.h"

namespace vorlane {

FileRecordStore::FileRecordStore(std::filesystem::path folder, UtcClock now)
    : folder_(std::move(folder)), now_(std::move(now)) {
  if (!now_) now_ = [] { return std::time(nullptr); };
}

std::unique_ptr<FileRecordStore> FileRecordStore::standard() {
  auto folder = configFolder();
  if (!folder) return nullptr;
  return std::make_unique<FileRecordStore>(*folder);
}

std::string FileRecordStore::fileName(std::string_view key) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string name;
  for (std::size_t i = 0; i < key.size(); ++i) {
    auto c = static_cast<unsigned char>(key[i]);
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '_' || c == '-' || (c == '.' && i > 0);
    if (plain) {
      name += static_cast<char>(c);
    } else {
      name += '%';
      name += hex[c >> 4];
      name += hex[c & 0xF];
    }
  }
  return name + ".json";
}

StoredData FileRecordStore::data(const std::string& key) const { return readStoredFile(path(key)); }

void FileRecordStore::setData(const std::string& key, std::string_view bytes) {
  createFolders(folder_);
  writeFileAtomically(path(key), bytes);
}

bool FileRecordStore::remove(const std::string& key) { return removeFile(path(key)); }

std::optional<std::string> FileRecordStore::setAside(const std::string& key) {
  auto moved = moveAside(path(key), now_());
  if (!moved) return std::nullopt;
  return moved->string();
}

std::optional<std::string> FileRecordStore::setDataKeepingAside(const std::string& key,
                                                                std::string_view bytes) {
  createFolders(folder_);
  auto kept = writeFileKeepingAside(path(key), bytes, now_());
  if (!kept) return std::nullopt;
  return kept->string();
}

}  // namespace vorlane
