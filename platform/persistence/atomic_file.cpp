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
#include <utility>
#include <vector>

#include "platform/persistence/save_steps.h"

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

std::function<int(SaveStep)>& saveStepHook() {
  static std::function<int(SaveStep)> hook;
  return hook;
}

// The error a test makes `step` fail with; 0 when the step is left to the system.
int injected(SaveStep step) {
  const auto& hook = saveStepHook();
  return hook ? hook(step) : 0;
}

// Writes all of `bytes` to `fd`; the error number when it could not, else 0.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Errors of link() that say the file system makes no hard links here (or none more to this
// file), for which a copy does as well.
bool linksRefused(int error) {
  return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP ||
         error == EOPNOTSUPP || error == ENOSYS;
}

// Copies the regular file `from` to `to`, a name not taken yet, and flushes the copy (0600);
// the error number when it could not (EEXIST when the name is taken), no half copy left.
int copyFile(const fs::path& from, const fs::path& to) {
  if (const int error = injected(SaveStep::copyAside)) return error;
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return errno;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    return error;
  }
  int error = 0;
  char buffer[65536];
  while (error == 0) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno != EINTR) error = errno;
      continue;
    }
    error = writeAll(out, std::string_view(buffer, static_cast<std::size_t>(n)));
  }
  if (error == 0 && ::fsync(out) != 0) error = errno;
  if (::close(out) != 0 && error == 0) error = errno;
  ::close(in);
  if (error != 0) ::unlink(to.c_str());
  return error;
}

// Renames `aside` back to `path` unless something has taken its place meanwhile.
void putBack(const fs::path& aside, const fs::path& path) {
  if (::renameat2(AT_FDCWD, aside.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return;
  if ((errno == EINVAL || errno == ENOSYS) && !somethingAt(path)) {
    ::rename(aside.c_str(), path.c_str());
  }
}

// The first part of `folder`, from the root, that is there but is not a folder (followed
// through links); none when each is a folder or missing.
std::optional<fs::path> firstPartNotAFolder(const fs::path& folder) {
  fs::path built;
  for (const fs::path& part : folder) {
    built /= part;
    if (part == "/" || part.empty()) continue;
    struct stat st {};
    if (::stat(built.c_str(), &st) != 0) return std::nullopt;
    if (!S_ISDIR(st.st_mode)) {
      // Named as the system found it: "a/../b" after a link's target is b beside where a is.
      std::error_code error;
      const fs::path above = fs::canonical(built.parent_path(), error);
      return error ? built : above / built.filename();
    }
  }
  return std::nullopt;
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

void writeFileAtomically(const fs::path& path, std::string_view bytes) {
  FileReplacement replacement(path, bytes);
  replacement.replace();
}

std::optional<fs::path> writeFileKeepingAside(const fs::path& path, std::string_view bytes,
                                              std::time_t utc) {
  FileReplacement replacement(path, bytes);
  auto aside = replacement.keepAside(utc);
  replacement.replace();
  return aside;
}

FileReplacement::FileReplacement(const fs::path& link, std::string_view bytes) {
  // What could not be read back would be lost at the next launch.
  if (bytes.size() > maximumStoredFileSize) fail(EFBIG, "too large to store", link);
  target_ = writeTarget(link);
  const fs::path folder = folderOf(target_);
  // The caller makes the record's own folder; a link's target may lie in a folder not made
  // yet (a dotfiles repository not checked out in full), made here the same way.
  if (target_ != link) createFolders(folder);
  // Appended, not prefixed: GCC 12 at -O3 reports a false overlap (-Wrestrict) for "." + string.
  std::string leaf = ".";
  leaf += target_.filename().string();
  leaf += ".tmp-XXXXXX";
  std::string pattern = (folder / leaf).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) fail(errno, "could not create a temporary file beside", target_);
  temporary_ = fs::path(name.data());

  auto abandon = [&](int error, const char* what) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary_.c_str());
    fail(error, what, target_);
  };

  if (::fchmod(fd, 0600) != 0) abandon(errno, "could not set permissions for");
  if (const int error = injected(SaveStep::writeTemporary)) abandon(error, "could not write");
  if (const int error = writeAll(fd, bytes)) abandon(error, "could not write");
  if (const int error = injected(SaveStep::syncTemporary)) abandon(error, "could not flush");
  if (::fsync(fd) != 0) abandon(errno, "could not flush");
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) abandon(errno, "could not close");
}

FileReplacement::~FileReplacement() {
  if (replaced_) return;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  if (!aside_) return;
  if (renamedAside_) {
    // Back in its place; should that fail, it stays aside, where nothing is lost either.
    putBack(*aside_, target_);
  } else {
    // Another name of the file in place, or a copy of it: the file itself stays.
    ::unlink(aside_->c_str());
  }
}

std::optional<fs::path> FileReplacement::keepAside(std::time_t utc) {
  struct stat st {};
  if (::lstat(target_.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::nullopt;
    fail(errno, "could not inspect", target_);
  }
  if (!S_ISREG(st.st_mode)) {
    // A folder or a device in the file's place: the temporary file cannot be renamed over it.
    aside_ = moveAside(target_, utc);
    renamedAside_ = aside_.has_value();
    return aside_;
  }
  for (int n = 1; n <= 1000; ++n) {
    const fs::path aside = asidePath(target_, utc, n);
    int error = injected(SaveStep::linkAside);
    if (error == 0 && ::link(target_.c_str(), aside.c_str()) != 0) error = errno;
    if (error != 0 && linksRefused(error)) error = copyFile(target_, aside);
    if (error == EEXIST) continue;
    if (error != 0) fail(error, "could not set aside", target_);
    aside_ = aside;
    // On disk before the file is replaced: a crash in between must not take the old bytes.
    syncFolder(folderOf(target_));
    return aside_;
  }
  fail(EEXIST, "could not set aside", target_);
}

void FileReplacement::replace() {
  const fs::path folder = folderOf(target_);
  int error = injected(SaveStep::replace);
  if (error == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) fail(error, "could not replace", target_);
  temporary_.clear();
  // The old bytes now live on under the aside name alone, whatever follows.
  replaced_ = true;
  if (const int flush = injected(SaveStep::syncFolder))
    fail(flush, "could not flush folder", folder);
  syncFolder(folder);
  removeStaleTemporaries(folder, target_.filename().string());
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

std::optional<fs::path> partNotAFolder(const fs::path& path) {
  try {
    return firstPartNotAFolder(folderOf(writeTarget(path)));
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

void setSaveStepHook(std::function<int(SaveStep)> hook) { saveStepHook() = std::move(hook); }

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
