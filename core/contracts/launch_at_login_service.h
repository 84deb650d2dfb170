#pragma once

namespace vorlane {

// Whether the desktop starts the application when the user logs in.
enum class LaunchAtLoginStatus { enabled, notRegistered };

// The login item as the application shell sees it; the shell's tests fake it.
class LaunchAtLoginService {
 public:
  virtual ~LaunchAtLoginService() = default;
  virtual LaunchAtLoginStatus status() = 0;
  // Both throw std::system_error on failure; code().message() is the reason to show.
  virtual void registerApp() = 0;
  virtual void unregisterApp() = 0;
};

}  // namespace vorlane
