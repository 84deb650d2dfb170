#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace vorlane {

// A label that shows `text` as written, never as rich text.
QLabel* plainLabel(const QString& text, QWidget* parent);

// The marks around a user's text in a sentence: U+2068 FIRST STRONG ISOLATE and U+2069 POP
// DIRECTIONAL ISOLATE.
inline constexpr QChar isolateStart(0x2068);
inline constexpr QChar isolateEnd(0x2069);

// A user's text to set inside a sentence, between the isolate marks as isolated() puts it:
// right-to-left text then keeps its place in the sentence. Not for accessible names, which a
// screen reader speaks.
QString isolatedText(const QString& text);

// The colour roles the shell's windows name, from the widget's palette: the accent is the
// selection colour; secondary text is the ordinary text, dimmed.
QColor accentColor(const QWidget& widget);
QColor secondaryTextColor(const QWidget& widget);
// A text colour as secondary text dims it.
QColor dimmed(QColor text);
void setSecondary(QLabel& label);
// The red of a refusal shown in a window, readable on light and dark backgrounds.
QColor errorTextColor();
// The label's text in that red.
void setError(QLabel& label);

}  // namespace vorlane
