#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>

namespace vorlane::testing {

// Makes a folder immutable while it lives (as `chattr +i`), so that nothing is created,
// renamed or removed in it, by root neither; a folder whose file system cannot do that is
// left as it was and held() says so. Needs root (CAP_LINUX_IMMUTABLE).
class ImmutableFolder {
 public:
  explicit ImmutableFolder(const std::filesystem::path& folder)
      : descriptor_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (descriptor_ < 0) return;
    if (::ioctl(descriptor_, FS_IOC_GETFLAGS, &flags_) != 0) return;
    int locked = flags_ | FS_IMMUTABLE_FL;
    held_ = ::ioctl(descriptor_, FS_IOC_SETFLAGS, &locked) == 0;
  }
  ~ImmutableFolder() {
    if (held_) ::ioctl(descriptor_, FS_IOC_SETFLAGS, &flags_);
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  ImmutableFolder(const ImmutableFolder&) = delete;
  ImmutableFolder& operator=(const ImmutableFolder&) = delete;

  bool held() const { return held_; }

 private:
  int descriptor_;
  int flags_ = 0;
  bool held_ = false;
};

}  // namespace vorlane::testing
