#pragma once

#include <cerrno>
#include <system_error>

#include "platform/session/launch_at_login.h"

namespace vorlane {

// The autostart entry as a fake login item sees it, kept by the test.
struct LoginItemEntry {
  bool enabled = false;
  bool failing = false;
  int looks = 0;
  int writes = 0;
};

// A login item over an LoginItemEntry; a failing one refuses every write with "Permission denied".
class FakeLoginItem final : public LaunchAtLoginService {
 public:
  explicit FakeLoginItem(LoginItemEntry& entry) : entry_(entry) {}
  LaunchAtLoginStatus status() override {
    ++entry_.looks;
    return entry_.enabled ? LaunchAtLoginStatus::enabled : LaunchAtLoginStatus::notRegistered;
  }
  void registerApp() override { write(true); }
  void unregisterApp() override { write(false); }

 private:
  void write(bool enabled) {
    ++entry_.writes;
    if (entry_.failing) throw std::system_error(EACCES, std::generic_category());
    entry_.enabled = enabled;
  }
  LoginItemEntry& entry_;
};

}  // namespace vorlane
