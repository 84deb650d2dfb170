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
  // Shows or hides the row of `control` (a control or a note added here), its label with it;
  // a hidden row takes no room.
  void setRowVisible(QWidget* control, bool visible);

  // The widest row label, and a common width for them, so that sections line up.
  int labelWidth() const;
  void setLabelWidth(int width);

 private:
  QFormLayout* rows_;
  QList<QLabel*> labels_;
};

}  // namespace vorlane
