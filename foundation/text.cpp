#include "foundation/text.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "foundation/character_breaks.h"

namespace vorlane {

namespace detail {

icu::BreakIterator& characterBreaks(const icu::UnicodeString& text) {
  thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> made(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !made) {
      throw std::runtime_error(std::string("ICU character breaks unavailable: ") +
                               u_errorName(status));
    }
    return made;
  }();
  iterator->setText(text);
  return *iterator;
}

bool isAscii(std::string_view utf8) {
  for (char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace detail

namespace {

using detail::isAscii;

bool isValidUtf8(std::string_view utf8) {
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const auto length = static_cast<int32_t>(utf8.size());
  if (static_cast<std::size_t>(length) != utf8.size()) return false;  // beyond ICU's reach
  int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

// Every ASCII character is its own grapheme cluster except a CR LF pair.
std::size_t crlfPairs(std::string_view ascii) {
  std::size_t pairs = 0;
  for (std::size_t i = 0; i + 1 < ascii.size(); ++i) {
    if (ascii[i] == '\r' && ascii[i + 1] == '\n') ++pairs;
  }
  return pairs;
}

// Calls `piece(start, end)` for every run of characters between White_Space characters
// (UTF-16 offsets into `text`).
template <typename Piece>
void forEachWord(const icu::UnicodeString& text, Piece piece) {
  icu::BreakIterator& breaks = detail::characterBreaks(text);
  int32_t wordStart = -1;
  int32_t start = breaks.first();
  for (int32_t end = breaks.next(); end != icu::BreakIterator::DONE;
       start = end, end = breaks.next()) {
    if (isWhiteSpace(static_cast<char32_t>(text.char32At(start)))) {
      if (wordStart >= 0) piece(wordStart, start);
      wordStart = -1;
    } else if (wordStart < 0) {
      wordStart = start;
    }
  }
  if (wordStart >= 0) piece(wordStart, text.length());
}

}  // namespace

icu::UnicodeString toUnicode(std::string_view utf8) {
  // ICU strings end at 2^31 units; a longer text is cut there rather than wrapped negative.
  const auto length = static_cast<int32_t>(std::min<std::size_t>(utf8.size(), INT32_MAX));
  return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), length));
}

std::string toUtf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

std::string validUtf8(std::string_view utf8) {
  if (isValidUtf8(utf8)) return std::string(utf8);
  return toUtf8(toUnicode(utf8));
}

std::size_t graphemeCount(std::string_view utf8) {
  if (isAscii(utf8)) return utf8.size() - crlfPairs(utf8);
  return graphemeCount(toUnicode(utf8));
}

std::size_t graphemeCount(const icu::UnicodeString& text) {
  icu::BreakIterator& breaks = detail::characterBreaks(text);
  std::size_t count = 0;
  breaks.first();
  while (breaks.next() != icu::BreakIterator::DONE) ++count;
  return count;
}

std::string graphemePrefix(std::string_view utf8, std::size_t count) {
  if (isAscii(utf8)) {
    std::size_t end = 0;
    for (std::size_t taken = 0; taken < count && end < utf8.size(); ++taken) {
      end += (utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n') ? 2 : 1;
    }
    return std::string(utf8.substr(0, end));
  }
  const icu::UnicodeString text = toUnicode(utf8);
  icu::BreakIterator& breaks = detail::characterBreaks(text);
  int32_t end = breaks.first();
  for (std::size_t taken = 0; taken < count; ++taken) {
    const int32_t next = breaks.next();
    if (next == icu::BreakIterator::DONE) break;
    end = next;
  }
  return toUtf8(text.tempSubString(0, end));
}

bool isWhiteSpace(char32_t codePoint) { return u_isUWhiteSpace(static_cast<UChar32>(codePoint)); }

bool hasVisibleCharacter(const icu::UnicodeString& text) {
  constexpr std::uint32_t hidden = U_GC_CC_MASK | U_GC_CF_MASK | U_GC_CS_MASK | U_GC_Z_MASK;
  for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
    const UChar32 c = text.char32At(i);
    if ((U_GET_GC_MASK(c) & hidden) == 0 &&
        !u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) {
      return true;
    }
  }
  return false;
}

bool hasVisibleCharacter(std::string_view utf8) { return hasVisibleCharacter(toUnicode(utf8)); }

std::string oneLine(std::string_view utf8, std::size_t count) {
  const std::string line = collapsedWhiteSpace(utf8);
  if (count == 0) return {};
  if (graphemeCount(line) <= count) return line;
  return trimmed(graphemePrefix(line, count - 1)) + "\u2026";
}

std::string isolated(std::string_view utf8) { return "\u2068" + validUtf8(utf8) + "\u2069"; }

std::string trimmed(std::string_view utf8) {
  const std::string valid = validUtf8(utf8);
  const auto* s = reinterpret_cast<const uint8_t*>(valid.data());
  const auto length = static_cast<int32_t>(valid.size());
  int32_t start = 0;
  while (start < length) {
    int32_t next = start;
    UChar32 c;
    U8_NEXT(s, next, length, c);
    if (!u_isUWhiteSpace(c)) break;
    start = next;
  }
  int32_t end = length;
  while (end > start) {
    int32_t previous = end;
    UChar32 c;
    U8_PREV(s, 0, previous, c);
    if (!u_isUWhiteSpace(c)) break;
    end = previous;
  }
  return valid.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

std::vector<std::string> words(std::string_view utf8) {
  std::vector<std::string> out;
  if (isAscii(utf8)) {
    std::size_t wordStart = std::string_view::npos;
    for (std::size_t i = 0; i <= utf8.size(); ++i) {
      const bool separator =
          i == utf8.size() || u_isUWhiteSpace(static_cast<unsigned char>(utf8[i]));
      if (separator && wordStart != std::string_view::npos) {
        out.emplace_back(utf8.substr(wordStart, i - wordStart));
        wordStart = std::string_view::npos;
      } else if (!separator && wordStart == std::string_view::npos) {
        wordStart = i;
      }
    }
    return out;
  }
  const icu::UnicodeString text = toUnicode(utf8);
  forEachWord(text, [&](int32_t start, int32_t end) {
    out.push_back(toUtf8(text.tempSubStringBetween(start, end)));
  });
  return out;
}

std::string collapsedWhiteSpace(std::string_view utf8) {
  std::string out;
  for (const std::string& word : words(utf8)) {
    if (!out.empty()) out.push_back(' ');
    out += word;
  }
  return out;
}

bool sameCharacters(std::string_view a, std::string_view b) {
  if (a == b) return true;
  if (isAscii(a) && isAscii(b)) return false;
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return false;
  const icu::UnicodeString left = nfc->normalize(toUnicode(a), status);
  const icu::UnicodeString right = nfc->normalize(toUnicode(b), status);
  return U_SUCCESS(status) && left == right;
}

std::string lowercased(std::string_view utf8) {
  if (isAscii(utf8)) {
    std::string out(utf8);
    for (char& c : out) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
  }
  // Each code point on its own, so no context rule applies: a final capital sigma becomes
  // U+03C3 like any other, never U+03C2.
  const icu::UnicodeString text = toUnicode(utf8);
  icu::UnicodeString lower;
  for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
    icu::UnicodeString single(text.char32At(i));
    lower.append(single.toLower(icu::Locale::getRoot()));
  }
  return toUtf8(lower);
}

std::string composed(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return validUtf8(utf8);
  const icu::UnicodeString normal = nfc->normalize(toUnicode(utf8), status);
  return U_FAILURE(status) ? validUtf8(utf8) : toUtf8(normal);
}

}  // namespace vorlane
