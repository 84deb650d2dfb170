#pragma once

#include <QFont>
#include <QString>

namespace vorlane {

// `text` broken into lines of at most `width` pixels in `font` (between words, or anywhere in
// a word too long for a line), joined by line breaks. Past `maxLines` lines the last one kept
// ends in an ellipsis. A label cannot elide text that wraps on its own.
QString elidedLines(const QString& text, const QFont& font, int width, int maxLines);

// A sentence that sets a user's text between U+2068 and U+2069 (as isolatedText() does),
// broken into lines as elidedLines() breaks them. When it needs more than `maxLines` lines,
// only the user's text is cut, between whole characters, and ends in an ellipsis: the rest
// of the sentence (the time, the day it answers with) stays whole. A sentence without such
// text, or whose own words alone take more room, is cut at its end as elidedLines() cuts it.
QString elidedSentence(const QString& sentence, const QFont& font, int width, int maxLines);

}  // namespace vorlane
