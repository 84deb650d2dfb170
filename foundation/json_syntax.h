#pragma once

#include <string_view>

namespace vorlane::json {

// Whether the text may be one JSON document as parse() reads it: false only for text that
// parse() refuses (a value out of place, a bad number, word or escape, bytes that are not
// UTF-8, a control character in a string, nesting past maximumDocumentDepth), found without
// building anything or throwing. The pairing of \u surrogate escapes and a number too large
// for a double are left to parse(). Refusing a document takes the parser far longer than
// reading a good one, so that text of many small damaged values is tested here first.
bool mayBeJson(std::string_view text);

}  // namespace vorlane::json
