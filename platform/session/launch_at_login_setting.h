#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/settings/preferences_store.h"
#include "platform/session/launch_at_login.h"

namespace vorlane {

// Mirrors the `launchAtLogin` setting into the desktop's login items. It follows that field
// of the store's changes (and, while the last attempt stands failed, every change) and acts
// only when the setting and the autostart entry disagree: then it registers or unregisters
// and logs "launch at login set to <value>", or logs "launch at login failed: <reason>"
// (private), and keeps that reason for the preferences window to show. Nothing is reverted
// or retried by itself; the next change looks again. Main thread only.
class LaunchAtLoginSetting {
 public:
  // Makes the login-item service when first needed; none means the login items cannot be
  // reached (no home folder), which each change reports as a failure.
  using ServiceFactory = std::function<std::unique_ptr<LaunchAtLoginService>()>;

  // `store` must outlive this object.
  LaunchAtLoginSetting(PreferencesStore& store, ServiceFactory makeService);

  // Brings the login items in line with `enabled`.
  void apply(bool enabled);

  // Why the last attempt to change the login items failed; empty once one succeeds or
  // nothing needed doing.
  const std::string& failure() const { return failure_; }
  // Announces each new value of failure().
  Observers<std::string>& failureChanges() { return failureChanges_; }

 private:
  void report(std::string failure);

  std::string failure_;
  Observers<std::string> failureChanges_;
  ServiceFactory makeService_;
  std::unique_ptr<LaunchAtLoginService> service_;
  // The setting as the last change left it.
  bool followed_;
  Observers<Preferences>::Subscription subscription_;
};

}  // namespace vorlane
