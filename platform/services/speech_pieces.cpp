#include "platform/services/speech_pieces.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "foundation/text.h"

namespace vorlane {
namespace {

// The longest prefix of `word` within `maxBytes` that ends on a character boundary; at
// least one character, so every cut makes progress.
std::size_t characterCut(std::string_view word, std::size_t maxBytes) {
  std::size_t cut = std::min(maxBytes, word.size());
  while (cut > 0 && cut < word.size() && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  if (cut == 0) {  // one character wider than the limit
    cut = 1;
    while (cut < word.size() && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) ++cut;
  }
  return cut;
}

void splitLongSentence(std::string_view sentence, std::size_t maxBytes,
                       std::vector<std::string>& pieces) {
  std::string current;
  auto flush = [&] {
    if (!current.empty()) pieces.push_back(std::exchange(current, {}));
  };
  for (std::string word : words(sentence)) {
    while (word.size() > maxBytes) {
      flush();
      const std::size_t cut = characterCut(word, maxBytes);
      pieces.push_back(word.substr(0, cut));
      word.erase(0, cut);
    }
    if (word.empty()) continue;
    if (!current.empty() && current.size() + 1 + word.size() > maxBytes) flush();
    current += current.empty() ? word : " " + word;
  }
  flush();
}

}  // namespace

std::vector<std::string> speechPieces(std::string_view utf8, std::size_t maxBytes) {
  std::vector<std::string> pieces;
  if (maxBytes == 0) maxBytes = 1;
  const icu::UnicodeString text = toUnicode(utf8);
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> sentences(
      icu::BreakIterator::createSentenceInstance(icu::Locale::getEnglish(), status));
  if (U_FAILURE(status)) {
    splitLongSentence(utf8, maxBytes, pieces);
    return pieces;
  }
  sentences->setText(text);
  for (int32_t start = sentences->first(), end = sentences->next(); end != icu::BreakIterator::DONE;
       start = end, end = sentences->next()) {
    const std::string sentence = trimmed(toUtf8(text.tempSubStringBetween(start, end)));
    if (!hasVisibleCharacter(sentence)) continue;
    if (sentence.size() <= maxBytes) {
      pieces.push_back(sentence);
    } else {
      splitLongSentence(sentence, maxBytes, pieces);
    }
  }
  return pieces;
}

}  // namespace vorlane
