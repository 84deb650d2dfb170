#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "ui/kit/message_line.h"
#include "ui/kit/window_content.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorlane {

// The focus session editor's content: one field for the goal of a focus about to start, a
// hint, and Cancel and "Start N min". The goal is cleaned and judged as everywhere else (one
// blank between words, 1 to 120 characters as the user sees them); Start and Return do
// nothing until it is valid, and a goal too long shows the limit in red. It starts nothing
// itself: the cleaned goal goes to `start`. Should `start` refuse (throw), its sentence is
// shown in red and the window stays open. Escape cancels.
class FocusSessionEditorView final : public WindowContent {
 public:
  using Start = std::function<void(const std::string&)>;

  FocusSessionEditorView(int minutes, bool replacing, bool starter, Start start,
                         QWidget* parent = nullptr);

  // Starts with the cleaned goal when it is valid; otherwise does nothing.
  void confirm();
  bool valid() const;

  QLineEdit* field() const { return field_; }
  MessageLine* limitLine() const { return limit_; }
  QPushButton* startButton() const { return start_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  void goalEdited();

  Start startAction_;
  QLineEdit* field_ = nullptr;
  MessageLine* limit_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool valid_ = false;
};

}  // namespace vorlane
