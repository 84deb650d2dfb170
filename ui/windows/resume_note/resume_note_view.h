#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "ui/kit/window_content.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace vorlane {

class MessageLine;

// The resume note window's content: the paused goal, one note field and the save button.
// The note goes to `save` exactly as typed (cleaning and the 240-character limit are the
// saver's); a refusal shows its sentence in red, keeps the text and the window, and stays
// until the next refusal. A save that goes through resumes (the "Where was I?" form) or only
// closes. Return and Enter save, also from the note field; Shift+Return breaks the line.
// Escape and "Not now" close without saving.
class ResumeNoteView final : public WindowContent {
 public:
  using Save = std::function<void(const std::string&)>;

  // `placeSaved` false: the paused session's place could not be stored, and the heading says so.
  ResumeNoteView(const QString& goal, const QString& note, bool returning, bool placeSaved,
                 Save save, std::function<void()> resume, QWidget* parent = nullptr);

  // The save button's rule.
  void submit();

  QLabel* heading() const { return heading_; }
  QLabel* goalLabel() const { return goal_; }
  QPlainTextEdit* field() const { return field_; }
  MessageLine* errorLine() const { return error_; }
  QPushButton* saveButton() const { return save_; }
  QPushButton* notNowButton() const { return notNow_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildHeading(QVBoxLayout& column, bool returning, bool placeSaved);
  void buildGoal(QVBoxLayout& column);
  void buildField(QVBoxLayout& column, const QString& note);
  void buildCaption(QVBoxLayout& column);
  // "Not now", and the save that resumes when `returning`.
  void buildButtons(QVBoxLayout& column, bool returning);
  void fitField();
  void layOutGoal();

  QString goalText_;
  bool returning_;
  Save saveAction_;
  std::function<void()> resumeAction_;
  QLabel* heading_ = nullptr;
  QLabel* goal_ = nullptr;
  QPlainTextEdit* field_ = nullptr;
  MessageLine* error_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* notNow_ = nullptr;
};

}  // namespace vorlane
