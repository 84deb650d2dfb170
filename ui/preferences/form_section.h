#pragma once

#include <QGroupBox>
#include <QString>

class QFormLayout;
class QLabel;

namespace vorlane {

// One titled section of a settings form: rows of a label and a control, controls that name
// themselves (toggles, buttons) and notes across the whole width.
class FormSection final : public QGroupBox {
 public:
  FormSection(const QString& title, QWidget* parent);

  void addRow(const QString& label, QWidget* control);
  void addRow(QWidget* control);
  // A word-wrapped line in the secondary text colour, shown as written.
  QLabel* addNote(const QString& text);

 private:
  QFormLayout* rows_;
};

}  // namespace vorlane
