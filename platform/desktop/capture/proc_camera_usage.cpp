#include "platform/desktop/capture/proc_camera_usage.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

namespace vorlane {

namespace {

constexpr std::string_view videoPrefix = "/dev/video";

std::optional<long> numericName(const char* name) {
  const std::size_t length = std::strlen(name);
  long value = 0;
  const auto [end, error] = std::from_chars(name, name + length, value);
  if (error != std::errc() || end != name + length || length == 0) return std::nullopt;
  return value;
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

bool holdsVideoDevice(int procFd, const char* pidName) {
  const std::string fdPath = std::string(pidName) + "/fd";
  const int fdDir = openat(procFd, fdPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fdDir < 0) return false;
  // fdopendir owns fdDir from here on.
  std::unique_ptr<DIR, DirCloser> dir(fdopendir(fdDir));
  if (!dir) {
    close(fdDir);
    return false;
  }
  char target[256];
  while (const dirent* entry = readdir(dir.get())) {
    if (entry->d_name[0] == '.') continue;
    const ssize_t length = readlinkat(dirfd(dir.get()), entry->d_name, target, sizeof target);
    if (length <= 0) continue;
    if (isVideoDeviceLink(std::string_view(target, static_cast<std::size_t>(length)))) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool isVideoDeviceLink(std::string_view target) {
  return target.size() > videoPrefix.size() && target.starts_with(videoPrefix);
}

ProcCameraUsage::ProcCameraUsage(std::string procRoot, long ownPid)
    : procRoot_(std::move(procRoot)), ownPid_(ownPid < 0 ? long(getpid()) : ownPid) {}

bool ProcCameraUsage::isCameraInUse() {
  const int procFd = open(procRoot_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (procFd < 0) return false;
  std::unique_ptr<DIR, DirCloser> proc(fdopendir(procFd));
  if (!proc) {
    close(procFd);
    return false;
  }
  while (const dirent* entry = readdir(proc.get())) {
    const std::optional<long> pid = numericName(entry->d_name);
    if (!pid || *pid == ownPid_) continue;
    if (holdsVideoDevice(dirfd(proc.get()), entry->d_name)) return true;
  }
  return false;
}

}  // namespace vorlane
