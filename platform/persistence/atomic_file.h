#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/json.h"
#include "platform/persistence/stored_data.h"

namespace vorlane {

// Files larger than this are reported unreadable rather than read into memory; the same
// bound as the JSON reader's, so that whatever is written can be read back.
inline constexpr std::uintmax_t maximumStoredFileSize = json::maximumDocumentSize;

// Reads a whole regular file. A missing file (or missing folder) is `missing`; anything else
// that stops the read (permission, I/O, a folder, device, FIFO or socket in its place, a file
// too large to hold) is `unreadable`, with the reason, and `unreachable` when a link at `path`
// cannot be followed to something that opens. What is not a regular file is never opened, so
// a FIFO does not block it and a device is left alone; never throws.
StoredData readStoredFile(const std::filesystem::path& path);

// Replaces the file's contents so that a crash at any moment leaves either the old or the
// new contents: a temporary file in the same folder (0600) is written, flushed to disk and
// renamed over the target, then the folder itself is flushed. Throws std::system_error
// naming the path on any failure, after removing the temporary file; the old contents are
// then untouched. Bytes larger than maximumStoredFileSize, which could not be read back,
// are refused the same way. A successful write also removes the temporary files that killed
// writers left for this path. A symbolic link (a record kept in a dotfiles repository) stays
// a link: its target is replaced, the same way, in the target's folder, made (as
// createFolders does) when it is missing; a link whose target is there but is not a regular
// file (a device, a FIFO, a socket, a folder) is refused with EINVAL before anything is made,
// linked or renamed beside it. Once the new contents have the file's name the write is done: a
// folder that cannot be flushed after that is logged, not thrown.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A new version of a file, written beside it and flushed to disk but not yet in its place: the
// steps of writeFileAtomically one at a time, so that the file in place can be kept aside
// between them without its name ever standing empty. What it made and did not put in place
// (its temporary file, an aside name given) goes with it: a failed save leaves the folder as
// it was.
class FileReplacement {
 public:
  // Writes `bytes` to a temporary file (0600) beside the file at `path` (beside the file a
  // link there leads to, its folder made when missing) and flushes it. Throws
  // std::system_error, as writeFileAtomically does (EINVAL for a link to what is not a
  // regular file, before anything is made).
  FileReplacement(const std::filesystem::path& path, std::string_view bytes);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Gives the file in place its aside name (asidePath of the file, never an earlier aside
  // copy's) as well: a hard link or, where the file system refuses links, a copy written to a
  // temporary file, flushed and only then renamed to the aside name, so that no cut-short copy
  // ever bears it; the name flushed before the file is replaced. Anything but a regular file
  // holds no bytes to keep and is renamed aside instead, unless it lies behind a link (refused
  // with EINVAL). Returns the aside name; none when nothing is there. Throws
  // std::system_error; whatever it did is undone unless replace() goes through.
  std::optional<std::filesystem::path> keepAside(std::time_t utc);

  // Renames the new version over the file, which ends the save, and flushes the folder; then
  // removes the temporary files that killed writers left for it. Throws std::system_error
  // when the rename fails, the file in place then untouched. Returns why the folder could not
  // be flushed after the rename, for the caller to log: the save is done all the same, though
  // a system crash before the folder is written back could bring back the old file.
  [[nodiscard]] std::optional<std::string> replace();

 private:
  // The copy kept aside where links are refused, from the `n`th aside name on.
  std::optional<std::filesystem::path> keepCopyAside(std::time_t utc, int n);
  // Throws EINVAL when the target, reached through a link, is there but is not a regular file.
  void refuseWhatIsNoFile() const;

  // Where the bytes go: the file, or the end of the links at the path given.
  std::filesystem::path target_;
  // The path given was a link to the target.
  bool throughLink_ = false;
  // Empty once renamed into place or removed.
  std::filesystem::path temporary_;
  // The aside name given to the file in place, until the replacement is made.
  std::optional<std::filesystem::path> aside_;
  // Whether what stood there was renamed aside rather than linked or copied.
  bool renamedAside_ = false;
  bool replaced_ = false;
};

// writeFileAtomically, with the file in place kept under its aside name (as
// FileReplacement::keepAside) before it is replaced. Returns the aside name; none when there
// was nothing to keep.
std::optional<std::filesystem::path> writeFileKeepingAside(const std::filesystem::path& path,
                                                           std::string_view bytes, std::time_t utc);

// Removes the temporary files that writes killed mid-save left (their new contents, or a copy
// being kept aside where links are refused) in `folder` for the files
// whose names `isRecord` accepts, and beside the targets of those of them kept as links.
// Only when no write to these records can be running: a write in progress loses its
// temporary file and fails. Files that cannot be removed stay. Returns the files removed.
std::vector<std::filesystem::path> removeLeftoverTemporaries(
    const std::filesystem::path& folder, const std::function<bool(std::string_view)>& isRecord);

// Creates the folder and any missing parents, each new one 0700. Throws std::system_error.
void createFolders(const std::filesystem::path& folder);

// The first part, from the root, of the folders a write to `path` goes through (those of the
// file a link at `path` leads to) that is there but is not a folder, such as a file in a
// folder's place; none when there is no such part, or the links cannot be followed.
std::optional<std::filesystem::path> partNotAFolder(const std::filesystem::path& path);

// The target a link at `path` leads to, named as the system finds it, when it is there and is
// not a regular file (a device, a FIFO, a socket, a folder), which a write refuses; none for
// anything else, `path` not a link or its links not followed included.
std::optional<std::filesystem::path> linkTargetNotAFile(const std::filesystem::path& path);

// Removes the file; a missing file counts as removed. Returns false when it is still there.
[[nodiscard]] bool removeFile(const std::filesystem::path& path);

// The aside name of `path` at `utc`: "<name>.unreadable-<yyyymmddThhmmss>", with "-<n>"
// appended for n >= 2.
std::filesystem::path asidePath(const std::filesystem::path& path, std::time_t utc, int n = 1);

// Renames the file (or whatever is at `path`) to its aside name, never replacing an earlier
// aside copy, and returns the new path; none when nothing is at `path`. Throws
// std::system_error when it could not be moved.
std::optional<std::filesystem::path> moveAside(const std::filesystem::path& path, std::time_t utc);

}  // namespace vorlane
