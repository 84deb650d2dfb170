#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace vorlane {

// The text sizes every window names. Sizes follow the application's body font: with a
// 13-pixel body, title is 28 px, title 2 is 22, headline and body 13, callout 12 and
// caption 10. Headline is semibold; the others are regular unless asked otherwise.
enum class TextRole { title, title2, headline, body, callout, caption };

// The colour a text takes from its window's palette: ordinary, dimmed, or the red of a
// refusal.
enum class TextTone { primary, secondary, red };

// The role's size in pixels for a body text of `bodyPixels` (at least 1).
int rolePixelSize(TextRole role, int bodyPixels);

// `base` at the role's pixel size and weight, its size measured from `base` itself.
QFont roleFont(TextRole role, const QFont& base);

// Gives the widget the role's font, measured from the application's font for that kind of
// widget, so applying a role twice, or another role later, never compounds.
void setTextRole(QWidget& widget, TextRole role);
void setTextRole(QWidget& widget, TextRole role, QFont::Weight weight);

// `font` with digits of one width (for counts, times and percentages that change in place).
QFont withMonospacedDigits(QFont font);

// The tone's colour against `widget`'s parent (or the application's palette for a widget
// without one), so a label that was red can be dimmed again.
QColor toneColor(const QWidget& widget, TextTone tone);
void setTextTone(QWidget& widget, TextTone tone);

}  // namespace vorlane
