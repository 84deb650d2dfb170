#pragma once

#include <QLabel>

#include "ui/kit/text_roles.h"

namespace vorlane {

// The line of a window that shows the latest refusal in red, or a reply dimmed, until the
// next one; hidden while it has nothing to say. Plain text (a sentence may hold "<b>"),
// wrapped, selectable. While it shows a refusal its accessible name is "Error: " followed
// by the sentence.
class MessageLine final : public QLabel {
 public:
  explicit MessageLine(TextRole role, QWidget* parent = nullptr);

  // An empty text hides the line, as clearMessage() does.
  void showError(const QString& sentence);
  void showNote(const QString& text);
  void clearMessage();

  // Whether the line shows a refusal now.
  bool showsError() const { return error_; }

 private:
  void present(const QString& text, bool error);

  bool error_ = false;
};

}  // namespace vorlane
