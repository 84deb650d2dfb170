#pragma once

#include <string>

namespace vorlane {

// `piece` written `times` times over, for texts at a character limit.
inline std::string repeated(const std::string& piece, int times) {
  std::string out;
  while (times-- > 0) out += piece;
  return out;
}

// Man, woman, girl, boy joined by zero-width joiners: one character, 25 bytes.
inline const std::string familyEmoji = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";

}  // namespace vorlane
