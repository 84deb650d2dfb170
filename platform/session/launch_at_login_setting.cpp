#include "platform/session/launch_at_login_setting.h"

#include <exception>
#include <string>
#include <system_error>
#include <utility>

#include "platform/logging/log.h"

namespace vorlane {

LaunchAtLoginSetting::LaunchAtLoginSetting(PreferencesStore& store, ServiceFactory makeService)
    : makeService_(std::move(makeService)), followed_(store.preferences().launchAtLogin) {
  subscription_ = store.changes().subscribe([this](const Preferences& p) {
    // Another field leaves the login items alone, unless the last attempt failed: that one
    // is tried again at the next change of any setting, as the preferences window says.
    const bool changed = std::exchange(followed_, p.launchAtLogin) != p.launchAtLogin;
    if (changed || !failure_.empty()) apply(p.launchAtLogin);
  });
}

void LaunchAtLoginSetting::apply(bool enabled) {
  if (!service_ && makeService_) service_ = makeService_();
  if (!service_) {
    Log::lifecycle().error("launch at login failed: %s", std::string("no home folder"));
    report("no home folder");
    return;
  }
  try {
    const bool isEnabled = service_->status() == LaunchAtLoginStatus::enabled;
    if (enabled == isEnabled) {
      report({});
      return;
    }
    if (enabled) {
      service_->registerApp();
    } else {
      service_->unregisterApp();
    }
  } catch (const std::system_error& error) {
    Log::lifecycle().error("launch at login failed: %s", error.code().message());
    report(error.code().message());
    return;
  } catch (const std::exception& error) {
    Log::lifecycle().error("launch at login failed: %s", std::string(error.what()));
    report(error.what());
    return;
  }
  Log::lifecycle().info("launch at login set to %{bool}d", enabled);
  report({});
}

void LaunchAtLoginSetting::report(std::string failure) {
  if (failure == failure_) return;
  failure_ = std::move(failure);
  failureChanges_.notify(failure_);
}

}  // namespace vorlane
