#pragma once

#include <QWidget>
#include <set>
#include <string>

#include "ui/preferences/binding/preferences_binding.h"
#include "ui/preferences/text/app_names.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vorlane {

// The "Presentation apps" rows: one per blocked identifier, in byte order of the
// identifiers, each with its name, the Linux app it matches (or its window class) and a
// "Remove" button; below them a
// field to add a window class.
class QuietAppList final : public QWidget {
 public:
  // Rows beyond these are counted, not drawn: a damaged record with thousands of entries
  // would otherwise stall the window.
  static constexpr std::size_t longestList = 200;

  QuietAppList(PreferencesBinding& binding, AppNames names, QWidget* parent);

  // Rebuilds the rows when the identifiers differ from the ones shown.
  void setIDs(const std::set<std::string>& ids);

  QLineEdit* field() const { return field_; }
  QPushButton* addButton() const { return add_; }
  // Why the typed text was not added; hidden when there is nothing to say.
  QLabel* refusal() const { return refusal_; }
  QLabel* moreLine() const { return more_; }
  // The shown rows' remove buttons, in row order.
  QList<QPushButton*> removeButtons() const;

 private:
  QWidget* makeRow(const std::string& id);
  void addTyped();

  PreferencesBinding& binding_;
  AppNames names_;
  std::set<std::string> shown_;
  bool drawn_ = false;
  QVBoxLayout* rows_;
  QLineEdit* field_;
  QPushButton* add_;
  QLabel* refusal_;
  // "and N more" under a list cut at longestList.
  QLabel* more_;
};

}  // namespace vorlane
