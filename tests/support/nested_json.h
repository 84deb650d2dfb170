#pragma once

#include <cstddef>
#include <string>

namespace vorlane::testing {

// A JSON text of `depth` arrays inside one another. Past json::maximumDocumentDepth the
// stores' shared reader refuses it unread; at 100,000 levels a reader that recursed, or a copy
// of what it read, would run out of stack.
inline std::string nestedArrays(std::size_t depth) {
  return std::string(depth, '[') + std::string(depth, ']');
}

}  // namespace vorlane::testing
