#include "ui/preferences/panels/general_panel.h"

#include <QCheckBox>
#include <QLabel>

#include "platform/session/launch_at_login_setting.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/preferences/controls/form_section.h"

namespace vorlane {

GeneralPanel::GeneralPanel(PreferencesBinding& binding, LaunchAtLoginSetting* launchAtLogin,
                           QWidget* parent)
    : PreferencesPanel(binding, parent) {
  FormSection* startup = addSection(QStringLiteral("Startup"));
  launchAtLogin_ = toggle(QStringLiteral("Launch at login"), &Preferences::launchAtLogin, startup);
  startup->addRow(launchAtLogin_);
  failure_ = new MessageLine(TextRole::body, startup);
  failure_->setObjectName(QStringLiteral("launchAtLoginFailure"));
  startup->addRow(failure_);

  FormSection* privacy = addSection(QStringLiteral("Privacy"));
  privacy_ = privacy->addNote(QString::fromUtf8(vorlane::privacyNote));
  finishColumn();

  if (launchAtLogin != nullptr) {
    showFailure(launchAtLogin->failure());
    failures_ = launchAtLogin->failureChanges().subscribe(
        [this](const std::string& reason) { showFailure(reason); });
  }
  follow();
}

void GeneralPanel::showFailure(const std::string& reason) {
  if (reason.empty()) {
    failure_->clearMessage();
    return;
  }
  failure_->showError(QStringLiteral("Launch at login could not be changed: %1. It is tried "
                                     "again at the next change.")
                          .arg(QString::fromStdString(reason)));
}

}  // namespace vorlane
