#pragma once

#include <unicode/unistr.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// Texts are UTF-8 std::strings. Invalid UTF-8 is replaced by U+FFFD on the way in.

// The text as UTF-16 for ICU, with invalid sequences replaced by U+FFFD.
icu::UnicodeString toUnicode(std::string_view utf8);
std::string toUtf8(const icu::UnicodeString& text);
// The text with invalid UTF-8 sequences replaced by U+FFFD (unchanged when valid).
std::string validUtf8(std::string_view utf8);

// The number of user-perceived characters (extended grapheme clusters).
std::size_t graphemeCount(std::string_view utf8);
std::size_t graphemeCount(const icu::UnicodeString& text);
// The first `count` user-perceived characters of the text.
std::string graphemePrefix(std::string_view utf8, std::size_t count);

// The text on one line: runs of White_Space (line breaks too) as one space, ends trimmed;
// past `count` characters, its first `count - 1` and "…". A menu row or a reply line stays
// as wide as that however long the text.
std::string oneLine(std::string_view utf8, std::size_t count);

// The text between U+2068 FIRST STRONG ISOLATE and U+2069 POP DIRECTIONAL ISOLATE. A user's
// text set inside a sentence takes its direction from its own first letter and leaves the
// sentence's order alone: "Saved: ⁨اجتماع الفريق⁩ — 9:21 pm." keeps the time
// after the text. For what is shown or posted only; speech gets the text bare, as a synthesiser may
// read the marks aloud. The stored text is never isolated.
std::string isolated(std::string_view utf8);

// Whether the code point has the Unicode White_Space property (U+00A0, U+0085, U+3000 do;
// U+200B does not).
bool isWhiteSpace(char32_t codePoint);

// Whether the text holds a character that shows: anything but White_Space, controls (NUL),
// format characters (U+200B, U+FEFF) and the other default-ignorable ones (U+3164).
// Unassigned code points count as shown: a newer system may draw them.
bool hasVisibleCharacter(std::string_view utf8);
bool hasVisibleCharacter(const icu::UnicodeString& text);

// The text without White_Space at either end.
std::string trimmed(std::string_view utf8);
// The pieces between runs of White_Space characters (by each character's first code
// point), empty pieces dropped.
std::vector<std::string> words(std::string_view utf8);
// Runs of White_Space become one space, ends trimmed.
std::string collapsedWhiteSpace(std::string_view utf8);

// Whether two texts are equal character for character (canonically equivalent: "é" as one
// code point equals "e" + U+0301).
bool sameCharacters(std::string_view a, std::string_view b);

// Lower-cased code point by code point with the full mapping of the root locale: no
// locale-specific rules (Turkish dotless i) and no context rules (final sigma).
std::string lowercased(std::string_view utf8);

// The canonical composition (NFC) of the text: texts that are the same characters, as
// sameCharacters() decides, give the same bytes, so it can key a set.
std::string composed(std::string_view utf8);

}  // namespace vorlane
