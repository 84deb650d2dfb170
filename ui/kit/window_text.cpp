#include "ui/kit/window_text.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace vorlane {

QLabel* plainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QString isolatedText(const QString& text) { return isolateStart + text + isolateEnd; }

QColor accentColor(const QWidget& widget) { return widget.palette().color(QPalette::Highlight); }

QColor dimmed(QColor text) {
  text.setAlphaF(0.62f);
  return text;
}

QColor secondaryTextColor(const QWidget& widget) {
  return dimmed(widget.palette().color(QPalette::WindowText));
}

void setSecondary(QLabel& label) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, secondaryTextColor(label));
  label.setPalette(palette);
}

QColor errorTextColor() { return QColor(0xe0, 0x2f, 0x2f); }

void setError(QLabel& label) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, errorTextColor());
  label.setPalette(palette);
}

}  // namespace vorlane
