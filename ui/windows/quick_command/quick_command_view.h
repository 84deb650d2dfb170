#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "ui/kit/message_line.h"
#include "ui/kit/window_content.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vorlane {

// The quick command window's content: a field for one command, examples, the reply or
// refusal of the latest run, and Close and Run. It understands no command itself: the text
// goes, as typed, to `execute`, whose reply (or thrown sentence, in red) is shown until the
// next run, on two lines at most. Return runs whatever is typed, even blanks; the Run
// button waits for text. Escape closes. The field holds the keyboard focus when shown and after
// every run.
class QuickCommandView final : public WindowContent {
 public:
  using Execute = std::function<std::string(const std::string&)>;

  QuickCommandView(bool shortcutAvailable, Execute execute, QWidget* parent = nullptr);

  void run();

  QLineEdit* field() const { return field_; }
  QLabel* resultLine() const { return result_; }
  QPushButton* runButton() const { return run_; }
  QPushButton* closeButton() const { return close_; }
  // Whether the latest run failed; false before any run.
  bool failed() const { return failed_; }

 private:
  void buildHeader(QVBoxLayout& column);
  void buildField(QVBoxLayout& column);
  // The examples, and the warning when the shortcut could not be had.
  void buildExamples(QVBoxLayout& column, bool shortcutAvailable);
  void buildResultLine(QVBoxLayout& column);
  void buildButtons(QVBoxLayout& column);
  void showResult(const QString& message, bool failed);
  void updateRunButton();

  Execute execute_;
  QLineEdit* field_ = nullptr;
  MessageLine* result_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* close_ = nullptr;
  bool failed_ = false;
};

}  // namespace vorlane
