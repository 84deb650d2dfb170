#include "platform/persistence/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace vorlane {
namespace fs = std::filesystem;
namespace {

std::string describe(const fs::path& path, int error) {
  return path.string() + ": " + std::strerror(error);
}

[[noreturn]] void fail(int error, const std::string& what, const fs::path& path) {
  throw std::system_error(error, std::generic_category(), what + " " + path.string());
}

fs::path folderOf(const fs::path& path) {
  fs::path folder = path.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Makes a rename in `folder` durable. Some file systems cannot sync a folder at all; that is
// no loss, so only real I/O errors count.
void syncFolder(const fs::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) fail(errno, "could not open folder", folder);
  int rc = ::fsync(fd);
  int error = errno;
  ::close(fd);
  if (rc != 0 && error != EINVAL && error != ENOTSUP && error != EROFS) {
    fail(error, "could not flush folder", folder);
  }
}

bool somethingAt(const fs::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The name of the file a temporary file of writeFileAtomically stands in for
// ("." + target + ".tmp-" + six letters or digits); none for any other name.
std::optional<std::string_view> temporaryTarget(std::string_view name) {
  static constexpr std::string_view marker = ".tmp-";
  static constexpr std::size_t unique = 6;
  if (name.size() < 1 + 1 + marker.size() + unique || name.front() != '.') return std::nullopt;
  const std::size_t at = name.size() - unique - marker.size();
  if (name.substr(at, marker.size()) != marker) return std::nullopt;
  for (const char c : name.substr(at + marker.size())) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
      return std::nullopt;
    }
  }
  return name.substr(1, at - 1);
}

// Removes the regular files in `folder` that are temporary files of a target `ofTarget`
// accepts; failures only leave the files where they were.
template <class Accept>
void removeTemporaries(const fs::path& folder, Accept ofTarget, std::vector<fs::path>* removed) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const auto target = temporaryTarget(name);
    if (!target || !ofTarget(*target)) continue;
    std::error_code statusError;
    if (!fs::is_regular_file(it->symlink_status(statusError))) continue;
    if (::unlink(it->path().c_str()) == 0 && removed != nullptr) removed->push_back(it->path());
  }
}

// A writer killed mid-save leaves its temporary copy behind; the next save that succeeds
// removes them.
void removeStaleTemporaries(const fs::path& folder, const std::string& target) {
  removeTemporaries(
      folder, [&](std::string_view of) { return of == target; }, nullptr);
}

// Where a write to `path` lands: the file a chain of symbolic links ends at (which need not
// exist yet), or `path` itself.
fs::path writeTarget(const fs::path& path) {
  fs::path target = path;
  // As many links as the system itself follows before giving up.
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
    const fs::path next = fs::read_symlink(target, error);
    if (error) fail(error.value(), "could not follow the link", target);
    target = next.is_absolute() ? next : folderOf(target) / next;
  }
  fail(ELOOP, "could not follow the link", path);
}

}  // namespace

StoredData readStoredFile(const fs::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) return StoredData::missing();
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      return StoredData::unreachable(error, describe(path, error));
    }
    return StoredData::unreadable(describe(path, error));
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat st {};
  if (::fstat(fd, &st) != 0) return StoredData::unreadable(describe(path, errno));
  if (S_ISDIR(st.st_mode)) return StoredData::unreadable(describe(path, EISDIR));
  if (!S_ISREG(st.st_mode)) return StoredData::unreadable(path.string() + ": not a regular file");
  if (static_cast<std::uintmax_t>(st.st_size) > maximumStoredFileSize) {
    return StoredData::unreadable(path.string() + ": file too large");
  }
  try {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        return StoredData::unreadable(describe(path, errno));
      }
      if (n == 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
      if (bytes.size() > maximumStoredFileSize) {
        return StoredData::unreadable(path.string() + ": file too large");
      }
    }
    return StoredData::value(std::move(bytes));
  } catch (const std::bad_alloc&) {
    return StoredData::unreadable(path.string() + ": out of memory");
  }
}

void writeFileAtomically(const fs::path& link, std::string_view bytes) {
  // What could not be read back would be lost at the next launch.
  if (bytes.size() > maximumStoredFileSize) fail(EFBIG, "too large to store", link);
  const fs::path path = writeTarget(link);
  const fs::path folder = folderOf(path);
  // The caller makes the record's own folder; a link's target may lie in a folder not made
  // yet (a dotfiles repository not checked out in full), made here the same way.
  if (path != link) createFolders(folder);
  // Appended, not prefixed: GCC 12 at -O3 reports a false overlap (-Wrestrict) for "." + string.
  std::string leaf = ".";
  leaf += path.filename().string();
  leaf += ".tmp-XXXXXX";
  std::string pattern = (folder / leaf).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) fail(errno, "could not create a temporary file beside", path);
  const fs::path temporary(name.data());

  auto abandon = [&](int error, const char* what) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    fail(error, what, path);
  };

  if (::fchmod(fd, 0600) != 0) abandon(errno, "could not set permissions for");
  std::string_view rest = bytes;
  while (!rest.empty()) {
    ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon(errno, "could not write");
    }
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::fsync(fd) != 0) abandon(errno, "could not flush");
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) abandon(errno, "could not close");
  if (::rename(temporary.c_str(), path.c_str()) != 0) abandon(errno, "could not replace");
  syncFolder(folder);
  removeStaleTemporaries(folder, path.filename().string());
}

void createFolders(const fs::path& folder) {
  fs::path built;
  for (const fs::path& part : folder) {
    built /= part;
    if (part == "/" || part.empty()) continue;
    if (::mkdir(built.c_str(), 0700) == 0) continue;
    if (errno != EEXIST) fail(errno, "could not create folder", built);
    struct stat st {};
    if (::stat(built.c_str(), &st) != 0) fail(errno, "could not inspect", built);
    if (!S_ISDIR(st.st_mode)) fail(ENOTDIR, "not a folder:", built);
  }
}

bool removeFile(const fs::path& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

fs::path asidePath(const fs::path& path, std::time_t utc, int n) {
  std::tm parts{};
  ::gmtime_r(&utc, &parts);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &parts);
  std::string name = path.filename().string() + ".unreadable-" + stamp;
  if (n >= 2) {
    name += '-';
    name += std::to_string(n);
  }
  return folderOf(path) / name;
}

std::optional<fs::path> moveAside(const fs::path& path, std::time_t utc) {
  for (int n = 1; n <= 1000; ++n) {
    const fs::path target = asidePath(path, utc, n);
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
      syncFolder(folderOf(path));
      return target;
    }
    int error = errno;
    if (error == EEXIST) continue;
    if (error == ENOENT && !somethingAt(path)) return std::nullopt;
    if (error == EINVAL || error == ENOSYS) {
      // The file system cannot refuse to replace; check first instead.
      if (somethingAt(target)) continue;
      if (::rename(path.c_str(), target.c_str()) == 0) {
        syncFolder(folderOf(path));
        return target;
      }
      error = errno;
      if (error == ENOENT && !somethingAt(path)) return std::nullopt;
    }
    fail(error, "could not move aside", path);
  }
  fail(EEXIST, "could not move aside", path);
}

std::vector<fs::path> removeLeftoverTemporaries(
    const fs::path& folder, const std::function<bool(std::string_view)>& isRecord) {
  std::vector<fs::path> removed;
  removeTemporaries(folder, isRecord, &removed);
  // A record kept as a link is written beside its target, which may have any name.
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code linkError;
    if (!isRecord(it->path().filename().string()) || !it->is_symlink(linkError)) continue;
    try {
      const fs::path target = writeTarget(it->path());
      const std::string name = target.filename().string();
      removeTemporaries(
          folderOf(target), [&](std::string_view of) { return of == name; }, &removed);
    } catch (const std::system_error&) {
      // A link that cannot be followed cannot have been written through either.
    }
  }
  return removed;
}

}  // namespace vorlane
