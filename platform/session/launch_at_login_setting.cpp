#include "platform/session/launch_at_login_setting.h"

#include <exception>
#include <string>
#include <system_error>

#include "platform/logging/log.h"

namespace vorlane {

LaunchAtLoginSetting::LaunchAtLoginSetting(PreferencesStore& store, ServiceFactory makeService)
    : makeService_(std::move(makeService)) {
  subscription_ = store.changes().subscribe([this](const Preferences& p) { apply(p.launchAtLogin); });
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
