#pragma once

#include <functional>

#include "core/settings/preferences.h"
#include "ui/preferences/controls/minute_stepper.h"
#include "ui/preferences/panels/preferences_panel.h"

class QCheckBox;
class QPushButton;

namespace vorlane {

// The Focus page: focus and break lengths, the celebration of a finished session with its
// preview, idle invitations and encouragements.
class FocusPanel final : public PreferencesPanel {
 public:
  // The lengths the coordinator uses unchanged (it clamps stored ones into these).
  static constexpr MinuteStepper::Range workMinutesRange{Preferences::shortestMinutes,
                                                         Preferences::longestWorkMinutes};
  static constexpr MinuteStepper::Range breakMinutesRange{Preferences::shortestMinutes,
                                                          Preferences::longestBreakMinutes};

  FocusPanel(PreferencesBinding& binding, std::function<void()> onPreviewCelebration,
             QWidget* parent);

  MinuteStepper* workStepper() const { return work_; }
  MinuteStepper* breakStepper() const { return break_; }
  QCheckBox* celebrateToggle() const { return celebrate_; }
  QPushButton* previewButton() const { return preview_; }
  QCheckBox* invitationsToggle() const { return invitations_; }
  QCheckBox* encouragementsToggle() const { return encouragements_; }

 protected:
  void redraw(const Preferences& record) override;

 private:
  std::function<void()> onPreviewCelebration_;
  MinuteStepper* work_ = nullptr;
  MinuteStepper* break_ = nullptr;
  QCheckBox* celebrate_ = nullptr;
  QPushButton* preview_ = nullptr;
  QCheckBox* invitations_ = nullptr;
  QCheckBox* encouragements_ = nullptr;
};

}  // namespace vorlane
