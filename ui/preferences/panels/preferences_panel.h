#pragma once

#include <QList>
#include <QWidget>

#include "ui/preferences/binding/preferences_binding.h"

class QCheckBox;
class QVBoxLayout;

namespace vorlane {

class FormSection;

// One page of the preferences window: a column of form sections that shows the stored
// record and writes each user change through the binding. Subclasses build their controls,
// then call follow() once; redraw() must be idempotent and set controls under signal
// blockers (or listen only to user signals). On/off settings are toggles, which the panel
// writes and redraws itself, before redraw().
class PreferencesPanel : public QWidget {
 public:
  // Every page's text size.
  static constexpr int pageFontPixels = 14;

  PreferencesPanel(PreferencesBinding& binding, QWidget* parent);

 protected:
  // Shows `record` in the controls other than toggles.
  virtual void redraw(const Preferences& /*record*/) {}

  // Starts redrawing with the current record and at every change.
  void follow();
  // A check box for one on/off setting: the user's click writes `field`, every redraw shows it.
  QCheckBox* toggle(const QString& text, bool Preferences::*field, QWidget* parent);
  FormSection* addSection(const QString& title);
  // Ends the column, so the sections stay at the top of a tall window, and lines up the
  // sections' row labels.
  void finishColumn();

  PreferencesBinding& binding_;

 private:
  struct Toggle {
    QCheckBox* box;
    bool Preferences::*field;
  };

  void drawToggles(const Preferences& record);

  QVBoxLayout* column_;
  QList<FormSection*> sections_;
  QList<Toggle> toggles_;
  PreferencesBinding::Subscription subscription_;
};

}  // namespace vorlane
