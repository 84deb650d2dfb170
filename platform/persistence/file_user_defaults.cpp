#include "platform/persistence/file_user_defaults.h"

#include "platform/persistence/application_support.h"
#include "platform/persistence/atomic_file.h"

namespace vorlane {

FileUserDefaults::FileUserDefaults(std::filesystem::path folder, UtcClock now)
    : folder_(std::move(folder)), now_(std::move(now)) {
  if (!now_) now_ = [] { return std::time(nullptr); };
}

std::unique_ptr<FileUserDefaults> FileUserDefaults::standard() {
  auto folder = userDefaultsFolder();
  if (!folder) return nullptr;
  return std::make_unique<FileUserDefaults>(*folder);
}

std::string FileUserDefaults::fileName(std::string_view key) {
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

StoredData FileUserDefaults::data(const std::string& key) const {
  return readStoredFile(path(key));
}

void FileUserDefaults::setData(const std::string& key, std::string_view bytes) {
  createFolders(folder_);
  writeFileAtomically(path(key), bytes);
}

bool FileUserDefaults::remove(const std::string& key) { return removeFile(path(key)); }

std::optional<std::string> FileUserDefaults::setAside(const std::string& key) {
  auto moved = moveAside(path(key), now_());
  if (!moved) return std::nullopt;
  return moved->string();
}

}  // namespace vorlane
