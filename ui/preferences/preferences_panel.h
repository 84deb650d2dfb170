#pragma once

#include <QWidget>

#include "ui/preferences/preferences_binding.h"

class QVBoxLayout;

namespace vorlane {

class FormSection;

// One page of the preferences window: a column of form sections that shows the stored
// record and writes each user change through the binding. Subclasses build their controls,
// then call follow() once; redraw() must be idempotent and set controls under signal
// blockers (or listen only to user signals).
class PreferencesPanel : public QWidget {
 public:
  // Every page's text size.
  static constexpr int pageFontPixels = 14;

  PreferencesPanel(PreferencesBinding& binding, QWidget* parent);

 protected:
  virtual void redraw(const Preferences& record) = 0;

  // Starts redrawing with the current record and at every change.
  void follow();
  FormSection* addSection(const QString& title);
  // Ends the column, so the sections stay at the top of a tall window, and lines up the
  // sections' row labels.
  void finishColumn();

  PreferencesBinding& binding_;

 private:
  QVBoxLayout* column_;
  QList<FormSection*> sections_;
  PreferencesBinding::Subscription subscription_;
};

}  // namespace vorlane
