#pragma once

#include <string>

#include "ui/preferences/panels/preferences_panel.h"

class QCheckBox;
class QLabel;

namespace vorlane {

class LaunchAtLoginSetting;
class MessageLine;

// The General page: whether Vorlane opens at login, and where the user's data stays. The
// toggle shows the stored setting; the login item follows it elsewhere, and when that
// fails the reason shows under the toggle until a later attempt succeeds.
class GeneralPanel final : public PreferencesPanel {
 public:
  // `launchAtLogin` may be null (nothing to report); when given it must outlive the panel.
  GeneralPanel(PreferencesBinding& binding, LaunchAtLoginSetting* launchAtLogin, QWidget* parent);

  QCheckBox* launchAtLoginToggle() const { return launchAtLogin_; }
  MessageLine* failureLine() const { return failure_; }
  QLabel* privacyLabel() const { return privacy_; }

 private:
  void showFailure(const std::string& reason);

  QCheckBox* launchAtLogin_ = nullptr;
  MessageLine* failure_ = nullptr;
  QLabel* privacy_ = nullptr;
  Observers<std::string>::Subscription failures_;
};

}  // namespace vorlane
