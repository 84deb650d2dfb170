#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// Splits a text to be spoken into pieces the synthesiser makes one after another, so the
// first sound comes soon and a long text never has to be held as sound whole. Each sentence
// is a piece; a sentence longer than `maxBytes` is split between words, and a word longer
// than that between characters. Pieces are trimmed; blank ones are left out, so a text with
// nothing to say gives none. Joined with spaces they say the text's words in order.
std::vector<std::string> speechPieces(std::string_view utf8, std::size_t maxBytes = 240);

}  // namespace vorlane
