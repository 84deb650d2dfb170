#pragma once

#include <QFont>
#include <QString>

namespace vorlane {

// `text` broken into lines of at most `width` pixels in `font` (between words, or anywhere in
// a word too long for a line), joined by line breaks. Past `maxLines` lines the last one kept
// ends in an ellipsis. A label cannot elide text that wraps on its own.
QString elidedLines(const QString& text, const QFont& font, int width, int maxLines);

}  // namespace vorlane
