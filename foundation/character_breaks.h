#pragma once

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

namespace vorlane::detail {

// This thread's grapheme-cluster iterator, set to `text` (which must outlive its use).
// Creating one costs far more than resetting it, so each thread keeps one.
icu::BreakIterator& characterBreaks(const icu::UnicodeString& text);

// Whether the UTF-8 text is plain ASCII.
bool isAscii(std::string_view utf8);

}  // namespace vorlane::detail
