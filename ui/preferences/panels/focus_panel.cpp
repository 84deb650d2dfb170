#include "ui/preferences/panels/focus_panel.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/preferences/controls/form_section.h"

namespace vorlane {

FocusPanel::FocusPanel(PreferencesBinding& binding, std::function<void()> onPreviewCelebration,
                       QWidget* parent)
    : PreferencesPanel(binding, parent), onPreviewCelebration_(std::move(onPreviewCelebration)) {
  FormSection* lengths = addSection(QStringLiteral("Session lengths"));
  work_ = new MinuteStepper(
      QStringLiteral("Focus"), workMinutesRange,
      [this](std::int64_t minutes) {
        binding_.edit([minutes](Preferences& p) { p.workMinutes = minutes; });
      },
      lengths);
  work_->setObjectName(QStringLiteral("workMinutes"));
  lengths->addRow(work_);
  break_ = new MinuteStepper(
      QStringLiteral("Break"), breakMinutesRange,
      [this](std::int64_t minutes) {
        binding_.edit([minutes](Preferences& p) { p.breakMinutes = minutes; });
      },
      lengths);
  break_->setObjectName(QStringLiteral("breakMinutes"));
  lengths->addRow(break_);

  FormSection* finishing = addSection(QStringLiteral("Finishing"));
  celebrate_ = toggle(QStringLiteral("Celebrate a finished session"),
                      &Preferences::celebrateSessions, finishing);
  finishing->addRow(celebrate_);
  finishing->addNote(QStringLiteral(
      "Always silent during calls, presentations and quiet rules. Nothing starts automatically."));
  preview_ = new QPushButton(QStringLiteral("Preview celebration"), finishing);
  preview_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(preview_, &QPushButton::clicked, this, [this] {
    if (onPreviewCelebration_) onPreviewCelebration_();
  });
  finishing->addRow(preview_);

  FormSection* invitations = addSection(QStringLiteral("Gentle invitations"));
  invitations_ = toggle(QStringLiteral("Suggest focus when idle"),
                        &Preferences::idleFocusInvitationsEnabled, invitations);
  invitations->addRow(invitations_);
  invitations->addNote(
      QStringLiteral("A brief, silent invitation after 15 idle minutes, at most twice. Never "
                     "during a timer or while quiet."));

  FormSection* encouragement = addSection(QStringLiteral("Encouragement"));
  encouragements_ = toggle(QStringLiteral("Share an occasional quote or kind word"),
                           &Preferences::encouragementsEnabled, encouragement);
  encouragement->addRow(encouragements_);
  encouragement->addNote(
      QStringLiteral("Roughly once an hour or two, at a random moment, never during a focus "
                     "session or while quiet. Shown silently."));
  finishColumn();
  follow();
}

void FocusPanel::redraw(const Preferences& record) {
  work_->setValue(record.workMinutes);
  break_->setValue(record.breakMinutes);
  preview_->setEnabled(record.celebrateSessions);
}

}  // namespace vorlane
