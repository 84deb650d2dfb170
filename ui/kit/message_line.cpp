#include "ui/kit/message_line.h"

namespace vorlane {

MessageLine::MessageLine(TextRole role, QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse);
  setTextRole(*this, role);
  hide();
}

void MessageLine::showError(const QString& sentence) { present(sentence, true); }

void MessageLine::showNote(const QString& text) { present(text, false); }

void MessageLine::clearMessage() { present(QString(), false); }

void MessageLine::present(const QString& text, bool error) {
  error_ = error && !text.isEmpty();
  setText(text);
  // From the window's colours: this label's own may still be the red of a previous refusal.
  setTextTone(*this, error_ ? TextTone::red : TextTone::secondary);
  setAccessibleName(error_ ? QStringLiteral("Error: ") + text : QString());
  setVisible(!text.isEmpty());
}

}  // namespace vorlane
