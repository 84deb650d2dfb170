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

#include "platform/logging/log.h"
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

// Closes a descriptor at the end of its scope.
struct Closer {
  int fd;
  ~Closer() {
    if (fd >= 0) ::close(fd);
  }
};

// `path` named as the system finds it: "a/../b" after a link's target is b beside where a is.
fs::path asFound(const fs::path& path) {
  std::error_code error;
  const fs::path above = fs::canonical(folderOf(path), error);
  return error ? path : above / path.filename();
}

// Whether something is at `path` (not followed) that is not a regular file.
bool somethingButAFileAt(const fs::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// A write through a link touches nothing at its end that is not a regular file, nor anything
// beside it: a device, a FIFO, a socket or a folder there is no record, and its folder is not
// the record's (a link to /dev/zero would have put a file in /dev, then over the device).
// Refused with EINVAL, naming it.
[[noreturn]] void refuseNotAFile(const fs::path& target) {
  throw std::system_error(EINVAL, std::generic_category(),
                          asFound(target).string() + " is not a regular file, kept as it is");
}

// The unreadable answer for something at `path` that is not a regular file.
StoredData notAFile(const fs::path& path, mode_t mode) {
  if (S_ISDIR(mode)) return StoredData::unreadable(describe(path, EISDIR));
  return StoredData::unreadable(path.string() + ": not a regular file");
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

// Creates an empty temporary file beside `target`, named as writeFileAtomically's are so that
// one a killed save leaves is removed at the next start; its descriptor, or -1 with errno set.
int createTemporary(const fs::path& target, fs::path* name) {
  // Appended, not prefixed: GCC 12 at -O3 reports a false overlap (-Wrestrict) for "." + string.
  std::string leaf = ".";
  leaf += target.filename().string();
  leaf += ".tmp-XXXXXX";
  const std::string pattern = (folderOf(target) / leaf).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd >= 0) *name = fs::path(buffer.data());
  return fd;
}

// Renames `from` to `to` unless something is there (EEXIST); the error number, 0 once renamed.
// `injectedError`, when a test sets one, stands for the first try's. Where the file system
// cannot refuse to replace (NFS and some FUSE file systems say EINVAL, older kernels ENOSYS),
// it looks first: no other save of the same file runs meanwhile to take the name in between.
int renameWithoutReplacing(const fs::path& from, const fs::path& to, int injectedError = 0) {
  int error = injectedError;
  if (error == 0) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    error = errno;
  }
  if (error != EINVAL && error != ENOSYS) return error;
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Errors of link() that say the file system makes no hard links here (or none more to this
// file), for which a copy does as well.
bool linksRefused(int error) {
  return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP ||
         error == EOPNOTSUPP || error == ENOSYS;
}

// Copies the regular file `from` to a new temporary file beside it and flushes the copy (0600);
// the error number when it could not, no temporary file left then. Only a whole copy is ever
// given an aside name: a save killed while copying leaves a temporary file, never a cut-short
// copy under a name someone restoring by hand could pick.
int copyToTemporary(const fs::path& from, fs::path* copy) {
  const Closer in{::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY)};
  if (in.fd < 0) return errno;
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return errno;
  // Something else took the file's place since it was looked at.
  if (!S_ISREG(st.st_mode)) return EINVAL;
  fs::path name;
  const int out = createTemporary(from, &name);
  if (out < 0) return errno;
  int error = injected(SaveStep::copyAside);
  if (error == 0 && ::fchmod(out, 0600) != 0) error = errno;
  char buffer[65536];
  while (error == 0) {
    const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno != EINTR) error = errno;
      continue;
    }
    error = writeAll(out, std::string_view(buffer, static_cast<std::size_t>(n)));
  }
  if (error == 0) error = injected(SaveStep::syncCopy);
  if (error == 0 && ::fsync(out) != 0) error = errno;
  if (::close(out) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(name.c_str());
    return error;
  }
  *copy = std::move(name);
  return 0;
}

// Renames `aside` back to `path` unless something has taken its place meanwhile.
void putBack(const fs::path& aside, const fs::path& path) {
  (void)renameWithoutReplacing(aside, path);
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
    if (!S_ISDIR(st.st_mode)) return asFound(built);
  }
  return std::nullopt;
}

// A save that is done, though its folder could not be flushed: said, not refused.
void logUnflushed(const fs::path& path, const std::optional<std::string>& unflushed) {
  if (!unflushed) return;
  Log::lifecycle().info(
      "saved %{public}s, though its folder could not be flushed, so a system crash soon may "
      "bring back what it held before: %{public}s",
      path.string(), *unflushed);
}

}  // namespace

StoredData readStoredFile(const fs::path& path) {
  // Looked at before it is opened: opening a device can act on it (a tape rewinds, a watchdog
  // starts counting), and a FIFO opened to read would wait for a writer.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return notAFile(path, st.st_mode);
  // Still opened without waiting and looked at again: something else may stand there by now.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) return StoredData::missing();
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      return StoredData::unreachable(error, describe(path, error));
    }
    return StoredData::unreadable(describe(path, error));
  }
  const Closer closer{fd};
  if (::fstat(fd, &st) != 0) return StoredData::unreadable(describe(path, errno));
  if (!S_ISREG(st.st_mode)) return notAFile(path, st.st_mode);
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
  logUnflushed(path, replacement.replace());
}

std::optional<fs::path> writeFileKeepingAside(const fs::path& path, std::string_view bytes,
                                              std::time_t utc) {
  FileReplacement replacement(path, bytes);
  auto aside = replacement.keepAside(utc);
  logUnflushed(path, replacement.replace());
  return aside;
}

FileReplacement::FileReplacement(const fs::path& link, std::string_view bytes) {
  // What could not be read back would be lost at the next launch.
  if (bytes.size() > maximumStoredFileSize) fail(EFBIG, "too large to store", link);
  target_ = writeTarget(link);
  throughLink_ = target_ != link;
  refuseWhatIsNoFile();
  const fs::path folder = folderOf(target_);
  // The caller makes the record's own folder; a link's target may lie in a folder not made
  // yet (a dotfiles repository not checked out in full), made here the same way.
  if (throughLink_) createFolders(folder);
  int fd = createTemporary(target_, &temporary_);
  if (fd < 0) fail(errno, "could not create a temporary file beside", target_);

  auto abandon = [&](int error, const char* what) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary_.c_str());
    temporary_.clear();
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
    if (throughLink_) refuseNotAFile(target_);
    // A folder or a device in the file's place: the temporary file cannot be renamed over it.
    aside_ = moveAside(target_, utc);
    renamedAside_ = aside_.has_value();
    return aside_;
  }
  for (int n = 1; n <= 1000; ++n) {
    const fs::path aside = asidePath(target_, utc, n);
    int error = injected(SaveStep::linkAside);
    if (error == 0 && ::link(target_.c_str(), aside.c_str()) != 0) error = errno;
    if (error == EEXIST) continue;
    if (linksRefused(error)) return keepCopyAside(utc, n);
    if (error != 0) fail(error, "could not set aside", target_);
    aside_ = aside;
    // Linked, not followed: should something else have taken the file's place since it was
    // looked at, the new name holds that, and goes again with the refusal.
    if (throughLink_ && somethingButAFileAt(aside)) refuseNotAFile(target_);
    // On disk before the file is replaced: a crash in between must not take the old bytes.
    syncFolder(folderOf(target_));
    return aside_;
  }
  fail(EEXIST, "could not set aside", target_);
}

std::optional<fs::path> FileReplacement::keepCopyAside(std::time_t utc, int n) {
  fs::path copy;
  if (const int error = copyToTemporary(target_, &copy)) {
    fail(error, "could not set aside", target_);
  }
  // Such file systems give the copy no second name either: the whole copy is renamed to the
  // first aside name that is free, never over a taken one.
  for (; n <= 1000; ++n) {
    const fs::path aside = asidePath(target_, utc, n);
    const int error = renameWithoutReplacing(copy, aside, injected(SaveStep::nameCopy));
    if (error == EEXIST) continue;
    if (error != 0) {
      ::unlink(copy.c_str());
      fail(error, "could not set aside", target_);
    }
    aside_ = aside;
    syncFolder(folderOf(target_));
    return aside_;
  }
  ::unlink(copy.c_str());
  fail(EEXIST, "could not set aside", target_);
}

std::optional<std::string> FileReplacement::replace() {
  const fs::path folder = folderOf(target_);
  // Looked at again, as late as can be: something else may have taken the target's place.
  refuseWhatIsNoFile();
  int error = injected(SaveStep::replace);
  if (error == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) fail(error, "could not replace", target_);
  temporary_.clear();
  // The save is done: the new version has the file's name, and the old bytes live on under the
  // aside name alone. A folder that cannot be flushed only leaves the rename to the system's own
  // writing back, which a crash before it could undo; that is said, not refused.
  replaced_ = true;
  std::optional<std::string> unflushed;
  try {
    if (const int flush = injected(SaveStep::syncFolder)) {
      fail(flush, "could not flush folder", folder);
    }
    syncFolder(folder);
  } catch (const std::system_error& flush) {
    unflushed = flush.what();
  }
  removeStaleTemporaries(folder, target_.filename().string());
  return unflushed;
}

void FileReplacement::refuseWhatIsNoFile() const {
  if (throughLink_ && somethingButAFileAt(target_)) refuseNotAFile(target_);
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
    const int error = renameWithoutReplacing(path, target);
    if (error == EEXIST) continue;
    if (error == ENOENT && !somethingAt(path)) return std::nullopt;
    if (error != 0) fail(error, "could not move aside", path);
    syncFolder(folderOf(path));
    return target;
  }
  fail(EEXIST, "could not move aside", path);
}

std::optional<fs::path> linkTargetNotAFile(const fs::path& path) {
  try {
    const fs::path target = writeTarget(path);
    if (target == path || !somethingButAFileAt(target)) return std::nullopt;
    return asFound(target);
  } catch (const std::system_error&) {
    return std::nullopt;
  }
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
