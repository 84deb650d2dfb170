#include "foundation/json_syntax.h"

#include <array>
#include <cstddef>

#include "foundation/json.h"

namespace vorlane::json {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A reading of the text by the grammar of RFC 8259, strings checked as RFC 3629 UTF-8, as
// the parser reads them; the nesting in a fixed stack, nothing allocated.
class Syntax {
 public:
  explicit Syntax(std::string_view text) : text_(text) {}

  bool document() {
    // A byte order mark, which the parser passes over.
    if (text_.starts_with("\xEF\xBB\xBF")) at_ = 3;
    for (;;) {
      if (!value()) return false;
      // After a value: the end of its container, or the next member or element.
      for (;;) {
        skipSpace();
        if (depth_ == 0) return at_ == text_.size();
        if (at_ == text_.size()) return false;
        const char c = text_[at_++];
        const bool inObject = open_[depth_ - 1] == '{';
        if (c == (inObject ? '}' : ']')) {
          --depth_;
          continue;
        }
        if (c != ',' || (inObject && !key())) return false;
        break;
      }
    }
  }

 private:
  // A scalar, or the opening of an object or array up to its first value.
  bool value() {
    for (;;) {
      skipSpace();
      if (at_ == text_.size()) return false;
      const char c = text_[at_];
      if (c != '{' && c != '[') return scalar();
      if (depth_ == open_.size()) return false;
      open_[depth_++] = c;
      ++at_;
      skipSpace();
      if (at_ < text_.size() && text_[at_] == (c == '{' ? '}' : ']')) {
        // Empty: the caller goes on after it as after any value.
        ++at_;
        --depth_;
        return true;
      }
      if (c == '{' && !key()) return false;
    }
  }

  bool scalar() {
    switch (text_[at_]) {
      case '"':
        return string();
      case 't':
        return word("true");
      case 'f':
        return word("false");
      case 'n':
        return word("null");
      default:
        return number();
    }
  }

  // A member's key and its colon.
  bool key() {
    skipSpace();
    if (at_ == text_.size() || text_[at_] != '"' || !string()) return false;
    skipSpace();
    if (at_ == text_.size() || text_[at_] != ':') return false;
    ++at_;
    return true;
  }

  bool word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool number() {
    if (peek() == '-') ++at_;
    if (peek() == '0') {
      ++at_;
    } else if (!digits()) {
      return false;
    }
    if (peek() == '.') {
      ++at_;
      if (!digits()) return false;
    }
    if (peek() == 'e' || peek() == 'E') {
      ++at_;
      if (peek() == '+' || peek() == '-') ++at_;
      if (!digits()) return false;
    }
    return true;
  }

  // One or more.
  bool digits() {
    const std::size_t start = at_;
    while (isDigit(peek())) ++at_;
    return at_ > start;
  }

  bool string() {
    ++at_;  // the opening quote
    while (at_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c == '\\') {
        if (!escape()) return false;
      } else if (c < 0x20) {
        return false;
      } else if (c < 0x80) {
        ++at_;
      } else if (!character()) {
        return false;
      }
    }
    return false;
  }

  bool escape() {
    ++at_;
    const char c = peek();
    if (c == 'u') {
      for (std::size_t i = 1; i <= 4; ++i) {
        if (!isHexDigit(at_ + i < text_.size() ? text_[at_ + i] : '\0')) return false;
      }
      at_ += 5;
      return true;
    }
    if (c == '"' || c == '\\' || c == '/' || c == 'b' || c == 'f' || c == 'n' || c == 'r' ||
        c == 't') {
      ++at_;
      return true;
    }
    return false;
  }

  // One character of two to four bytes: no overlong form, no surrogate, none past U+10FFFF.
  bool character() {
    const auto lead = static_cast<unsigned char>(text_[at_]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (text_.size() - at_ < length) return false;
    for (std::size_t i = 1; i < length; ++i) {
      const auto c = static_cast<unsigned char>(text_[at_ + i]);
      if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return false;
    }
    at_ += length;
    return true;
  }

  char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  void skipSpace() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::array<char, maximumDocumentDepth> open_{};
  std::size_t depth_ = 0;
};

}  // namespace

bool mayBeJson(std::string_view text) { return Syntax(text).document(); }

}  // namespace vorlane::json
